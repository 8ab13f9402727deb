#include "sheet/TextEncoding.h"

#include <algorithm>
#include <optional>

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

// UTF-16 without a byte-order mark, told by its zero bytes: text of any language holds
// characters from ASCII (digits, separators, line ends, the header row), and those have a zero
// byte at one place of their pair and almost never at the other. The endianness, or none.
std::optional<bool> Utf16BigEndian(std::string_view bytes) {
  constexpr std::size_t kLooked = 4096;  // pairs looked at
  std::size_t zeros[2] = {0, 0};
  std::size_t pairs = 0;
  for (std::size_t i = 0; i + 1 < bytes.size() && pairs < kLooked; i += 2, ++pairs) {
    zeros[0] += bytes[i] == '\0';
    zeros[1] += bytes[i + 1] == '\0';
  }
  for (const int high : {0, 1}) {
    if (zeros[high] * 8 >= pairs && zeros[high] > 0 && zeros[1 - high] * 20 < zeros[high])
      return high == 0;
  }
  return std::nullopt;
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
  } else if (const std::optional<bool> bigEndian = Utf16BigEndian(bytes)) {
    text.OddByteAtEnd = bytes.size() % 2 != 0;
    text.Text = Utf16ToUtf8(bytes, *bigEndian);
  } else if (bytes.starts_with(kUtf8Mark)) {
    text.Text = bytes.substr(kUtf8Mark.size());
  } else {
    text.Windows1251 = !IsUtf8(bytes) && !LooksLikeUtf8(bytes);
    text.Text = bytes;
  }
  return text;
}

}  // namespace anthora
