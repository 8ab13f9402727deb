#include "platform/posix/DeferredTermination.h"

#include <pthread.h>

#include <algorithm>
#include <initializer_list>
#include <iterator>

namespace anthora {

namespace {

constexpr int kTerminationSignals[] = {SIGINT, SIGTERM, SIGHUP};

sigset_t TerminationSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal : kTerminationSignals) sigaddset(&signals, signal);
  return signals;
}

}  // namespace

DeferredTermination::DeferredTermination() {
  const sigset_t signals = TerminationSignals();
  pthread_sigmask(SIG_BLOCK, &signals, &FPrevious);
}

DeferredTermination::~DeferredTermination() {
  pthread_sigmask(SIG_SETMASK, &FPrevious, nullptr);
}

void DeferredTermination::Allow() {
  const sigset_t signals = TerminationSignals();
  pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
}

bool DeferredTermination::Arrived() const {
  sigset_t pending;
  sigpending(&pending);
  return std::any_of(std::begin(kTerminationSignals), std::end(kTerminationSignals),
                     [&](int signal) {
                       return sigismember(&pending, signal) && !sigismember(&FPrevious, signal);
                     });
}

bool DeferredTermination::Pending() {
  sigset_t pending;
  sigpending(&pending);
  return std::any_of(std::begin(kTerminationSignals), std::end(kTerminationSignals),
                     [&](int signal) { return sigismember(&pending, signal) == 1; });
}

void DeferredTermination::Defer() {
  const sigset_t signals = TerminationSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

}  // namespace anthora
