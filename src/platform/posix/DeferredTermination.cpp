#include "platform/posix/DeferredTermination.h"

#include <pthread.h>

#include <initializer_list>

namespace anthora {

namespace {

sigset_t TerminationSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, signal);
  return signals;
}

}  // namespace

DeferredTermination::DeferredTermination() {
  const sigset_t signals = TerminationSignals();
  pthread_sigmask(SIG_BLOCK, &signals, &FPrevious);
}

DeferredTermination::~DeferredTermination() {
  Allow();
}

void DeferredTermination::Allow() {
  pthread_sigmask(SIG_SETMASK, &FPrevious, nullptr);
}

void DeferredTermination::Defer() {
  const sigset_t signals = TerminationSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

}  // namespace anthora
