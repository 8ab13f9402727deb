#pragma once

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace anthora::test {

// The user a test that runs as root takes on to act as someone else: nobody.
inline constexpr uid_t kOtherUser = 65534;

// The wait status of the body run in a child process, which exits 0 when the body returns true
// and 1 when not; as kOtherUser when asked and this process is root (3 when that fails).
inline int InChild(const std::function<bool()>& body, bool asOtherUser = false) {
  const pid_t child = fork();
  if (child == 0) {
    if (asOtherUser && geteuid() == 0 && (setgid(kOtherUser) != 0 || setuid(kOtherUser) != 0))
      _exit(3);
    _exit(body() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return status;
}

}  // namespace anthora::test
