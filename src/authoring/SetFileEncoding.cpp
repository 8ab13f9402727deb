#include "authoring/SetFileEncoding.h"

#include <algorithm>

#include "platform/Utf8.h"
#include "runtime/files/TextFile.h"

namespace anthora {

LineText TextOf(std::string_view line) {
  if (std::all_of(line.begin(), line.end(), [](char c) { return (c & 0x80) == 0; }))
    return LineText::Ascii;
  return DecodeUtf8(line).find(U'\uFFFD') == std::u32string::npos ? LineText::Utf8
                                                                  : LineText::Other;
}

SetFileEncoding SniffEncoding(const std::string& path) {
  SetFileEncoding text;
  TextFile file;
  file.Reset(path);
  bool other = false;
  for (std::size_t i = 0; !file.Eof(); ++i) {
    std::string line = file.ReadLn();
    if (i == 0 && line.starts_with(kByteOrderMark)) {
      text.ByteOrderMark = true;
      line.erase(0, kByteOrderMark.size());
    }
    const LineText kind = TextOf(line);
    other = other || kind == LineText::Other;
    if (kind == LineText::Utf8 && !text.FirstUtf8) text.FirstUtf8 = i;
  }
  text.Utf8 = text.FirstUtf8 && !other;
  return text;
}

}  // namespace anthora
