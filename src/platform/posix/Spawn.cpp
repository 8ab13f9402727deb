#include "platform/posix/Spawn.h"

#include <signal.h>
#include <spawn.h>

#include <vector>

extern char** environ;

namespace anthora {

namespace {

// SIGCHLD keeps its default action (ignored) but children no longer turn into zombies.
// The flag is not inherited across exec, so the child's own children are reaped as usual.
void ReapChildrenAutomatically() {
  struct sigaction reap {};
  reap.sa_handler = SIG_DFL;
  reap.sa_flags = SA_NOCLDWAIT;
  sigemptyset(&reap.sa_mask);
  sigaction(SIGCHLD, &reap, nullptr);
}

}  // namespace

pid_t SpawnDetached(std::span<const std::string> arguments) {
  if (arguments.empty()) return -1;
  ReapChildrenAutomatically();

  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  posix_spawnattr_t attributes;
  if (posix_spawnattr_init(&attributes) != 0) return -1;
  sigset_t none;
  sigemptyset(&none);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int signal : {SIGINT, SIGTERM, SIGTTOU, SIGPIPE, SIGCHLD}) sigaddset(&defaults, signal);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t child = -1;
  const int result = posix_spawnp(&child, argv[0], nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  return result == 0 ? child : -1;
}

}  // namespace anthora
