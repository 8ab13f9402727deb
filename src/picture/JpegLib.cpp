#include "picture/JpegLib.h"

#include <jerror.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "picture/Jpeg.h"
#include "runtime/base/Format.h"
#include "runtime/files/Stream.h"

namespace anthora::jpeg {

namespace {

constexpr JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

// The library's words for the message a manager holds, with its parameters, as its own
// formatter writes them; empty for a code it does not know. Allocates nothing, so that it may
// run inside the library.
void FormatText(const jpeg_error_mgr& manager, char (&text)[JMSG_LENGTH_MAX]) {
  text[0] = '\0';
  jpeg_error_mgr standard{};
  jpeg_std_error(&standard);
  if (manager.msg_code <= 0 || manager.msg_code > standard.last_jpeg_message) return;
  standard.msg_code = manager.msg_code;
  standard.msg_parm = manager.msg_parm;
  jpeg_common_struct common{};
  common.err = &standard;
  standard.format_message(&common, text);
}

void ErrorExit(j_common_ptr info) {
  std::longjmp(ErrorStateOf(info).Jump, 1);
}
// Level -1 is a warning: the data is damaged but decoding goes on.
void EmitMessage(j_common_ptr info, int level) {
  ErrorState& state = ErrorStateOf(info);
  if (level < 0 && state.FirstWarning == 0) {
    state.FirstWarning = info->err->msg_code;
    FormatText(*info->err, state.FirstWarningText);
  }
}
void OutputMessage(j_common_ptr) {}
void FormatMessage(j_common_ptr, char*) {}
void ResetErrorManager(j_common_ptr info) {
  info->err->msg_code = 0;
  info->err->num_warnings = 0;
}

MemorySource& SourceOf(j_decompress_ptr info) {
  return *reinterpret_cast<MemorySource*>(info->src);
}

void InitSource(j_decompress_ptr info) {
  SourceOf(info).StartOfFile = true;
}

boolean FillInputBuffer(j_decompress_ptr info) {
  MemorySource& source = SourceOf(info);
  const std::size_t count = std::min(source.Refill, source.Size - source.Offset);
  if (count == 0) {
    if (source.StartOfFile) LibraryError(reinterpret_cast<j_common_ptr>(info), JERR_INPUT_EMPTY);
    WARNMS(info, JWRN_JPEG_EOF);
    source.Manager.next_input_byte = kEndOfImage;
    source.Manager.bytes_in_buffer = sizeof kEndOfImage;
  } else {
    source.Manager.next_input_byte = source.Data + source.Offset;
    source.Manager.bytes_in_buffer = count;
    source.Offset += count;
  }
  source.StartOfFile = false;
  return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
  if (count <= 0) return;
  jpeg_source_mgr& manager = SourceOf(info).Manager;
  while (count > static_cast<long>(manager.bytes_in_buffer)) {
    count -= static_cast<long>(manager.bytes_in_buffer);
    FillInputBuffer(info);
  }
  manager.next_input_byte += count;
  manager.bytes_in_buffer -= static_cast<std::size_t>(count);
}

void TermSource(j_decompress_ptr) {}

StreamDestination& DestinationOf(j_compress_ptr info) {
  return *reinterpret_cast<StreamDestination*>(info->dest);
}

void InitDestination(j_compress_ptr info) {
  StreamDestination& destination = DestinationOf(info);
  destination.Manager.next_output_byte = destination.Buffer;
  destination.Manager.free_in_buffer = sizeof destination.Buffer;
}

void WriteOut(j_compress_ptr info, std::size_t count) {
  StreamDestination& destination = DestinationOf(info);
  std::size_t written = 0;
  RunHook(ErrorStateOf(reinterpret_cast<j_common_ptr>(info)),
          [&] { written = destination.Stream->Write(destination.Buffer, count); });
  if (written != count) LibraryError(reinterpret_cast<j_common_ptr>(info), JERR_FILE_WRITE);
}

boolean EmptyOutputBuffer(j_compress_ptr info) {
  WriteOut(info, sizeof DestinationOf(info).Buffer);
  InitDestination(info);
  return TRUE;
}

void TermDestination(j_compress_ptr info) {
  StreamDestination& destination = DestinationOf(info);
  const std::size_t count = sizeof destination.Buffer - destination.Manager.free_in_buffer;
  if (count > 0) WriteOut(info, count);
}

}  // namespace

void InitErrorState(ErrorState& state, std::exception_ptr& pending) {
  state.Manager = jpeg_error_mgr{};
  state.Manager.error_exit = ErrorExit;
  state.Manager.emit_message = EmitMessage;
  state.Manager.output_message = OutputMessage;
  state.Manager.format_message = FormatMessage;
  state.Manager.reset_error_mgr = ResetErrorManager;
  state.Pending = &pending;
  state.FirstWarning = 0;
  state.FirstWarningText[0] = '\0';
}

void RaiseLibraryError(const ErrorState& state) {
  if (*state.Pending) {
    const std::exception_ptr pending = std::exchange(*state.Pending, nullptr);
    std::rethrow_exception(pending);
  }
  throw EJPEG(Format("JPEG error #%d", {state.Manager.msg_code}), MessageText(state.Manager));
}

std::string MessageText(const jpeg_error_mgr& manager) {
  char text[JMSG_LENGTH_MAX];
  FormatText(manager, text);
  return text;
}

std::string MessageText(int code) {
  jpeg_error_mgr manager{};
  manager.msg_code = code;
  return MessageText(manager);
}

ErrorState& ErrorStateOf(j_common_ptr info) {
  // The manager is the first member of its state.
  return *reinterpret_cast<ErrorState*>(info->err);
}

void LibraryError(j_common_ptr info, int code) {
  info->err->msg_code = code;
  info->err->error_exit(info);
  std::abort();  // the error exit never returns
}

void AttachSource(j_decompress_ptr info, MemorySource& source, const std::uint8_t* data,
                  std::size_t size, std::size_t refill) {
  source = MemorySource{};
  source.Manager.init_source = InitSource;
  source.Manager.fill_input_buffer = FillInputBuffer;
  source.Manager.skip_input_data = SkipInputData;
  source.Manager.resync_to_restart = jpeg_resync_to_restart;
  source.Manager.term_source = TermSource;
  source.Data = data;
  source.Size = size;
  source.Refill = refill;
  info->src = &source.Manager;
}

void AttachDestination(j_compress_ptr info, StreamDestination& destination, TMemoryStream& stream) {
  destination.Manager = jpeg_destination_mgr{};
  destination.Manager.init_destination = InitDestination;
  destination.Manager.empty_output_buffer = EmptyOutputBuffer;
  destination.Manager.term_destination = TermDestination;
  destination.Stream = &stream;
  info->dest = &destination.Manager;
}

}  // namespace anthora::jpeg
