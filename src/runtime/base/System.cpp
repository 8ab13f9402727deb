#include "runtime/base/System.h"

#include "platform/posix/MonotonicClock.h"

namespace anthora {

namespace {

int displayBitsPerPixel = 32;
const Clock* systemClock = nullptr;

}  // namespace

int DisplayBitsPerPixel() {
  return displayBitsPerPixel;
}

void SetDisplayBitsPerPixel(int bitsPerPixel) {
  displayBitsPerPixel = bitsPerPixel;
}

const Clock& SystemClock() {
  static const MonotonicClock monotonic;
  return systemClock ? *systemClock : monotonic;
}

void SetSystemClock(const Clock* clock) {
  systemClock = clock;
}

}  // namespace anthora
