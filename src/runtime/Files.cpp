#include "runtime/Files.h"

#include <sys/stat.h>

#include <string>

namespace anthora {

bool FileExists(std::string_view path) {
  if (path.empty() || path.find('\0') != std::string_view::npos) return false;
  struct stat status {};
  return stat(std::string(path).c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

}  // namespace anthora
