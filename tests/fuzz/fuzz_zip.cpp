// Arbitrary bytes as a zip archive: opened, checked and read within the policy's limits, or
// refused; what is read is never more than the budget, and each entry exactly its stated size.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/files/ZipArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::uint64_t kBudget = std::uint64_t{4} << 20;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    anthora::ZipArchive archive(bytes, kBudget);
    if (archive.Entries().size() > anthora::kZipMaxEntries) __builtin_trap();
    std::uint64_t total = 0;
    for (const anthora::ZipEntry& entry : archive.Entries()) {
      if (!anthora::RefusedZipName(entry.Name).empty()) __builtin_trap();
      try {
        const std::string read = archive.Read(entry);
        if (read.size() != entry.Size) __builtin_trap();
        total += read.size();
      } catch (const anthora::ZipError&) {
      }
    }
    if (total > kBudget) __builtin_trap();
  } catch (const anthora::ZipError&) {
  }
  return 0;
}
