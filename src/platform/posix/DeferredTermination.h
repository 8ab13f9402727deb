#pragma once

#include <signal.h>

namespace anthora {

// Holds back SIGINT, SIGTERM and SIGHUP while it lives, so that a file or folder being written
// or unpacked is never left behind half made: the objects made after it clean up first, and a
// signal that came meanwhile takes its course when this object goes. Allow() lets signals
// through for a while, even those that came blocked, to a part of the program that handles
// them itself.
class DeferredTermination {
 public:
  DeferredTermination();
  DeferredTermination(const DeferredTermination&) = delete;
  DeferredTermination& operator=(const DeferredTermination&) = delete;
  ~DeferredTermination();

  void Allow();
  void Defer();
  // Whether a signal it holds back arrived meanwhile (one that was held back before it came
  // does not count: it is not this object's to act on).
  bool Arrived() const;
  // Whether a termination signal is waiting, held back by any object, or the user asked the
  // work to stop: long work asks it between its steps to stop early.
  static bool Pending();
  // The user stopped the work (a Cancel button): from now on Pending() is true, in every thread,
  // and the work stops as for a signal, except that the program goes on.
  static void StopWork();

 private:
  sigset_t FPrevious;
};

}  // namespace anthora
