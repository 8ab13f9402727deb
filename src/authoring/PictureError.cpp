#include "authoring/PictureError.h"

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE
#include <jpeglib.h>
// clang-format on

#include <charconv>

namespace anthora {

std::string JpegMessageText(int code) {
  jpeg_error_mgr library{};
  jpeg_std_error(&library);
  if (code <= 0 || code > library.last_jpeg_message) return {};
  std::string_view text = library.jpeg_message_table[code];
  // The parameters are not known here: keep the words before the first of them, or before
  // the colon that introduces them.
  if (const auto parameter = text.find('%'); parameter != std::string_view::npos) {
    text = text.substr(0, parameter);
    text = text.substr(0, text.find(':'));
  }
  while (text.ends_with(' ') || text.ends_with(':') || text.ends_with("0x"))
    text.remove_suffix(text.ends_with("0x") ? 2 : 1);
  return std::string(text);
}

std::string PictureErrorInWords(std::string_view message) {
  constexpr std::string_view kJpegError = "JPEG error #";
  if (!message.starts_with(kJpegError)) return std::string(message);
  const std::string_view number = message.substr(kJpegError.size());
  int code = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), code);
  if (error != std::errc() || end != number.data() + number.size()) return std::string(message);
  const std::string reason = JpegMessageText(code);
  if (reason.empty()) return std::string(message);
  return std::string(message) + " (" + reason + ")";
}

}  // namespace anthora
