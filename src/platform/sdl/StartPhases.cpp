#include "platform/sdl/StartPhases.h"

#include <time.h>

#include <cstdio>
#include <cstdlib>

namespace anthora {

namespace {

double NowMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

enum class Report : unsigned char { Unknown, On, Over };

}  // namespace

void EndStartPhase(const char* phase, bool last) {
  static Report report = Report::Unknown;
  static double origin = 0;
  if (report == Report::Over) return;
  const double now = NowMs();
  if (report == Report::Unknown) {
    const char* value = std::getenv("ANTHORA_START_TIMES");
    if (value == nullptr) {
      report = Report::Over;
      return;
    }
    char* end = nullptr;
    origin = std::strtod(value, &end);
    if (end == value || *end != '\0' || origin <= 0 || origin > now) origin = now;
    report = Report::On;
  }
  std::fprintf(stderr, "anthora: start %s at %.2f ms\n", phase, now - origin);
  if (last) report = Report::Over;
}

}  // namespace anthora
