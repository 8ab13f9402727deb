#include "picture/PictureError.h"

#include <string_view>

#include "picture/Jpeg.h"
#include "picture/JpegLib.h"

namespace anthora {

std::string JpegMessageText(int code) {
  jpeg_error_mgr library{};
  jpeg_std_error(&library);
  if (code <= 0 || code > library.last_jpeg_message) return {};
  std::string_view text = library.jpeg_message_table[code];
  // A warning keeps only its code: the words before its first parameter, or before the colon
  // that introduces them.
  if (const auto parameter = text.find('%'); parameter != std::string_view::npos) {
    text = text.substr(0, parameter);
    text = text.substr(0, text.find(':'));
  }
  while (text.ends_with(' ') || text.ends_with(':') || text.ends_with("0x"))
    text.remove_suffix(text.ends_with("0x") ? 2 : 1);
  return std::string(text);
}

std::string PictureErrorInWords(const Exception& error) {
  const auto* jpeg = dynamic_cast<const EJPEG*>(&error);
  if (!jpeg || jpeg->Reason().empty()) return error.Message();
  return error.Message() + " (" + jpeg->Reason() + ")";
}

}  // namespace anthora
