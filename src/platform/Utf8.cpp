#include "platform/Utf8.h"

namespace anthora {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The length of the sequence a lead byte starts and the bits it contributes; 0 for a byte
// that cannot start one.
int SequenceLength(unsigned char lead, char32_t& bits) {
  if (lead < 0x80) return bits = lead, 1;
  if (lead >= 0xC2 && lead <= 0xDF) return bits = lead & 0x1F, 2;
  if (lead >= 0xE0 && lead <= 0xEF) return bits = lead & 0x0F, 3;
  if (lead >= 0xF0 && lead <= 0xF4) return bits = lead & 0x07, 4;
  return 0;
}

}  // namespace

std::size_t NextUtf8(std::string_view text, std::size_t at, char32_t& character) {
  char32_t c = 0;
  const int length = SequenceLength(static_cast<unsigned char>(text[at]), c);
  int taken = 1;
  for (; length > 0 && taken < length && at + taken < text.size(); ++taken) {
    const auto next = static_cast<unsigned char>(text[at + taken]);
    if ((next & 0xC0) != 0x80) break;
    c = (c << 6) | (next & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  const bool wellFormed = length > 0 && taken == length && c >= kSmallest[length] &&
                          c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
  character = wellFormed ? c : kReplacement;
  return wellFormed ? static_cast<std::size_t>(taken) : 0;
}

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string out;
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const std::size_t taken = NextUtf8(text, i, c);
    out.push_back(c);
    i += taken > 0 ? taken : 1;
  }
  return out;
}

bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const int length = SequenceLength(static_cast<unsigned char>(text[i]), c);
    if (length == 0 || text.size() - i < static_cast<std::size_t>(length)) return false;
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = (c << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

void AppendUtf8(std::string& text, char32_t c) {
  if (c < 0x80) {
    text += static_cast<char>(c);
    return;
  }
  if (c < 0x800) {
    text += static_cast<char>(0xC0 | (c >> 6));
  } else {
    if (c < 0x10000) {
      text += static_cast<char>(0xE0 | (c >> 12));
    } else {
      text += static_cast<char>(0xF0 | (c >> 18));
      text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    }
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  }
  text += static_cast<char>(0x80 | (c & 0x3F));
}

}  // namespace anthora
