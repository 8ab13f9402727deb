// Whole-process start measurement on an X display: first_frame [--runs N] PROGRAM [ARGS...]
// For each run it starts the program and reports the time until its top-level window is
// mapped and until that window's centre pixel is no longer black (the first frame on a
// fresh Xvfb, whose root is black), then the program's peak resident memory after it has
// been sent SIGTERM and has ended.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

extern char** environ;

namespace {

double Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

constexpr double kTimeoutMs = 10'000;

// Waits for the first window mapped as a child of the root.
std::optional<Window> WaitForMap(Display* display, double start) {
  while (Now() - start < kTimeoutMs) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify) return event.xmap.window;
    }
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    poll(&fd, 1, 5);
  }
  return std::nullopt;
}

bool CentreIsPainted(Display* display, Window window) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes)) return false;
  XImage* image = XGetImage(display, window, attributes.width / 2, attributes.height / 2, 1, 1,
                            AllPlanes, ZPixmap);
  if (image == nullptr) return false;
  const unsigned long pixel = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  return pixel != 0;
}

struct Run {
  double MapMs = 0;
  double FrameMs = 0;
  long PeakKb = 0;
};

std::optional<Run> Measure(char** argv) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return std::nullopt;
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);

  Run run;
  const double start = Now();
  pid_t child = -1;
  if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv, environ) != 0) return std::nullopt;
  const auto window = WaitForMap(display, start);
  if (window) {
    run.MapMs = Now() - start;
    while (!CentreIsPainted(display, *window) && Now() - start < kTimeoutMs) usleep(200);
    run.FrameMs = Now() - start;
  }
  usleep(300'000);  // let the program settle before it is asked to close
  kill(child, SIGTERM);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  run.PeakKb = usage.ru_maxrss;
  XCloseDisplay(display);
  if (!window) return std::nullopt;
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  int first = 1;
  if (argc > 2 && std::strcmp(argv[1], "--runs") == 0) {
    runs = std::max(1, std::atoi(argv[2]));
    first = 3;
  }
  if (first >= argc) {
    std::fprintf(stderr, "usage: first_frame [--runs N] PROGRAM [ARGS...]\n");
    return 2;
  }
  std::vector<double> frames;
  for (int i = 0; i < runs; ++i) {
    const auto run = Measure(argv + first);
    if (!run) {
      std::fprintf(stderr, "first_frame: run %d showed no window\n", i + 1);
      return 1;
    }
    std::printf("run %d: mapped %.1f ms, first frame %.1f ms, peak RSS %.1f MB\n", i + 1,
                run->MapMs, run->FrameMs, run->PeakKb / 1024.0);
    frames.push_back(run->FrameMs);
  }
  std::sort(frames.begin(), frames.end());
  std::printf("median first frame: %.1f ms\n", frames[frames.size() / 2]);
  return 0;
}
