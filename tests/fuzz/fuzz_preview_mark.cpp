// Arbitrary bytes as the start of a file by a preview's name: its chunks are walked within the
// bytes, and the file is judged the program's preview or not.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "authoring/SetFileTransaction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (anthora::HasPreviewMark(bytes) && !bytes.starts_with("\x89PNG")) __builtin_trap();
  return 0;
}
