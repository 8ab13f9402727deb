#pragma once

#include <string>
#include <vector>

namespace anthora {

// A file made in memory, to be written into a folder or packed into an archive.
struct NamedFile {
  std::string Name;  // a plain file name, no folder
  std::string Bytes;
};

using NamedFiles = std::vector<NamedFile>;

}  // namespace anthora
