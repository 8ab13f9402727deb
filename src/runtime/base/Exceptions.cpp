#include "runtime/base/Exceptions.h"

#include "runtime/base/Cp1251.h"
#include "runtime/base/Format.h"

namespace anthora {

namespace {

std::string InOutErrorMessage(int code) {
  switch (code) {
    case kIoFileNotFound:
      return "File not found";
    case kIoInvalidFilename:
      return "Invalid filename";
    case kIoTooManyOpenFiles:
      return "Too many open files";
    case kIoAccessDenied:
      return "File access denied";
    default:
      return Format("I/O error %d", {code});
  }
}

}  // namespace

EInOutError::EInOutError(int code) : Exception(InOutErrorMessage(code)), FErrorCode(code) {}

std::string Exception::Utf8Message() const {
  return FUtf8 ? FMessage : Cp1251ToUtf8(FMessage);
}

std::string ErrorReportText(const Exception& error) {
  std::string text = error.IsUtf8() ? Utf8ToCp1251Shown(error.Message()) : error.Message();
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

}  // namespace anthora
