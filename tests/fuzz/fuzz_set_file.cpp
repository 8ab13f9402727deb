// Arbitrary bytes as a set file: refused or unpacked, and nothing written outside the folder
// it is unpacked into.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "quiz/SetArchive.h"
#include "runtime/files/PrivateFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const anthora::PrivateFolder* const parent =
      new anthora::PrivateFolder(std::filesystem::temp_directory_path().string(), "fuzz-set-");
  const std::string file = *parent / "in.anthora";
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  {
    const anthora::PrivateFolder folder(parent->Path(), "out-");
    try {
      anthora::UnpackSetFile(file, folder.Path());
    } catch (const anthora::SetFileError&) {
    }
  }
  std::size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(parent->Path())) {
    (void)entry;
    ++entries;
  }
  if (entries != 1) __builtin_trap();  // only the input is left
  return 0;
}
