#pragma once

#include <string>
#include <string_view>

namespace anthora {

// Text with the accents of Latin and Cyrillic letters composed with their letters, as the
// composed normal form (NFC) has them: "и" followed by a combining breve becomes "й", "e"
// followed by a combining acute "é". Names stored decomposed (NFD), as some systems keep them,
// then compare equal to the same names typed composed. Letters outside Latin and Cyrillic, and
// marks that compose with none of them, are left as they are.
std::u32string Composed(std::u32string_view text);

// The letter a composed Latin or Cyrillic letter is made from, with all its marks taken off:
// "e" for "é", "u" for "ǖ"; the character itself when it is no such letter.
char32_t BaseLetter(char32_t c);

}  // namespace anthora
