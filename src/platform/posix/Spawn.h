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

// Starts a program detached, but never a second one while the one it started last still
// runs, so that a burst of requests opens one program.
class SingleSpawn {
 public:
  SingleSpawn() = default;
  SingleSpawn(const SingleSpawn&) = delete;
  SingleSpawn& operator=(const SingleSpawn&) = delete;
  ~SingleSpawn();

  // The new child's id; -1 when it cannot start or the last one still runs.
  pid_t Start(std::span<const std::string> arguments);
  bool Running();

 private:
  void Forget();

  int process_ = -1;  // a descriptor of the last child, open while it may still run
};

}  // namespace anthora
