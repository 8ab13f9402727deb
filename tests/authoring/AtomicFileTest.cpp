// One file written as one step: a signal stops it with nothing new in place, only a regular
// file is ever replaced, and what a killed write left beside the file is cleared.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "authoring/AtomicFile.h"
#include "authoring/SetPacker.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

// The status of a child process that runs the body.
int InChild(const std::function<void()>& body) {
  const pid_t child = fork();
  if (child == 0) {
    try {
      body();
    } catch (...) {
    }
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return status;
}

TEST(AtomicFile, ASignalStopsTheWorkAndPutsNothingNewInPlace) {
  const TempDir temp;
  const fs::path old = temp.Path() / "old.anthora";
  Write(old, "old");
  fs::create_directories(temp.Path() / "set/ris");
  Write(temp.Path() / "set/ris/fen.ani", "0\r\n");
  const std::function<void(const fs::path&)> works[] = {
      [](const fs::path& path) {  // a writer that goes on after the signal
        WriteFileAtomically(path, true, [](std::FILE* file) {
          std::fputs("begun", file);
          kill(getpid(), SIGTERM);
          for (int i = 0; i < 100'000; ++i) std::fputs("more bytes ", file);
          return true;
        });
      },
      [&](const fs::path& path) {  // a set packed after the signal came
        AtomicFile file(path, true);
        kill(getpid(), SIGINT);
        PackSetFolder((temp.Path() / "set").string(), file);
        file.Commit();
      },
      [](const fs::path& path) {  // the file made, the signal just before it goes in place
        AtomicFile file(path, true);
        Write(file.Made(), "new");
        kill(getpid(), SIGHUP);
        file.Commit();
      }};
  for (const auto& work : works) {
    for (const fs::path& path : {old, temp.Path() / "new.anthora"}) {
      const int status = InChild([&] { work(path); });
      EXPECT_TRUE(WIFSIGNALED(status)) << path << " " << status;
    }
    EXPECT_EQ(Read(old), "old");
    EXPECT_EQ(Names(temp.Path()), (std::set<std::string>{"old.anthora", "set"}));
  }
}

TEST(AtomicFile, ASignalTheProgramWasStartedIgnoringChangesNothing) {
  const TempDir temp;
  const fs::path path = temp.Path() / "new.anthora";
  const int status = InChild([&] {
    signal(SIGINT, SIG_IGN);  // as a shell leaves it for a job in the background
    WriteFileAtomically(path, false, [](std::FILE* file) {
      kill(getpid(), SIGINT);
      return std::fputs("whole", file) >= 0;
    });
  });
  EXPECT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(Read(path), "whole");
}

TEST(AtomicFile, ReplacesOnlyARegularFileAndClearsWhatAKilledWriteLeft) {
  const TempDir temp;
  const fs::path pipe = temp.Path() / "pipe.png";
  const fs::path link = temp.Path() / "link.png";
  const fs::path target = temp.Path() / "target.png";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  Write(target, "kept");
  fs::create_symlink(target, link);
  for (const fs::path& path : {pipe, link, temp.Path()}) {
    for (const bool replace : {false, true}) {
      try {
        WriteFileAtomically(path.string(), replace, [](std::FILE*) { return true; });
        ADD_FAILURE() << path << " was replaced";
      } catch (const std::runtime_error& error) {
        EXPECT_TRUE(std::string(error.what()).starts_with(path.string() + ": ")) << error.what();
      }
    }
  }
  EXPECT_TRUE(fs::is_fifo(pipe));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Read(target), "kept");

  // A killed write's folder is cleared; a running write's is locked and kept.
  const fs::path dead = temp.Path() / ".target.png-part-dead00";
  const fs::path running = temp.Path() / ".target.png-part-alive0";
  fs::create_directories(dead / "inner");
  Write(dead / "file", "half");
  fs::create_directory(running);
  const int lock = open(running.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(flock(lock, LOCK_EX), 0);
  const pid_t child = fork();  // the lock belongs to another process, as a running write's does
  if (child == 0) {
    WriteFileAtomically(target.string(), true,
                        [](std::FILE* file) { return std::fputs("new", file) >= 0; });
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  close(lock);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Read(target), "new");
  EXPECT_FALSE(fs::exists(dead));
  EXPECT_TRUE(fs::exists(running));
}

}  // namespace
}  // namespace anthora
