// Writing a folder of files or one file as one transaction: private while filled, never through
// a planted link, never over anything unless asked, undone on a signal, and cleared after a
// crash.
#include <fcntl.h>
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

#include "runtime/files/SafeWrite.h"
#include "support/Child.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

namespace fs = std::filesystem;
using test::InChild;
using test::TempDir;

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

unsigned Mode(const fs::path& path) {
  struct stat status {};
  lstat(path.c_str(), &status);
  return status.st_mode & 07777;
}

// What a folder write came to: empty when it put the folder in place without a warning, else
// the reason it failed or the warning.
std::string Outcome(const FolderWrite& request) {
  try {
    const std::vector<std::string> warnings = WriteFolder(request, kFiles);
    return warnings.empty() ? "" : "warning: " + warnings.front();
  } catch (const WriteError& error) {
    return error.Reason();
  }
}

void Write(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

// The private folder a write is filling, found beside its destination.
fs::path FreshFolder(const fs::path& parent) {
  for (const std::string& name : Names(parent))
    if (name.starts_with(".ris-new-")) return parent / name;
  return {};
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
  EXPECT_EQ(Outcome(request), "");
  EXPECT_TRUE(checked);
  EXPECT_EQ(Mode(temp.Path() / "out/ris"), 0777u);
  EXPECT_EQ(Mode(temp.Path() / "out/ris/a.jpg"), 0666u);
  EXPECT_EQ(test::ReadFile(temp.Path() / "out/ris/fen.ani"), "new set");
  EXPECT_EQ(Names(temp.Path() / "out"), std::set<std::string>{"ris"});

  // A link planted in the private folder is never written through: the write fails whole.
  const std::string victim = temp.Write("victim", "precious");
  request = Request(temp.Path() / "second/out");
  request.AfterFile = [&](std::size_t) {
    fs::create_symlink(victim, FreshFolder(temp.Path() / "second/out") / "a.jpg");
  };
  EXPECT_TRUE(Outcome(request).starts_with("cannot be written: a.jpg: "));
  EXPECT_EQ(test::ReadFile(victim), "precious");
  EXPECT_FALSE(fs::exists(temp.Path() / "second")) << "the folders made for it stay";
  umask(mask);
}

TEST(FolderWrite, ReplacesOnlyASetFolderAndKeepsWhatItDidNotWrite) {
  const TempDir temp;
  const fs::path out = temp.Path();

  // A folder that appears while the files are written is not replaced without leave.
  FolderWrite request = Request(out);
  request.AfterFile = [&](std::size_t) { fs::create_directories(out / "ris/mine"); };
  try {
    WriteFolder(request, kFiles);
    ADD_FAILURE() << "written over a folder that appeared";
  } catch (const WriteError& error) {
    EXPECT_EQ(error.what(), (out / "ris").string() + ": already exists; add --force to replace it");
    EXPECT_TRUE(error.Exists());
  }
  EXPECT_EQ(Names(out), std::set<std::string>{"ris"});
  EXPECT_THROW(CheckFolderWrite(Request(out, true)), WriteError) << "it holds no set";

  // With leave, the set files give way and everything else stays.
  temp.Write("ris/fen.ani", "old set");
  temp.Write("ris/old.jpg", "old picture");
  temp.Write("ris/CREDITS.md", "photos by");
  temp.Write("ris/originals/a.jpg", "original");
  EXPECT_NO_THROW(CheckFolderWrite(Request(out, true)));
  EXPECT_EQ(Outcome(Request(out, true)), "");
  EXPECT_EQ(Names(out), std::set<std::string>{"ris"});
  EXPECT_EQ(Names(out / "ris"), (std::set<std::string>{"fen.ani", "a.jpg", "b.jpg", "CREDITS.md",
                                                       "originals", "mine"}));
  EXPECT_EQ(test::ReadFile(out / "ris/fen.ani"), "new set");
  EXPECT_EQ(test::ReadFile(out / "ris/originals/a.jpg"), "original");

  // A plain file, or a folder without a set, is never replaced.
  fs::remove_all(out / "ris");
  temp.Write("ris", "a file");
  EXPECT_EQ(Outcome(Request(out, true)), "is not a folder, and only a folder is replaced");
  EXPECT_EQ(test::ReadFile(out / "ris"), "a file");
  EXPECT_EQ(Names(out), std::set<std::string>{"ris"});

  // An old set whose files cannot be removed stays whole, and nothing new is written.
  fs::remove(out / "ris");
  fs::permissions(out, fs::perms::all);
  const bool asOther = geteuid() == 0;
  EXPECT_EQ(InChild(
                [&] {
                  fs::create_directories(out / "ris");
                  std::ofstream(out / "ris/fen.ani") << "old set";
                  fs::permissions(out / "ris", fs::perms::owner_read | fs::perms::owner_exec);
                  return Outcome(Request(out, true)).starts_with("cannot be replaced");
                },
                asOther),
            0);
  EXPECT_EQ(Names(out), std::set<std::string>{"ris"});
  EXPECT_EQ(test::ReadFile(out / "ris/fen.ani"), "old set");
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
          Outcome(request);
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
    _exit(Outcome(request).empty() ? 0 : 1);
  }
  close(started[1]);
  char byte = 0;
  ASSERT_EQ(read(started[0], &byte, 1), 1);
  const fs::path running_fresh = FreshFolder(out);

  EXPECT_EQ(Outcome(Request(out)), "");
  EXPECT_TRUE(fs::exists(running_fresh / "fen.ani")) << "a running write was disturbed";

  // Killed at once; a write killed just after its swap left the old set with a kept file.
  kill(running, SIGKILL);
  waitpid(running, nullptr, 0);
  temp.Write(".ris-new-abcdef/fen.ani", "old set");
  temp.Write(".ris-new-abcdef/CREDITS.md", "photos by");
  EXPECT_EQ(Outcome(Request(out, true)), "");
  EXPECT_EQ(Names(out), std::set<std::string>{"ris"});
  EXPECT_EQ(test::ReadFile(out / "ris/CREDITS.md"), "photos by");
  close(started[0]);
  close(resume[0]);
  close(resume[1]);
}

