#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace anthora {

// A file's bytes, read straight into memory of their own: nothing fills it first and nothing
// copies it after.
struct FileBytes {
  std::unique_ptr<char[]> Data;
  std::size_t Size = 0;
  std::string_view View() const { return {Data.get(), Size}; }
};

// The bytes of a regular file no larger than limit, opened as OpenForSharedReading opens it;
// none with the reason in words ("cannot be read: ...", "is larger than 16 MB").
std::optional<FileBytes> ReadWholeFile(const std::string& path, std::uintmax_t limit,
                                       std::string& why);

// Reads up to count bytes from a descriptor, going on after interruptions and short reads; how
// many it read, fewer only at the end of the file or on an error.
std::size_t ReadFully(int descriptor, void* buffer, std::size_t count);

}  // namespace anthora
