// The start of a program on an X display, frame by frame:
//
//   first_frame [--runs N] --expect PICTURE.ppm [--scale S] [--strict] [--keep FILE.ppm]
//               [--phases] PROGRAM [ARGS...]
//
// Each run starts the program, waits for it to map a window of the expected picture's size (a
// top-level one, or one that a window manager framed), then grabs that whole window from the
// server as fast as it can and compares every pixel with the expected picture, a binary PPM
// with each pixel repeated S x S times. A grab that differs is an incomplete frame. After the first
// complete grab a few more are taken, then the program is sent SIGTERM and its peak resident memory
// is read when it ends. Each run prints one line:
//
//   run 1: mapped 20.1 ms, complete 20.3 ms, 0 of 21 grabs incomplete, peak RSS 14.0 MB, cpu 9.8 ms
//
// The processor time (user and system, until the program has ended) tells less of what the
// user waits for but more of what the program does, where other work on the machine makes
// the times from start noisy.
//
// With --strict the exit status is 1 when any grab was incomplete; --keep writes the first
// incomplete grab to a file. With --phases the program is told the moment it was started, in
// ANTHORA_START_TIMES, and writes the end of each phase of its start to standard error. The
// exit status is 1 as well when no window came or it never
// showed the expected picture, and 2 for a usage error.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace {

double Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

constexpr double kTimeoutMs = 10'000;
constexpr int kGrabsAfterComplete = 20;

// Pixels 0xRRGGBB, rows top-down.
struct Picture {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Pixels;
};

std::optional<Picture> ReadPpm(const char* path, int scale) {
  std::ifstream file(path, std::ios::binary);
  std::string magic;
  int width = 0, height = 0, maximum = 0;
  file >> magic >> width >> height >> maximum;
  if (!file || file.get() == EOF) return std::nullopt;
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), {}};
  if (magic != "P6" || maximum != 255 || width <= 0 || height <= 0 ||
      bytes.size() != std::size_t(width) * height * 3)
    return std::nullopt;
  Picture picture{width * scale, height * scale, {}};
  picture.Pixels.resize(std::size_t(picture.Width) * picture.Height);
  for (int y = 0; y < picture.Height; ++y) {
    for (int x = 0; x < picture.Width; ++x) {
      const unsigned char* rgb = &bytes[(std::size_t(y / scale) * width + x / scale) * 3];
      picture.Pixels[std::size_t(y) * picture.Width + x] =
          (std::uint32_t{rgb[0]} << 16) | (std::uint32_t{rgb[1]} << 8) | rgb[2];
    }
  }
  return picture;
}

void WritePpm(const char* path, const Picture& picture) {
  std::ofstream file(path, std::ios::binary);
  file << "P6\n" << picture.Width << ' ' << picture.Height << "\n255\n";
  for (const std::uint32_t pixel : picture.Pixels) {
    const char rgb[3] = {char(pixel >> 16), char(pixel >> 8), char(pixel)};
    file.write(rgb, 3);
  }
}

// Grabs a window of the expected picture's size through shared memory, the fastest way to
// read it from the server, and compares it with the picture.
class Grabber {
 public:
  Grabber(Display* display, const Picture& expected) : display_(display), expected_(expected) {
    const int screen = DefaultScreen(display);
    image_ = XShmCreateImage(display, DefaultVisual(display, screen), DefaultDepth(display, screen),
                             ZPixmap, nullptr, &segment_, expected.Width, expected.Height);
    if (image_ == nullptr || image_->bits_per_pixel != 32) return;
    segment_.shmid =
        shmget(IPC_PRIVATE, std::size_t(image_->bytes_per_line) * image_->height, IPC_CREAT | 0600);
    if (segment_.shmid < 0) return;
    segment_.shmaddr = image_->data = static_cast<char*>(shmat(segment_.shmid, nullptr, 0));
    segment_.readOnly = False;
    attached_ = segment_.shmaddr != reinterpret_cast<char*>(-1) && XShmAttach(display, &segment_);
    XSync(display, False);
    shmctl(segment_.shmid, IPC_RMID, nullptr);  // gone once both sides let go
  }
  ~Grabber() {
    if (attached_) XShmDetach(display_, &segment_);
    if (segment_.shmaddr != nullptr && segment_.shmaddr != reinterpret_cast<char*>(-1))
      shmdt(segment_.shmaddr);
    if (image_ != nullptr) {
      image_->data = nullptr;
      XDestroyImage(image_);
    }
  }
  Grabber(const Grabber&) = delete;
  Grabber& operator=(const Grabber&) = delete;

  bool Ready() const { return attached_; }
  // Reads the window; false when it cannot be read.
  bool Grab(Window window) { return XShmGetImage(display_, window, image_, 0, 0, AllPlanes); }
  bool Matches() const {
    for (int y = 0; y < expected_.Height; ++y) {
      const std::uint32_t* row = Row(y);
      const std::uint32_t* want = &expected_.Pixels[std::size_t(y) * expected_.Width];
      for (int x = 0; x < expected_.Width; ++x) {
        if ((row[x] & 0xFFFFFF) != want[x]) return false;
      }
    }
    return true;
  }
  Picture Copy() const {
    Picture picture{expected_.Width, expected_.Height, {}};
    for (int y = 0; y < expected_.Height; ++y) {
      for (int x = 0; x < expected_.Width; ++x) picture.Pixels.push_back(Row(y)[x] & 0xFFFFFF);
    }
    return picture;
  }

