// Arbitrary bytes as a question set file: every line is read to the end of the file and the
// count line is converted, as the quiz does.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "runtime/base/Exceptions.h"
#include "runtime/base/StrToInt.h"
#include "runtime/files/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int handle = memfd_create("question-set", MFD_CLOEXEC);
  if (handle < 0 || write(handle, data, size) != static_cast<ssize_t>(size)) return 0;
  anthora::TextFile file;
  file.Reset("/proc/self/fd/" + std::to_string(handle));
  close(handle);
  try {
    anthora::StrToInt(file.ReadLn());
  } catch (const anthora::EConvertError&) {
  }
  std::size_t total = 0;
  for (std::size_t lines = 0; lines <= size; ++lines) total += file.ReadLn().size();
  if (total > size) __builtin_trap();
  return 0;
}
