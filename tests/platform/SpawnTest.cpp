#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <set>
#include <thread>
#include <vector>

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

// Polls until the process is gone for good: a zombie would still answer the signal test.
bool Reaped(pid_t child) {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    if (kill(child, 0) == -1 && errno == ESRCH) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// Every call starts a program of its own, while the earlier ones still run; each is gone as
// soon as it ends.
TEST(SpawnDetached, StartsOneProgramPerCallAndEachIsReapedWhenItEnds) {
  const std::string sleeper[] = {"sleep", "600"};
  std::vector<pid_t> children;
  for (int call = 0; call < 3; ++call) children.push_back(SpawnDetached(sleeper));
  for (const pid_t child : children) {
    ASSERT_GT(child, 0);
    EXPECT_EQ(kill(child, 0), 0);  // still running
  }
  EXPECT_EQ(std::set<pid_t>(children.begin(), children.end()).size(), 3u);
  for (const pid_t child : children) kill(child, SIGKILL);
  for (const pid_t child : children) EXPECT_TRUE(Reaped(child)) << child;
}

}  // namespace
}  // namespace anthora
