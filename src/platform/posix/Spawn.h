#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/Clock.h"

namespace anthora {

// Starts a program found on the PATH with these arguments (the first is the program), without
// a shell, in a session of its own so that signals meant for our terminal pass it by. Nobody
// waits for it: from the first call on, the kernel reaps every child of this process as soon
// as it ends, so none lingers as a zombie. Returns the child's id, or -1 when it cannot start.
pid_t SpawnDetached(std::span<const std::string> arguments);

// Starts programs detached, but none within a second of the last one it started: a burst of
// requests (a double click) starts one program, and a later request always starts another,
// however long the last one runs.
class PacedSpawn {
 public:
  static constexpr std::uint32_t kPauseMilliseconds = 1000;

  explicit PacedSpawn(const Clock& clock) : clock_(clock) {}

  // The new child's id; -1 when it cannot start or the last one started too recently.
  pid_t Start(std::span<const std::string> arguments);

 private:
  const Clock& clock_;
  std::optional<std::uint32_t> lastStart_;  // the clock's milliseconds since start
};

}  // namespace anthora
