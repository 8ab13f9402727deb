#include <gtest/gtest.h>

#include <set>

#include "platform/Clock.h"
#include "runtime/base/Random.h"

namespace anthora {
namespace {

class FixedClock : public Clock {
 public:
  std::optional<std::uint64_t> Counter;
  std::uint32_t Milliseconds = 0;
  std::optional<std::uint64_t> PerformanceCounter() const override { return Counter; }
  std::uint32_t MillisecondsSinceStart() const override { return Milliseconds; }
};

TEST(RandomGenerator, FollowsTheRuntimeSequence) {
  RandomGenerator generator(0);
  const int expected[] = {0, 0, 4, 1, 1, 3, 1, 0, 1, 2};
  for (const int value : expected) EXPECT_EQ(generator.Random(5), value);
  EXPECT_EQ(generator.Seed(), 1828254910u);

  generator.SetSeed(12345);
  const int hundred[] = {38, 28, 7, 55, 63, 34, 43, 7};
  for (const int value : hundred) EXPECT_EQ(generator.Random(100), value);
  EXPECT_EQ(generator.Seed(), 340655249u);
}

TEST(RandomGenerator, DrawsStayInRangeAndReachEveryValue) {
  RandomGenerator generator(0xDEADBEEF);
  std::set<int> seen;
  for (int i = 0; i < 1000; ++i) {
    const int value = generator.Random(5);
    ASSERT_GE(value, 0);
    ASSERT_LT(value, 5);
    seen.insert(value);
  }
  EXPECT_EQ(seen.size(), 5u);
  EXPECT_EQ(generator.Random(0), 0);
}

TEST(RandomGenerator, SeedsFromTheLowBitsOfTheCounterElseTheMilliseconds) {
  FixedClock clock;
  clock.Counter = 0x1234'5678'9ABC'DEF0ull;
  clock.Milliseconds = 777;
  RandomGenerator generator;
  generator.Randomize(clock);
  EXPECT_EQ(generator.Seed(), 0x9ABCDEF0u);

  clock.Counter.reset();
  generator.Randomize(clock);
  EXPECT_EQ(generator.Seed(), 777u);
}

}  // namespace
}  // namespace anthora
