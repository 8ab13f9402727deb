#include "authoring/TextEncoding.h"

#include <algorithm>

#include "platform/Utf8.h"

namespace anthora {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::string Utf16ToUtf8(std::string_view text, bool bigEndian) {
  std::string out;
  out.reserve(text.size() * 3 / 2);
  const auto unit = [&](std::size_t i) -> char32_t {
    const auto first = static_cast<unsigned char>(text[i]);
    const auto second = static_cast<unsigned char>(text[i + 1]);
    return bigEndian ? first << 8 | second : second << 8 | first;
  };
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    char32_t c = unit(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 3 < text.size() && unit(i + 2) >= 0xDC00 &&
        unit(i + 2) <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace

bool LooksLikeUtf8(std::string_view bytes) {
  std::size_t sequences = 0;
  std::size_t strays = 0;
  for (std::size_t i = 0; i < bytes.size();) {
    if ((bytes[i] & 0x80) == 0) {
      ++i;
      continue;
    }
    char32_t c = 0;
    const std::size_t taken = NextUtf8(bytes, i, c);
    sequences += taken > 0;
    strays += taken == 0;
    i += taken > 0 ? taken : 1;
  }
  return sequences > strays;
}

bool IsUtf8BeyondAscii(std::string_view bytes) {
  return IsUtf8(bytes) &&
         std::any_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; });
}

DecodedText DecodeSheetText(std::string_view bytes) {
  DecodedText text;
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    const bool bigEndian = bytes[0] == '\xFE';
    bytes.remove_prefix(2);
    text.OddByteAtEnd = bytes.size() % 2 != 0;
    text.Text = Utf16ToUtf8(bytes, bigEndian);
  } else if (bytes.starts_with(kUtf8Mark)) {
    text.Text = bytes.substr(kUtf8Mark.size());
  } else {
    text.Windows1251 = !IsUtf8(bytes) && !LooksLikeUtf8(bytes);
    text.Text = bytes;
  }
  return text;
}

}  // namespace anthora
