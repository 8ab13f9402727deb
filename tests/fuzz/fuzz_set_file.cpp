// Arbitrary bytes as a set file: refused or unpacked, and nothing written outside the folder
// it is unpacked into.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "quiz/SetArchive.h"
#include "runtime/files/SafeWrite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string temp = std::filesystem::temp_directory_path().string();
  static const int tempFolder = open(temp.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  static const anthora::PrivateFolder* const parent =
      new anthora::PrivateFolder(tempFolder, "fuzz-set-", temp);
  const std::string file = parent->Path() + "/in.anthora";
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  {
    const anthora::PrivateFolder folder(parent->Get(), "out-", parent->Path());
    try {
      anthora::UnpackSetFile(file, folder.Get());
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
