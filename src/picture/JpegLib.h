#pragma once

// The seam to libjpeg: its error manager, the in-memory source and destination, and the
// protected call that turns a fatal library error into a C++ exception.
//
// libjpeg is C and cannot be unwound through. Its error exit therefore long-jumps back to
// the setjmp in CallLibrary, whose own frame holds nothing with a destructor; only there,
// after the jump, is the C++ exception thrown. Our hooks that run C++ code (progress
// reports, writes to a stream) catch whatever it throws, park it, leave their catch block
// and only then take the same jump.

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE
#include <jpeglib.h>
// clang-format on

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

namespace anthora {

class TMemoryStream;

namespace jpeg {

// libjpeg's error manager and where its error exit jumps to. Trivial, so that a context
// holding it can be zero-filled.
struct ErrorState {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  std::exception_ptr* Pending;  // an exception of one of our hooks, to rethrow after the jump
  int FirstWarning;             // the message code of the first warning; 0 while none
  char FirstWarningText[JMSG_LENGTH_MAX];  // its words, with their parameters
};

// Fills the manager from the fixed template: error exit jumps, message hooks only keep the
// first warning and its words.
void InitErrorState(ErrorState& state, std::exception_ptr& pending);

// Raises the parked exception if there is one, otherwise EJPEG "JPEG error #<msg_code>" with
// the library's words for it.
[[noreturn]] void RaiseLibraryError(const ErrorState& state);

// The library's words for the message a manager holds, its parameters put in as the library
// puts them ("Maximum supported image dimension is 65500 pixels"); empty for a code it does
// not know.
std::string MessageText(const jpeg_error_mgr& manager);
// The same for a message code without parameters.
std::string MessageText(int code);

template <class Call>
bool TryLibrary(ErrorState& state, Call& call) {
  if (setjmp(state.Jump) != 0) return false;
  call();
  return true;
}

// Runs library calls. The call must hold nothing with a destructor while it is in the
// library: a fatal error leaves it by a long jump.
template <class Call>
void CallLibrary(ErrorState& state, Call&& call) {
  if (!TryLibrary(state, call)) RaiseLibraryError(state);
}

// Runs C++ code inside a hook that libjpeg called. An exception is parked and the library
// left through the error exit's jump.
template <class Code>
void RunHook(ErrorState& state, Code&& code) {
  bool failed = false;
  try {
    code();
  } catch (...) {
    *state.Pending = std::current_exception();
    failed = true;
  }
  if (failed) std::longjmp(state.Jump, 1);
}

ErrorState& ErrorStateOf(j_common_ptr info);

// Raises a library error with the given message code from inside library calls.
[[noreturn]] void LibraryError(j_common_ptr info, int code);

// Reads from memory in refills of at most Refill bytes: 4,096 for a picture, all at once where
// only the pixels are wanted (the library's fast decoding path needs a long stretch of input in
// hand). The first refill finding nothing is the library's empty-input error; a later one warns
// and supplies an end-of-image marker.
inline constexpr std::size_t kPictureRefill = 4096;
struct MemorySource {
  jpeg_source_mgr Manager;
  const std::uint8_t* Data;
  std::size_t Size;
  std::size_t Offset;
  std::size_t Refill;
  bool StartOfFile;
};
void AttachSource(j_decompress_ptr info, MemorySource& source, const std::uint8_t* data,
                  std::size_t size, std::size_t refill);

// Writes into a memory stream in blocks of 4,096 bytes, the remainder at the end; a short
// write is the library's write error.
struct StreamDestination {
  jpeg_destination_mgr Manager;
  TMemoryStream* Stream;
  JOCTET Buffer[4096];
};
void AttachDestination(j_compress_ptr info, StreamDestination& destination, TMemoryStream& stream);

// libjpeg may allocate this much for its own buffers (whole-image coefficient arrays of
// multi-scan streams); beyond it the decode fails instead of exhausting memory.
inline constexpr long kLibraryMemoryLimit = 1L << 30;

}  // namespace jpeg
}  // namespace anthora
