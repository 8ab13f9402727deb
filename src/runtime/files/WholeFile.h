#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/base/Exceptions.h"

namespace anthora {

// A file's bytes, read straight into memory of their own: nothing fills it first and nothing
// copies it after.
struct FileBytes {
  std::unique_ptr<char[]> Data;
  std::size_t Size = 0;
  std::string_view View() const { return {Data.get(), Size}; }
};

// A file that ReadWholeFile refuses; the message is the reason in words ("cannot be read:
// ...", "is larger than 16 MB"), for the caller to report at the file's name.
class FileReadError : public ERefusal {
  using ERefusal::ERefusal;
};

// The bytes of a regular file no larger than limit, opened as OpenForSharedReading opens it.
// Throws FileReadError.
FileBytes ReadWholeFile(const std::string& path, std::uintmax_t limit);

// Reads up to count bytes from a descriptor, going on after interruptions and short reads; how
// many it read, fewer only at the end of the file or on an error.
std::size_t ReadFully(int descriptor, void* buffer, std::size_t count);

}  // namespace anthora
