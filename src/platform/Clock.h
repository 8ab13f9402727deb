#pragma once

#include <cstdint>
#include <optional>

namespace anthora {

// The clocks the program reads: the high-resolution performance counter (absent on systems
// without one) and the milliseconds since the system started.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::optional<std::uint64_t> PerformanceCounter() const = 0;
  virtual std::uint32_t MillisecondsSinceStart() const = 0;
};

}  // namespace anthora
