#pragma once

#include <string>
#include <string_view>

namespace anthora {

// A text file as spreadsheets save it, turned into UTF-8.
struct DecodedText {
  std::string Utf8;
  std::string Assumed;        // the encoding taken for text that says nothing of its own
  bool OddByteAtEnd = false;  // UTF-16 with a byte left over, which is dropped
};

// UTF-8 with or without a byte-order mark, UTF-16 with one (little- or big-endian, a lone
// surrogate becoming U+FFFD), and, for bytes that are not UTF-8, Windows-1251. A byte-order
// mark later in the text stays, for the reader to report where it lies.
DecodedText DecodeSheetText(std::string_view bytes);

}  // namespace anthora
