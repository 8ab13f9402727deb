#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace anthora {

// The root of every failure the program reports. The message is the text the user reads: in
// the runtime's single-byte encoding, or UTF-8 for the refusals of the tools around the quiz.
class Exception : public std::runtime_error {
 public:
  explicit Exception(std::string_view message) : Exception(message, false) {}
  const std::string& Message() const noexcept { return FMessage; }
  // The message as UTF-8 text, for a terminal.
  std::string Utf8Message() const;
  bool IsUtf8() const noexcept { return FUtf8; }

 protected:
  Exception(std::string_view message, bool utf8)
      : std::runtime_error(std::string(message)), FMessage(message), FUtf8(utf8) {}

 private:
  std::string FMessage;
  bool FUtf8;
};

// A refusal of the tools around the quiz (a write, an archive, a set file, a command line):
// its message is UTF-8 text in the user's language.
class ERefusal : public Exception {
 public:
  explicit ERefusal(std::string_view message) : Exception(message, true) {}
};

// A silent failure: it ends the handler but the default error report does not show it.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
};

class EConvertError : public Exception {
  using Exception::Exception;
};

class EOutOfMemory : public Exception {
 public:
  EOutOfMemory() : Exception("Out of memory") {}
};

// An input/output failure with its code; the message follows from the code.
class EInOutError : public Exception {
 public:
  explicit EInOutError(int code);
  int ErrorCode() const noexcept { return FErrorCode; }

 private:
  int FErrorCode;
};

// Input/output codes the runtime raises itself.
inline constexpr int kIoFileNotFound = 2;
inline constexpr int kIoInvalidFilename = 3;
inline constexpr int kIoTooManyOpenFiles = 4;
inline constexpr int kIoAccessDenied = 5;
inline constexpr int kIoReadFault = 30;
inline constexpr int kIoSharingViolation = 32;
inline constexpr int kIoFileNotOpenForInput = 104;

class EStreamError : public Exception {
  using Exception::Exception;
};

class EFOpenError : public EStreamError {
  using EStreamError::EStreamError;
};

class EReadError : public EStreamError {
 public:
  EReadError() : EStreamError("Stream read error") {}
  using EStreamError::EStreamError;
};

class EInvalidGraphic : public Exception {
  using Exception::Exception;
};

class EInvalidGraphicOperation : public Exception {
  using Exception::Exception;
};

class EInvalidOperation : public Exception {
  using Exception::Exception;
};

class EMathError : public Exception {
  using Exception::Exception;
};

class EInvalidOp : public EMathError {
 public:
  EInvalidOp() : EMathError("Invalid floating point operation") {}
};

class EZeroDivide : public EMathError {
 public:
  EZeroDivide() : EMathError("Floating point division by zero") {}
};

// The text of the default error report: the message, with a full stop appended when its
// last character sorts after ".".
std::string ErrorReportText(const Exception& error);

}  // namespace anthora