 private:
  const std::uint32_t* Row(int y) const {
    return reinterpret_cast<const std::uint32_t*>(image_->data + y * image_->bytes_per_line);
  }

  Display* display_;
  const Picture& expected_;
  XImage* image_ = nullptr;
  XShmSegmentInfo segment_{};
  bool attached_ = false;
};

int IgnoreErrors(Display*, XErrorEvent*) {
  return 0;  // a window that went away is simply not grabbed
}

struct Options {
  int Runs = 1;
  Picture Expected;
  bool Strict = false;
  bool Phases = false;
  const char* Keep = nullptr;
  char** Program = nullptr;
};

struct Run {
  double MapMs = 0;
  double CompleteMs = 0;
  int Grabs = 0;
  int Incomplete = 0;
  long PeakKb = 0;
  double CpuMs = 0;  // user and system time of the whole run, start to end
};

// Waits for the program's window: created as a child of the root and mapped, there or in a
// window manager's frame, at the size asked for.
std::optional<Window> WaitForMap(Display* display, const Options& options, double start) {
  while (Now() - start < kTimeoutMs) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == CreateNotify && event.xcreatewindow.parent == DefaultRootWindow(display)) {
        XSelectInput(display, event.xcreatewindow.window, StructureNotifyMask);
      } else if (event.type == MapNotify) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, event.xmap.window, &attributes) &&
            attributes.width == options.Expected.Width &&
            attributes.height == options.Expected.Height)
          return event.xmap.window;
      }
    }
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    poll(&fd, 1, 5);
  }
  return std::nullopt;
}

std::optional<Run> Measure(Display* display, Grabber& grabber, const Options& options) {
  XSync(display, True);  // nothing of an earlier run is left to read

  Run run;
  const double start = Now();
  if (options.Phases) {
    const std::string origin = std::to_string(start);
    setenv("ANTHORA_START_TIMES", origin.c_str(), 1);
  }
  pid_t child = -1;
  if (posix_spawnp(&child, options.Program[0], nullptr, nullptr, options.Program, environ) != 0)
    return std::nullopt;
  const auto window = WaitForMap(display, options, start);
  bool complete = false;
  if (window) {
    run.MapMs = Now() - start;
    int afterComplete = 0;
    while (afterComplete < kGrabsAfterComplete && Now() - start < kTimeoutMs) {
      const double requested = Now();
      if (!grabber.Grab(*window)) break;
      ++run.Grabs;
      if (grabber.Matches()) {
        if (!complete) run.CompleteMs = requested - start;
        complete = true;
      } else if (run.Incomplete++ == 0 && options.Keep != nullptr) {
        WritePpm(options.Keep, grabber.Copy());
      }
      if (complete) ++afterComplete;
    }
  }
  kill(child, SIGTERM);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  run.PeakKb = usage.ru_maxrss;
  run.CpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
              (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
  if (!window) return std::nullopt;
  if (!complete) run.CompleteMs = -1;
  return run;
}

bool ParseOptions(int argc, char** argv, Options& options) {
  int scale = 1;
  const char* expected = nullptr;
  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    const std::string option = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (option == "--strict" || option == "--phases") {
      (option == "--strict" ? options.Strict : options.Phases) = true;
      continue;
    }
    if (value == nullptr) return false;
    ++i;
    if (option == "--runs") {
      options.Runs = std::max(1, std::atoi(value));
    } else if (option == "--expect") {
      expected = value;
    } else if (option == "--scale") {
      scale = std::max(1, std::atoi(value));
    } else if (option == "--keep") {
      options.Keep = value;
    } else {
      return false;
    }
  }
  if (i >= argc || expected == nullptr) return false;
  options.Program = argv + i;
  auto picture = ReadPpm(expected, scale);
  if (!picture) {
    std::fprintf(stderr, "first_frame: %s is not a binary PPM picture\n", expected);
    return false;
  }
  options.Expected = std::move(*picture);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: first_frame [--runs N] --expect PICTURE.ppm [--scale S] [--strict] "
                 "[--keep FILE.ppm] [--phases] PROGRAM [ARGS...]\n");
    return 2;
  }
  XSetErrorHandler(IgnoreErrors);
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "first_frame: cannot open the display\n");
    return 1;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  Grabber grabber(display, options.Expected);
  if (!grabber.Ready()) {
    std::fprintf(stderr, "first_frame: the display cannot share a 32-bit picture\n");
    return 1;
  }
  bool failed = false;
  for (int i = 1; i <= options.Runs; ++i) {
    const auto run = Measure(display, grabber, options);
    if (!run) {
      std::fprintf(stderr, "first_frame: run %d showed no window\n", i);
      return 1;
    }
    if (run->CompleteMs < 0) {
      std::fprintf(stderr, "first_frame: run %d never showed the expected picture\n", i);
      return 1;
    }
    std::printf(
        "run %d: mapped %.2f ms, complete %.2f ms, %d of %d grabs incomplete, peak RSS "
        "%.1f MB, cpu %.1f ms\n",
        i, run->MapMs, run->CompleteMs, run->Incomplete, run->Grabs, run->PeakKb / 1024.0,
        run->CpuMs);
    std::fflush(stdout);
    failed = failed || (options.Strict && run->Incomplete > 0);
  }
  return failed ? 1 : 0;
}
