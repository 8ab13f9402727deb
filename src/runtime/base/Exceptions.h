#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace anthora {

// The root of the runtime's failures. The message is the text the user reads, in the
// runtime's single-byte encoding.
class Exception : public std::exception {
 public:
  explicit Exception(std::string_view message) : FMessage(message) {}
  const std::string& Message() const noexcept { return FMessage; }
  const char* what() const noexcept override { return FMessage.c_str(); }

 private:
  std::string FMessage;
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
