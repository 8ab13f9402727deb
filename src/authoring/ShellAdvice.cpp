#include "authoring/ShellAdvice.h"

#include "runtime/base/ShellWord.h"

namespace anthora {

std::string RemoveByteOrderMarkCommand(const std::string& path) {
  return "sed -i '1s/^\\xEF\\xBB\\xBF//' " + ShellPath(path);
}

std::string ConvertToWindows1251Command(const std::string& path) {
  const std::string file = ShellPath(path);
  return "iconv -f UTF-8 -t CP1251 " + file + " > fixed.ani && mv fixed.ani " + file;
}

}  // namespace anthora
