#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace anthora {

// A text file read line by line from its start, never rewound.
//
// A line ends at LF or CR LF; a CR not followed by LF is dropped; the byte 0x1A ends the
// text of its line, and the rest of that line is skipped. At the end of the file every read
// yields an empty line. Failures are EInOutError with the runtime's codes.
class TextFile {
 public:
  TextFile() = default;
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;
  ~TextFile();

  // Opens the file for reading, others allowed to read it but not to write it. A file that
  // is already open is closed first.
  void Reset(std::string_view path);
  void Close();
  bool IsOpen() const { return FHandle >= 0; }

  // The next line. Raises EInOutError 104 when the file is not open.
  std::string ReadLn();
  // True when no byte is left to read. Raises EInOutError 104 when the file is not open.
  bool Eof();

  // The longest line kept; a longer one raises EOutOfMemory instead of exhausting memory.
  static constexpr std::size_t kMaxLineLength = std::size_t{64} << 20;

 private:
  // The next byte, or -1 at the end of the file.
  int NextByte();
  int PeekByte();
  bool FillBuffer();

  int FHandle = -1;
  std::array<char, 4096> FBuffer{};
  std::size_t FPosition = 0;
  std::size_t FEnd = 0;
  bool FAtEnd = false;
};

}  // namespace anthora
