#pragma once

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>

namespace anthora {

// Writes a file as one step: the bytes go into a private file beside it, which is then renamed
// into place, so that the path holds either nothing new or the whole new file. An existing
// file there is replaced only when allowed. A termination signal waits until the file is in
// place or gone. Raises FileExistsError, or std::runtime_error saying what went wrong; nothing is
// left behind. The path names a file already, and replacing it was not allowed.
class FileExistsError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

void WriteFileAtomically(const std::string& path, bool replace,
                         const std::function<bool(std::FILE*)>& write);

}  // namespace anthora