// The body run in a child process, what it throws caught, as a write whose caller goes on.
int Caught(const std::function<void()>& body) {
  return InChild(
      [&] {
        try {
          body();
        } catch (const WriteError&) {
        }
        return true;
      },
      false);
}

TEST(AtomicFile, ASignalStopsTheWorkAndPutsNothingNewInPlace) {
  const TempDir temp;
  const fs::path old = temp.Path() / "old.anthora";
  Write(old, "old");
  const std::function<void(const fs::path&)> works[] = {
      [](const fs::path& path) {  // a writer that goes on after the signal
        WriteFileAtomically(path, true, [](std::FILE* file) {
          std::fputs("begun", file);
          kill(getpid(), SIGTERM);
          for (int i = 0; i < 100'000; ++i) std::fputs("more bytes ", file);
          return true;
        });
      },
      [](const fs::path& path) {  // the file made, the signal just before it goes in place
        AtomicFile file(path, true);
        Write(file.Made(), "new");
        kill(getpid(), SIGHUP);
        file.Commit();
      }};
  for (const auto& work : works) {
    for (const fs::path& path : {old, temp.Path() / "new.anthora"}) {
      const int status = Caught([&] { work(path); });
      EXPECT_TRUE(WIFSIGNALED(status)) << path << " " << status;
    }
    EXPECT_EQ(test::ReadFile(old), "old");
    EXPECT_EQ(Names(temp.Path()), (std::set<std::string>{"old.anthora"}));
  }
}

TEST(AtomicFile, ASignalTheProgramWasStartedIgnoringChangesNothing) {
  const TempDir temp;
  const fs::path path = temp.Path() / "new.anthora";
  const int status = Caught([&] {
    signal(SIGINT, SIG_IGN);  // as a shell leaves it for a job in the background
    WriteFileAtomically(path, false, [](std::FILE* file) {
      kill(getpid(), SIGINT);
      return std::fputs("whole", file) >= 0;
    });
  });
  EXPECT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(test::ReadFile(path), "whole");
}

TEST(AtomicFile, PutsAWholeFileInPlaceAndNeverReplacesUnlessAllowed) {
  const TempDir dir;
  const std::string path = dir.Path().string() + "/sheet.png";
  const auto writing = [](const char* text) {
    return [text](std::FILE* file) { return std::fputs(text, file) >= 0; };
  };
  WriteFileAtomically(path, false, writing("one"));
  try {
    WriteFileAtomically(path, false, writing("two"));
    ADD_FAILURE() << "replaced without leave";
  } catch (const WriteError& error) {
    EXPECT_TRUE(error.Exists());
  }
  EXPECT_EQ(test::ReadFile(path), "one");
  EXPECT_THROW(WriteFileAtomically(path, true, [](std::FILE*) { return false; }), WriteError);
  EXPECT_EQ(test::ReadFile(path), "one");
  WriteFileAtomically(path, true, writing("three"));
  EXPECT_EQ(test::ReadFile(path), "three");
  // Nothing but the file itself is left in the folder.
  EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"sheet.png"});
}

