#pragma once

#include <string_view>

namespace anthora {

// True when the path names an existing file that is not a folder. A path holding a NUL
// byte never exists: it must not stand for the shorter path before the NUL.
bool FileExists(std::string_view path);

}  // namespace anthora
