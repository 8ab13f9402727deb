#include "runtime/base/Random.h"

#include "platform/Clock.h"

namespace anthora {

std::int32_t RandomGenerator::Random(std::int32_t range) {
  FSeed = FSeed * 0x08088405u + 1u;
  if (range <= 0) return 0;
  return static_cast<std::int32_t>((static_cast<std::uint64_t>(FSeed) * range) >> 32);
}

void RandomGenerator::Randomize(const Clock& clock) {
  const auto counter = clock.PerformanceCounter();
  FSeed = counter ? static_cast<std::uint32_t>(*counter) : clock.MillisecondsSinceStart();
}

}  // namespace anthora
