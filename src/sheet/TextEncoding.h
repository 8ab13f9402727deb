#pragma once

#include <string>
#include <string_view>

namespace anthora {

// A text file as spreadsheets save it: UTF-8, or Windows-1251 bytes to be turned into UTF-8
// cell by cell, so that a cell in another encoding can be reported at its row.
struct DecodedText {
  std::string Text;
  bool Windows1251 = false;   // Text is Windows-1251, as text that says nothing of its own
  bool OddByteAtEnd = false;  // UTF-16 with a byte left over, which is dropped
};

// UTF-8 with or without a byte-order mark, UTF-16 with or without one (little- or big-endian,
// a lone surrogate becoming U+FFFD), and Windows-1251 for bytes that do not look like UTF-8. UTF-8
// text with a few stray bytes stays UTF-8, the stray bytes left for the reader to report at
// their rows. A byte-order mark later in the text stays, for the reader to report where it lies.
DecodedText DecodeSheetText(std::string_view bytes);

// Whether 8-bit text looks like UTF-8: it holds more well-formed sequences beyond ASCII than
// bytes that start none. Windows-1251 letters rarely form such a sequence by chance.
bool LooksLikeUtf8(std::string_view bytes);

// Whether the text is UTF-8 with at least one character beyond ASCII: Windows-1251 bytes that
// read so were most likely UTF-8 text.
bool IsUtf8BeyondAscii(std::string_view bytes);

}  // namespace anthora
