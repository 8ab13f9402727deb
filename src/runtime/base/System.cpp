#include "runtime/base/System.h"

#include <unistd.h>

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

std::string ProgramPath() {
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
  path.resize(static_cast<std::size_t>(length));
  return path;
}

}  // namespace anthora
