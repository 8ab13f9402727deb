// The run folder a set file is unpacked into: never where another user could take its place,
// never in the current folder, and unpacked into through its descriptor alone.
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

#include "app/RunFolder.h"
#include "platform/posix/DeferredTermination.h"
#include "quiz/SetArchive.h"
#include "quiz/SetPacker.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// Sets an environment variable (unsets it for nullopt) for as long as it lives.
class Variable {
 public:
  Variable(const char* name, std::optional<std::string> value) : FName(name) {
    if (const char* old = std::getenv(name)) FOld = old;
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }
  Variable(const Variable&) = delete;
  Variable& operator=(const Variable&) = delete;
  ~Variable() {
    if (FOld) {
      setenv(FName, FOld->c_str(), 1);
    } else {
      unsetenv(FName);
    }
  }

 private:
  const char* FName;
  std::optional<std::string> FOld;
};

fs::path ParentOf(const RunFolder& folder) {
  return fs::path(folder.Path()).parent_path();
}

TEST(RunFolder, IsMadeOnlyWhereNoOtherUserCanTakeItsPlace) {
  const TempDir temp;
  const fs::path open = temp.Path() / "open";
  const fs::path sticky = temp.Path() / "sticky";
  const fs::path other = temp.Path() / "other";
  const fs::path safe = temp.Path() / "safe";
  for (const auto& [folder, mode] :
       {std::pair{open, 0777}, {sticky, 01777}, {other, 0700}, {safe, 0700}}) {
    fs::create_directory(folder);
    ASSERT_EQ(chmod(folder.c_str(), mode), 0);
  }
  // Not ours: another user's, or, for a user who is not root, one this user cannot write in.
  ASSERT_EQ(geteuid() == 0 ? chown(other.c_str(), 65534, 65534) : chmod(other.c_str(), 0500), 0);

  const Variable tmpdir("TMPDIR", safe.string());
  for (const fs::path& unfit : {open, other}) {
    const Variable runtime("XDG_RUNTIME_DIR", unfit.string());
    const RunFolder run;
    EXPECT_EQ(ParentOf(run), safe) << unfit;
  }
  const Variable runtime("XDG_RUNTIME_DIR", sticky.string());
  const RunFolder run;
  EXPECT_EQ(ParentOf(run), sticky);
  EXPECT_EQ(fs::status(run.Path()).permissions(), fs::perms::owner_all);
}

TEST(RunFolder, IsNeverMadeInTheCurrentFolder) {
  const TempDir temp;
  const Variable runtime("XDG_RUNTIME_DIR", std::nullopt);
  const Variable tmpdir("TMPDIR", (temp.Path() / "missing").string());
  const fs::path current = fs::current_path();
  fs::current_path(temp.Path());
  {
    testing::internal::CaptureStderr();
    const RunFolder run;
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "anthora: the set file is unpacked in /tmp, not in $TMPDIR (" +
                  (temp.Path() / "missing").string() + "): No such file or directory\n");
    EXPECT_EQ(ParentOf(run), "/tmp");
  }
  fs::current_path(current);
  EXPECT_TRUE(fs::is_empty(temp.Path()));
}

// Nowhere fit, as for a system user whose home does not exist on a machine whose temporary
// folder is read-only: each place is tried once and named with why it was passed over. The
// system's temporary folder is made read-only in a mount namespace of the child's own.
TEST(RunFolder, NowhereToMakeItIsToldWithEveryPlaceTried) {
  const pid_t child = fork();
  if (child == 0) {
    if (unshare(CLONE_NEWNS) != 0 && unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) _exit(2);
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", "/tmp", "tmpfs", MS_RDONLY, nullptr) != 0)
      _exit(2);
    setenv("XDG_RUNTIME_DIR", "relative", 1);
    setenv("TMPDIR", "/nonexistent/tmp", 1);
    setenv("HOME", "/nonexistent", 1);
    unsetenv("XDG_CACHE_HOME");
    alarm(10);  // a search that never ends
    std::string path;
    std::string passedOver;
    try {
      OpenRunFolderParent(path, passedOver);
    } catch (const WriteError& error) {
      _exit(error.Reason() ==
                    "$XDG_RUNTIME_DIR (relative): it is not an absolute path; "
                    "$TMPDIR (/nonexistent/tmp): No such file or directory; "
                    "/tmp: Read-only file system; "
                    "/nonexistent/.cache/anthora: No such file or directory"
                ? 0
                : 1);
    }
    _exit(1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 2)
    GTEST_SKIP() << "no mount namespace to make the temporary folder read-only in";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// Packs a small set into the folder and returns the set file's path.
std::string PackedSet(const TempDir& temp) {
  temp.Write("set/ris/fen.ani", "0\r\n");
  temp.Write("set/ris/fru.ani", "0\r\n");
  const std::string file = (temp.Path() / "set.anthora").string();
  AtomicFile packed(file, false);
  PackSetFolder((temp.Path() / "set").string(), packed);
  packed.Commit();
  return file;
}

TEST(RunFolder, ASignalDuringTheUnpackingLeavesNothingAndEndsTheProgram) {
  const TempDir temp;
  const std::string file = PackedSet(temp);
  fs::create_directory(temp.Path() / "runtime");
  const Variable runtime("XDG_RUNTIME_DIR", (temp.Path() / "runtime").string());
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    const pid_t child = fork();
    if (child == 0) {
      try {
        const DeferredTermination signals;
        const RunFolder run;
        kill(getpid(), signal);
        UnpackSetFile(file, run.Get());
      } catch (const SetFileError&) {
      }
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_TRUE(fs::is_empty(temp.Path() / "runtime"));
  }
}

// A run folder swapped for a link meanwhile: the set is unpacked where it was made, nothing goes
// where the link leads, and only what the run made is removed.
TEST(RunFolder, IsUnpackedIntoThroughItsDescriptorAndRemovesOnlyWhatItMade) {
  const TempDir temp;
  const std::string file = PackedSet(temp);
  const std::string victim = temp.Write("victim/kept", "kept");
  const Variable runtime("XDG_RUNTIME_DIR", temp.Path().string());
  const fs::path moved = temp.Path() / "moved";
  {
    const RunFolder run;
    fs::rename(run.Path(), moved);
    fs::create_directory_symlink(temp.Path() / "victim", run.Path());
    UnpackSetFile(file, run.Get());
    EXPECT_TRUE(fs::is_regular_file(moved / "ris/fen.ani"));
  }
  EXPECT_EQ(fs::directory_iterator(temp.Path() / "victim")->path().filename(), "kept");
  EXPECT_TRUE(fs::is_empty(moved));
}

}  // namespace
}  // namespace anthora
