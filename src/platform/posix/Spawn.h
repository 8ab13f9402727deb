#pragma once

#include <sys/types.h>

#include <span>
#include <string>

namespace anthora {

// Starts a program found on the PATH with these arguments (the first is the program), without
// a shell, in a session of its own so that signals meant for our terminal pass it by. Nobody
// waits for it: from the first call on, the kernel reaps every child of this process as soon
// as it ends, so none lingers as a zombie. Returns the child's id, or -1 when it cannot start.
pid_t SpawnDetached(std::span<const std::string> arguments);

}  // namespace anthora
