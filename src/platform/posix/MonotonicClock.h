#pragma once

#include "platform/Clock.h"

namespace anthora {

// The performance counter is the monotonic clock in nanoseconds; the milliseconds since
// start come from the boot-time clock, which also counts time spent suspended.
class MonotonicClock final : public Clock {
 public:
  std::optional<std::uint64_t> PerformanceCounter() const override;
  std::uint32_t MillisecondsSinceStart() const override;
};

}  // namespace anthora
