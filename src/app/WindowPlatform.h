#pragma once

#include <memory>

#include "platform/Platform.h"

namespace anthora {

// The desktop platform for the program's windows, the quiz's and the question-set commands'
// alike. The window is made under the C character type, as it always was: X then gets its title
// as plain text, which every window manager and window tool reads. Messages stay translated.
std::unique_ptr<Platform> CreateWindowPlatform(int scale);

}  // namespace anthora
