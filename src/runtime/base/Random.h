#pragma once

#include <cstdint>

namespace anthora {

class Clock;

// The runtime's random generator: a 32-bit seed stepped as seed * 0x08088405 + 1 before each
// draw; a draw below n is the high half of the 64-bit product seed * n.
class RandomGenerator {
 public:
  explicit RandomGenerator(std::uint32_t seed = 0) : FSeed(seed) {}

  std::uint32_t Seed() const { return FSeed; }
  void SetSeed(std::uint32_t seed) { FSeed = seed; }

  // A number from 0 to range - 1; 0 when the range is not positive.
  std::int32_t Random(std::int32_t range);

  // Seeds from the low 32 bits of the performance counter, or from the milliseconds since
  // the system started where there is no such counter.
  void Randomize(const Clock& clock);

 private:
  std::uint32_t FSeed;
};

}  // namespace anthora
