#pragma once

#include <string>
#include <string_view>

namespace anthora {

// The character that starts at text[at], and the number of bytes it takes; 0 bytes when the
// byte there starts no well-formed sequence.
std::size_t NextUtf8(std::string_view text, std::size_t at, char32_t& character);

// The characters of UTF-8 text; every byte that does not start a well-formed sequence
// (overlong, surrogate, beyond U+10FFFF, cut short) becomes U+FFFD.
std::u32string DecodeUtf8(std::string_view text);

// Whether every byte belongs to a well-formed sequence.
bool IsUtf8(std::string_view text);

// Appends one character to UTF-8 text.
void AppendUtf8(std::string& text, char32_t character);

}  // namespace anthora