// A file may be replaced only when the caller's check lets it: asked before the work, and again
// about what the commit swapped out, so that a file put in the way meanwhile goes back.
TEST(AtomicFile, ReplacesOnlyWhatItsCheckLets) {
  const TempDir dir;
  const std::string path = dir.Path().string() + "/roses.anthora";
  const auto onlyOurs = [](const std::string& file) {
    return test::ReadFile(file) == "ours" ? std::string() : std::string("is not ours");
  };
  const auto write = [&](AtomicFile& file, const char* text) {
    ASSERT_TRUE(WriteAll(file.Create().Get(), text));
  };
  Write(path, "notes");
  EXPECT_THROW(AtomicFile(path, true, onlyOurs), WriteError);
  EXPECT_EQ(test::ReadFile(path), "notes");

  Write(path, "ours");
  {
    AtomicFile file(path, true, onlyOurs);
    write(file, "new");
    file.Commit();
  }
  EXPECT_EQ(test::ReadFile(path), "new");

  Write(path, "ours");
  AtomicFile file(path, true, onlyOurs);
  write(file, "newer");
  Write(path, "notes");  // put in the way while the file was made
  try {
    file.Commit();
    ADD_FAILURE() << "replaced what the check refuses";
  } catch (const WriteError& error) {
    EXPECT_EQ(error.Reason(), "is not ours");
  }
  EXPECT_EQ(test::ReadFile(path), "notes");
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
      } catch (const WriteError& error) {
        EXPECT_TRUE(std::string(error.what()).starts_with(path.string() + ": ")) << error.what();
      }
    }
  }
  EXPECT_TRUE(fs::is_fifo(pipe));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(test::ReadFile(target), "kept");

  // A killed write's folder is cleared; a running write's is locked and kept.
  const fs::path dead = temp.Path() / ".target.png-part-dead00";
  const fs::path running = temp.Path() / ".target.png-part-alive0";
  fs::create_directories(dead / "inner");
  Write(dead / "file", "half");
  fs::create_directory(running);
  const int lock = open(running.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(flock(lock, LOCK_EX), 0);
  // The lock belongs to another process, as a running write's does.
  const int status = InChild(
      [&] {
        WriteFileAtomically(target.string(), true,
                            [](std::FILE* file) { return std::fputs("new", file) >= 0; });
        return true;
      },
      false);
  close(lock);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(test::ReadFile(target), "new");
  EXPECT_FALSE(fs::exists(dead));
  EXPECT_TRUE(fs::exists(running));
}

// A private folder goes with everything it holds, but only if it is still where it was made:
// what took its place is someone else's.
TEST(PrivateFolder, RemovesOnlyWhatItMade) {
  const TempDir temp;
  const int parent = open(temp.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  {
    PrivateFolder folder(parent, "run-", temp.Path().string());
    EXPECT_EQ(Mode(folder.Path()), 0700u);
    Write(fs::path(folder.Path()) / "file", "ours");
    fs::rename(folder.Path(), temp.Path() / "moved");
    fs::create_directory(folder.Path());
    Write(fs::path(folder.Path()) / "theirs", "kept");
  }
  EXPECT_EQ(Names(temp.Path() / "moved"), std::set<std::string>{});
  EXPECT_EQ(Names(temp.Path()).size(), 2u);
  close(parent);
}

}  // namespace
}  // namespace anthora
