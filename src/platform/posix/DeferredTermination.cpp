#include "platform/posix/DeferredTermination.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <initializer_list>
#include <iterator>

namespace anthora {

namespace {

constexpr int kTerminationSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<bool> workStopped = false;

// The termination signals this program heeds: one that it was started ignoring (under nohup, or
// SIGINT in a background job) is neither held back nor counted, since held back it would wait
// as if it had come to end the program.
sigset_t TerminationSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal : kTerminationSignals) {
    struct sigaction action {};
    if (sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN) continue;
    sigaddset(&signals, signal);
  }
  return signals;
}

// Whether one of the heeded signals is waiting and `counts` says it is this caller's.
template <typename Counts>
bool Waiting(Counts counts) {
  const sigset_t heeded = TerminationSignals();
  sigset_t pending;
  sigpending(&pending);
  return std::any_of(std::begin(kTerminationSignals), std::end(kTerminationSignals),
                     [&](int signal) {
                       return sigismember(&heeded, signal) == 1 &&
                              sigismember(&pending, signal) == 1 && counts(signal);
                     });
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
  return Waiting([this](int signal) { return sigismember(&FPrevious, signal) == 0; });
}

bool DeferredTermination::Pending() {
  return workStopped.load(std::memory_order_relaxed) || Waiting([](int) { return true; });
}

void DeferredTermination::StopWork() {
  workStopped.store(true, std::memory_order_relaxed);
}

void DeferredTermination::Defer() {
  const sigset_t signals = TerminationSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

}  // namespace anthora
