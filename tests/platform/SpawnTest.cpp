#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>

#include <cerrno>

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

TEST(SingleSpawn, StartsNoSecondProgramWhileTheFirstRuns) {
  SingleSpawn opener;
  const std::string sleeper[] = {"sleep", "600"};
  const pid_t first = opener.Start(sleeper);
  ASSERT_GT(first, 0);
  EXPECT_TRUE(opener.Running());
  EXPECT_EQ(opener.Start(sleeper), -1);

  kill(first, SIGKILL);
  while (opener.Running()) poll(nullptr, 0, 10);
  const std::string quick[] = {"true"};
  EXPECT_GT(opener.Start(quick), 0);
}

}  // namespace
}  // namespace anthora
