#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace anthora {

// Texts are single-byte strings in the Windows-1251 code page: ASCII below 0x80, Cyrillic
// and punctuation above. Only drawing and the outside world see Unicode.

namespace cp1251 {

// Unicode of the bytes 0x80..0xFF. 0x98 has no character and stands for itself.
inline constexpr std::array<char16_t, 128> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0: А..я follow in order
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

constexpr char32_t ToUnicode(unsigned char byte) {
  return byte < 0x80 ? byte : kUpperHalf[byte - 0x80];
}

// The byte for a Unicode character; a value above 0xFF when the code page has none.
constexpr unsigned FromUnicode(char32_t character) {
  if (character < 0x80) return static_cast<unsigned>(character);
  for (unsigned i = 0; i < kUpperHalf.size(); ++i) {
    if (kUpperHalf[i] == character) return 0x80 + i;
  }
  return 0x100;
}

// The lower-case letter of a capital, for the letters that have both forms in the code page
// (Latin, Cyrillic); any other character as it is.
constexpr char32_t ToLower(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 0x20;
  if (c >= 0x0410 && c <= 0x042F) return c + 0x20;  // А..Я
  if (c >= 0x0400 && c <= 0x040F) return c + 0x50;  // Ѐ..Џ
  if (c == 0x0490) return 0x0491;                   // Ґ
  return c;
}

// ToLower of a Windows-1251 byte.
constexpr char LowerByte(char byte) {
  const unsigned lower = FromUnicode(ToLower(ToUnicode(static_cast<unsigned char>(byte))));
  return static_cast<char>(lower);
}

// A UTF-8 source literal turned into Windows-1251 bytes at compile time.
template <std::size_t N>
struct Utf8Literal {
  char Text[N]{};
  consteval Utf8Literal(const char (&text)[N]) {
    for (std::size_t i = 0; i < N; ++i) Text[i] = text[i];
  }
};

template <std::size_t N>
struct Bytes {
  char Data[N]{};
  std::size_t Size = 0;
};

template <std::size_t N>
consteval Bytes<N> Encode(const Utf8Literal<N>& literal) {
  Bytes<N> bytes;
  for (std::size_t i = 0; i + 1 < N;) {
    const auto lead = static_cast<unsigned char>(literal.Text[i]);
    char32_t character = lead;
    std::size_t length = 1;
    if (lead >= 0xF0) {
      character = lead & 0x07;
      length = 4;
    } else if (lead >= 0xE0) {
      character = lead & 0x0F;
      length = 3;
    } else if (lead >= 0xC0) {
      character = lead & 0x1F;
      length = 2;
    }
    for (std::size_t k = 1; k < length; ++k) {
      character = (character << 6) | (static_cast<unsigned char>(literal.Text[i + k]) & 0x3F);
    }
    const unsigned byte = FromUnicode(character);
    if (byte > 0xFF) throw "character has no Windows-1251 byte";
    bytes.Data[bytes.Size++] = static_cast<char>(byte);
    i += length;
  }
  return bytes;
}

template <Utf8Literal Literal>
inline constexpr auto kEncoded = Encode(Literal);

}  // namespace cp1251

// "Далее"_cp1251 is the Windows-1251 text of a readable source literal.
template <cp1251::Utf8Literal Literal>
constexpr std::string_view operator""_cp1251() {
  return {cp1251::kEncoded<Literal>.Data, cp1251::kEncoded<Literal>.Size};
}

// The lower-case letter of an ASCII capital; any other byte as it is, so that the other
// characters of a UTF-8 or Windows-1251 text stay whole. For names and keywords that are
// compared without regard to letter case.
constexpr char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

// The text with its ASCII capitals in lower case.
std::string AsciiLower(std::string_view text);

// Whether two texts are the same when the letter case of ASCII letters does not count.
bool SameIgnoringAsciiCase(std::string_view a, std::string_view b);

// The Windows-1251 text with its capitals, Latin and Cyrillic, in lower case.
std::string LowerCp1251(std::string_view text);

// Unicode of a Windows-1251 text, for drawing.
std::u32string DecodeCp1251(std::string_view text);

// UTF-8 of a Windows-1251 text, for the outside world (terminal, logs, test reports).
std::string Cp1251ToUtf8(std::string_view text);

// Windows-1251 of a UTF-8 text; none when a character has no byte there or the text is not
// well-formed UTF-8.
std::optional<std::string> Utf8ToCp1251(std::string_view text);

// Windows-1251 of a UTF-8 text to be shown: a character the code page lacks, or a byte that
// starts none, shows as "?".
std::string Utf8ToCp1251Shown(std::string_view text);

}  // namespace anthora
