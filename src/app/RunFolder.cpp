#include "app/RunFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace anthora {

namespace {

// A run folder is named anthora-set-PID-XXXXXX and holds the file "lock", which its run keeps
// locked. The lock is made under another name and renamed once it is held, so a lock file that
// can be taken always belongs to a run that has ended; a folder still without one belongs to
// a run that ended if its process is gone.
constexpr char kPrefix[] = "anthora-set-";
constexpr char kLockName[] = "lock";

std::string Prefix() {
  return kPrefix + std::to_string(getpid()) + '-';
}

// The process id in a run folder's name, or 0 when the name is not one.
pid_t RunOf(const std::string& name) {
  if (name.rfind(kPrefix, 0) != 0) return 0;
  const std::size_t digits = sizeof kPrefix - 1;
  const std::size_t dash = name.find('-', digits);
  if (dash == std::string::npos || dash == digits || name.size() != dash + 7) return 0;
  pid_t pid = 0;
  for (std::size_t i = digits; i < dash; ++i) {
    if (name[i] < '0' || name[i] > '9' || pid > 10'000'000) return 0;
    pid = pid * 10 + (name[i] - '0');
  }
  return pid;
}

bool Abandoned(const std::string& folder, pid_t pid) {
  const int lock = open((folder + '/' + kLockName).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (lock < 0) return errno == ENOENT && kill(pid, 0) != 0 && errno == ESRCH;
  const bool free = flock(lock, LOCK_EX | LOCK_NB) == 0;
  close(lock);  // a run that has ended does not come back for it
  return free;
}

// The run folder of this process while it lives, for the exit hook: a program that ends
// through exit() (as a lost display connection makes it) does not unwind to its destructor.
const RunFolder* gLive = nullptr;
pid_t gLiveOwner = 0;

void RemoveLiveRunFolder() {
  if (gLive != nullptr && getpid() == gLiveOwner) RemoveTree(gLive->Path());  // not a child's
}

}  // namespace

std::string RunFolderParent() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::error_code error;
  if (runtime != nullptr && runtime[0] == '/' && std::filesystem::is_directory(runtime, error))
    return runtime;
  return std::filesystem::temp_directory_path(error).string();
}

void RemoveAbandonedRunFolders(const std::string& parent) {
  DIR* folder = opendir(parent.c_str());
  if (folder == nullptr) return;
  while (const dirent* entry = readdir(folder)) {
    const std::string name = entry->d_name;
    const pid_t pid = RunOf(name);
    const std::string path = parent + '/' + name;
    struct stat status {};
    if (pid == 0 || lstat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != geteuid())
      continue;
    if (Abandoned(path, pid)) RemoveTree(path);
  }
  closedir(folder);
}

RunFolder::RunFolder() : FFolder(RunFolderParent(), Prefix()) {
  const std::string making = FFolder / "lock-new";
  FLock = open(making.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (FLock >= 0 && flock(FLock, LOCK_EX) == 0 &&
      rename(making.c_str(), (FFolder / kLockName).c_str()) == 0) {
    static const bool hooked = std::atexit(RemoveLiveRunFolder) == 0;
    (void)hooked;
    gLive = this;
    gLiveOwner = getpid();
    return;
  }
  const int error = errno;
  if (FLock >= 0) close(FLock);
  throw std::system_error(error, std::generic_category(), FFolder.Path());
}

RunFolder::~RunFolder() {
  if (gLive == this) gLive = nullptr;
  RemoveTree(FFolder.Path());
  if (FLock >= 0) close(FLock);
}

}  // namespace anthora
