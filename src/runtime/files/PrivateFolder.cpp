#include "runtime/files/PrivateFolder.h"

#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace anthora {

PrivateFolder::PrivateFolder(const std::string& parent, const std::string& prefix) {
  std::string pattern = (parent.empty() ? "." : parent) + '/' + prefix + "XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr)
    throw std::system_error(errno, std::generic_category(), parent.empty() ? "." : parent);
  FPath = std::move(pattern);
}

PrivateFolder::~PrivateFolder() {
  RemoveTree(FPath);
}

void RemoveTree(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

}  // namespace anthora
