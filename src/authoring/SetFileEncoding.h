#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace anthora {

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// What a line of a set file is written in: the quiz reads Windows-1251, so a UTF-8 line that
// is not plain ASCII shows garbled.
enum class LineText { Ascii, Utf8, Other };
LineText TextOf(std::string_view line);

// How the text of a set file is encoded, from one reading of all its lines.
struct SetFileEncoding {
  bool ByteOrderMark = false;
  std::optional<std::size_t> FirstUtf8;  // the first line that is UTF-8 and not ASCII
  bool Utf8 = false;                     // such a line, and none in another encoding
};

// Reads the file line by line as the quiz does; throws as the quiz's text file does.
SetFileEncoding SniffEncoding(const std::string& path);

}  // namespace anthora
