// Writing a folder of files as one transaction: private while filled, never through a planted
// link, never over anything unless asked, undone on a signal, and cleared after a crash.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "authoring/FolderWrite.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

constexpr uid_t kOtherUser = 65534;

bool IsSetFile(std::string_view name) {
  return name == "fen.ani" || name.ends_with(".jpg");
}

FolderWrite Request(const fs::path& parent, bool replace = false) {
  return {parent.string(), "ris", replace, {"fen.ani"}, IsSetFile, {}};
}

const NamedFiles kFiles = {{"fen.ani", "new set"}, {"a.jpg", "A"}, {"b.jpg", "B"}};

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error))
    names.insert(entry.path().filename().string());
  return names;
}

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

unsigned Mode(const fs::path& path) {
  struct stat status {};
  lstat(path.c_str(), &status);
  return status.st_mode & 07777;
}

// The private folder a write is filling, found beside its destination.
fs::path FreshFolder(const fs::path& parent) {
  for (const std::string& name : Names(parent))
    if (name.starts_with(".ris-new-")) return parent / name;
  return {};
}

// Runs the body in a child process, as another user when this one is root; its exit status.
int InChild(const std::function<bool()>& body, bool asOtherUser) {
  const pid_t child = fork();
  if (child == 0) {
    if (asOtherUser && (setgid(kOtherUser) != 0 || setuid(kOtherUser) != 0)) _exit(3);
    _exit(body() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return status;
}

TEST(FolderWrite, FillsAPrivateFolderWithFreshFilesAndGivesTheUsualModesAtTheEnd) {
  const TempDir temp;
  const mode_t mask = umask(0);
  FolderWrite request = Request(temp.Path() / "out");
  bool checked = false;
  request.AfterFile = [&](std::size_t written) {
    if (written != 1) return;
    const fs::path fresh = FreshFolder(temp.Path() / "out");
    EXPECT_EQ(Mode(fresh), 0700u);
    EXPECT_EQ(Mode(fresh / "fen.ani"), 0600u);
    // Another user cannot plant a link where the next file goes.
    if (geteuid() == 0) {
      EXPECT_EQ(
          InChild([&] { return symlink("/etc/passwd", (fresh / "a.jpg").c_str()) != 0; }, true), 0);
    }
    checked = true;
  };
  Findings findings;
  EXPECT_TRUE(WriteFolder(request, kFiles, findings));
  EXPECT_TRUE(checked);
  EXPECT_EQ(Mode(temp.Path() / "out/ris"), 0777u);
  EXPECT_EQ(Mode(temp.Path() / "out/ris/a.jpg"), 0666u);
  EXPECT_EQ(Read(temp.Path() / "out/ris/fen.ani"), "new set");
  EXPECT_EQ(Names(temp.Path() / "out"), std::set<std::string>{"ris"});

  // A link planted in the private folder is never written through: the write fails whole.
  const std::string victim = temp.Write("victim", "precious");
  request = Request(temp.Path() / "second/out");
  request.AfterFile = [&](std::size_t) {
    fs::create_symlink(victim, FreshFolder(temp.Path() / "second/out") / "a.jpg");
  };
  EXPECT_FALSE(WriteFolder(request, kFiles, findings));
  EXPECT_EQ(Read(victim), "precious");
  EXPECT_FALSE(fs::exists(temp.Path() / "second")) << "the folders made for it stay";
  umask(mask);
}

TEST(FolderWrite, ReplacesOnlyASetFolderAndKeepsWhatItDidNotWrite) {
  const TempDir temp;
  const fs::path out = temp.Path();
  Findings findings;

  // A folder that appears while the files are written is not replaced without leave.
  FolderWrite request = Request(out);
  request.AfterFile = [&](std::size_t) { fs::create_directories(out / "ris/mine"); };
  EXPECT_FALSE(WriteFolder(request, kFiles, findings));
  ASSERT_EQ(findings.All.size(), 1u);
  EXPECT_EQ(findings.All[0].Format(),
            (out / "ris").string() + ": error: already exists; add --force to replace it");
  EXPECT_EQ(Names(out), std::set<std::string>{"ris"});
  EXPECT_FALSE(CanWriteFolder(Request(out, true), findings)) << "it holds no set";

  // With leave, the set files give way and everything else stays.
  temp.Write("ris/fen.ani", "old set");
  temp.Write("ris/old.jpg", "old picture");
  temp.Write("ris/CREDITS.md", "photos by");
  temp.Write("ris/originals/a.jpg", "original");
  EXPECT_TRUE(CanWriteFolder(Request(out, true), findings));
  EXPECT_TRUE(WriteFolder(Request(out, true), kFiles, findings));
  EXPECT_EQ(Names(out), std::set<std::string>{"ris"});
  EXPECT_EQ(Names(out / "ris"), (std::set<std::string>{"fen.ani", "a.jpg", "b.jpg", "CREDITS.md",
                                                       "originals", "mine"}));
  EXPECT_EQ(Read(out / "ris/fen.ani"), "new set");
  EXPECT_EQ(Read(out / "ris/originals/a.jpg"), "original");

  // A plain file, or a folder without a set, is never replaced.
  fs::remove_all(out / "ris");
  temp.Write("ris", "a file");
  findings = {};
  EXPECT_FALSE(WriteFolder(Request(out, true), kFiles, findings));
  ASSERT_EQ(findings.All.size(), 1u);
  EXPECT_EQ(findings.All[0].Text, "is not a folder, and only a folder is replaced");
  EXPECT_EQ(Read(out / "ris"), "a file");
  EXPECT_EQ(Names(out), std::set<std::string>{"ris"});

  // An old set whose files cannot be removed stays whole, and nothing new is written.
  fs::remove(out / "ris");
  fs::permissions(out, fs::perms::all);
  const bool asOther = geteuid() == 0;
  EXPECT_EQ(InChild(
                [&] {
                  Findings refused;
                  fs::create_directories(out / "ris");
                  std::ofstream(out / "ris/fen.ani") << "old set";
                  fs::permissions(out / "ris", fs::perms::owner_read | fs::perms::owner_exec);
                  return !WriteFolder(Request(out, true), kFiles, refused) &&
                         refused.All.at(0).Text.starts_with("cannot be replaced");
                },
                asOther),
            0);
  EXPECT_EQ(Names(out), std::set<std::string>{"ris"});
  EXPECT_EQ(Read(out / "ris/fen.ani"), "old set");
  fs::permissions(out / "ris", fs::perms::owner_all);
}

TEST(FolderWrite, ASignalDuringTheWriteUndoesItAndEndsTheProgram) {
  for (const int signal : {SIGINT, SIGTERM}) {
    const TempDir temp;
    FolderWrite request = Request(temp.Path() / "made/deeper");
    request.AfterFile = [signal](std::size_t written) {
      if (written == 2) kill(getpid(), signal);
    };
    const int status = InChild(
        [&] {
          Findings findings;
          WriteFolder(request, kFiles, findings);
          return false;
        },
        false);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_EQ(Names(temp.Path()), std::set<std::string>{});
  }
}

TEST(FolderWrite, ClearsWhatAKilledWriteLeftButNotAWriteThatRuns) {
  const TempDir temp;
  const fs::path out = temp.Path();
  int started[2];
  int resume[2];
  ASSERT_EQ(pipe(started), 0);
  ASSERT_EQ(pipe(resume), 0);
  const pid_t running = fork();
  if (running == 0) {
    FolderWrite request = Request(out);
    request.AfterFile = [&](std::size_t) {
      char byte = 1;
      if (write(started[1], &byte, 1) != 1 || read(resume[0], &byte, 1) != 1) _exit(2);
    };
    Findings findings;
    _exit(WriteFolder(request, kFiles, findings) ? 0 : 1);
  }
  close(started[1]);
  char byte = 0;
  ASSERT_EQ(read(started[0], &byte, 1), 1);
  const fs::path running_fresh = FreshFolder(out);

  Findings findings;
  EXPECT_TRUE(WriteFolder(Request(out), kFiles, findings));
  EXPECT_TRUE(fs::exists(running_fresh / "fen.ani")) << "a running write was disturbed";

  // Killed at once; a write killed just after its swap left the old set with a kept file.
  kill(running, SIGKILL);
  waitpid(running, nullptr, 0);
  temp.Write(".ris-new-abcdef/fen.ani", "old set");
  temp.Write(".ris-new-abcdef/CREDITS.md", "photos by");
  EXPECT_TRUE(WriteFolder(Request(out, true), kFiles, findings));
  EXPECT_EQ(Names(out), std::set<std::string>{"ris"});
  EXPECT_EQ(Read(out / "ris/CREDITS.md"), "photos by");
  EXPECT_TRUE(findings.All.empty());
  close(started[0]);
  close(resume[0]);
  close(resume[1]);
}

}  // namespace
}  // namespace anthora
