// Packing a set folder into a set file: refused with the file named when a photo cannot be read
// or changes on the way, when the output lies inside the set, and stopped by a signal.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <thread>

#include "quiz/SetArchive.h"
#include "quiz/SetPacker.h"
#include "runtime/files/SafeWrite.h"
#include "support/Child.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

namespace fs = std::filesystem;
using test::InChild;
using test::TempDir;

// Why packing the folder into the output was refused; empty when it was packed and put in place.
std::string Refusal(const fs::path& set, const fs::path& output) {
  try {
    AtomicFile file(output.string(), true);
    PackSetFolder(set.string(), file);
    file.Commit();
    return {};
  } catch (const std::runtime_error& error) {
    return error.what();
  }
}

TEST(SetPacker, RefusesAnOutputInsideTheSet) {
  const TempDir temp;
  temp.Write("set/ris/fen.ani", "0\r\n");
  for (const char* inside : {"set/ris/x.anthora", "set/x.anthora"}) {
    EXPECT_EQ(Refusal(temp.Path() / "set", temp.Path() / inside),
              (temp.Path() / inside).string() +
                  ": would be written inside the set it packs; choose a place outside " +
                  (temp.Path() / "set").string());
  }
  EXPECT_EQ(fs::directory_iterator(temp.Path() / "set/ris")->path().filename(), "fen.ani")
      << "something was left in the set";
  EXPECT_EQ(Refusal(temp.Path() / "set", temp.Path() / "set.anthora"), "");
}

TEST(SetPacker, NamesAPhotoThatCannotBeRead) {
  const TempDir temp;
  fs::permissions(temp.Path(), fs::perms::all);
  EXPECT_EQ(InChild(
                [&] {
                  fs::create_directories(temp.Path() / "set/ris");
                  std::ofstream(temp.Path() / "set/ris/fen.ani") << "0\r\n";
                  std::ofstream(temp.Path() / "set/ris/rose.jpg") << "photo";
                  fs::permissions(temp.Path() / "set/ris/rose.jpg", fs::perms::none);
                  return Refusal(temp.Path() / "set", temp.Path() / "out.anthora") ==
                         (temp.Path() / "set/ris/rose.jpg").string() +
                             ": cannot be read: Permission denied";
                },
                true),
            0);
  EXPECT_FALSE(fs::exists(temp.Path() / "out.anthora"));
}

TEST(SetPacker, RefusesAFileThatGrowsWhileItIsPacked) {
  const TempDir temp;
  temp.Write("set/ris/fen.ani", "0\r\n");
  // Bytes that pack slowly, so that the packing is long under way while the file grows.
  std::string bytes(8 << 20, '\0');
  std::uint32_t state = 1;
  for (char& byte : bytes) byte = static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
  const std::string notes = temp.Write("set/ris/notes.txt", bytes);
  std::atomic<bool> growing = false;
  std::atomic<bool> packed = false;
  std::thread grower([&] {
    std::ofstream out(notes, std::ios::binary | std::ios::app);
    while (!packed) {
      out.put('y').flush();
      growing = true;
    }
  });
  while (!growing) std::this_thread::yield();
  const std::string refusal = Refusal(temp.Path() / "set", temp.Path() / "out.anthora");
  packed = true;
  grower.join();
  EXPECT_EQ(refusal, notes + ": changed while it was packed; pack the set again");
  EXPECT_FALSE(fs::exists(temp.Path() / "out.anthora"));
}

TEST(SetPacker, ASignalStopsThePackingAndPutsNothingInPlace) {
  const TempDir temp;
  temp.Write("set/ris/fen.ani", "0\r\n");
  const std::string old = temp.Write("old.anthora", "old");
  for (const fs::path& path : {fs::path(old), temp.Path() / "new.anthora"}) {
    const int status = InChild([&] {
      AtomicFile file(path.string(), true);
      kill(getpid(), SIGINT);
      try {
        PackSetFolder((temp.Path() / "set").string(), file);
        file.Commit();
      } catch (const std::runtime_error&) {
      }
      return true;
    });
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << path << " " << status;
  }
  std::ifstream in(old);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(temp.Path()))
    names.insert(entry.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"old.anthora", "set"}));
}

}  // namespace
}  // namespace anthora
