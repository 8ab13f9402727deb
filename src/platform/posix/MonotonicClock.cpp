#include "platform/posix/MonotonicClock.h"

#include <time.h>

namespace anthora {

std::optional<std::uint64_t> MonotonicClock::PerformanceCounter() const {
  timespec now{};
  if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000'000u +
         static_cast<std::uint64_t>(now.tv_nsec);
}

std::uint32_t MonotonicClock::MillisecondsSinceStart() const {
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  const auto milliseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                            static_cast<std::uint64_t>(now.tv_nsec) / 1'000'000u;
  return static_cast<std::uint32_t>(milliseconds);  // wraps after 49.7 days, as the counter does
}

}  // namespace anthora
