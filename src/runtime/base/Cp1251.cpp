#include "runtime/base/Cp1251.h"

#include <algorithm>

#include "platform/Utf8.h"

namespace anthora {

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = AsciiLower(c);
  return lower;
}

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

std::string LowerCp1251(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = cp1251::LowerByte(c);
  return lower;
}

std::u32string DecodeCp1251(std::string_view text) {
  std::u32string result(text.size(), U'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    result[i] = cp1251::ToUnicode(static_cast<unsigned char>(text[i]));
  }
  return result;
}

std::string Cp1251ToUtf8(std::string_view text) {
  std::string result;
  result.reserve(text.size() * 2);
  for (const char byte : text)
    AppendUtf8(result, cp1251::ToUnicode(static_cast<unsigned char>(byte)));
  return result;
}

std::optional<std::string> Utf8ToCp1251(std::string_view text) {
  std::string result;
  for (const char32_t character : DecodeUtf8(text)) {
    const unsigned byte = cp1251::FromUnicode(character);
    if (byte > 0xFF) return std::nullopt;
    result += static_cast<char>(byte);
  }
  return result;
}

std::string Utf8ToCp1251Shown(std::string_view text) {
  std::string result;
  for (const char32_t character : DecodeUtf8(text)) {
    const unsigned byte = cp1251::FromUnicode(character);
    result += byte > 0xFF ? '?' : static_cast<char>(byte);
  }
  return result;
}

}  // namespace anthora
