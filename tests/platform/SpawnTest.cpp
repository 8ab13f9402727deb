#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <cerrno>

#include "platform/headless/HeadlessPlatform.h"
#include "platform/posix/Spawn.h"

namespace anthora {
namespace {

TEST(SpawnDetached, LeavesNoZombieBehind) {
  const std::string arguments[] = {"true"};
  const pid_t child = SpawnDetached(arguments);
  ASSERT_GT(child, 0);
  // Waiting blocks until the child has ended; since the kernel has already reaped it, there
  // is no exit status left to collect.
  int status = 0;
  EXPECT_EQ(waitpid(child, &status, 0), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST(SpawnDetached, ReportsAProgramThatCannotStart) {
  const std::string missing[] = {"anthora-no-such-program"};
  EXPECT_EQ(SpawnDetached(missing), -1);
  EXPECT_EQ(SpawnDetached({}), -1);
}

// Within a second of the last start nothing starts; then a program starts again, though the
// last one still runs. A program that could not start holds nothing up.
TEST(PacedSpawn, StartsNothingWithinASecondOfTheLastStart) {
  HeadlessPlatform clock;
  PacedSpawn opener(clock);
  const std::string missing[] = {"anthora-no-such-program"};
  const std::string sleeper[] = {"sleep", "600"};
  clock.SetMillisecondsSinceStart(0xFFFFFF00u);  // 256 milliseconds before the counter wraps
  EXPECT_EQ(opener.Start(missing), -1);
  const pid_t first = opener.Start(sleeper);
  ASSERT_GT(first, 0);
  clock.SetMillisecondsSinceStart(743);
  EXPECT_EQ(opener.Start(sleeper), -1);
  clock.SetMillisecondsSinceStart(744);
  const pid_t second = opener.Start(sleeper);
  EXPECT_GT(second, 0);
  EXPECT_EQ(kill(first, 0), 0);  // still running
  EXPECT_EQ(opener.Start(sleeper), -1);
  for (const pid_t child : {first, second}) {
    if (child > 0) kill(child, SIGKILL);
  }
}

}  // namespace
}  // namespace anthora
