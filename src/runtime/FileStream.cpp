#include "runtime/FileStream.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>

#include "runtime/Format.h"

namespace anthora {

namespace {

std::string FullPath(std::string_view fileName) {
  std::error_code ignored;
  const auto path = std::filesystem::absolute(std::filesystem::path(fileName), ignored);
  return path.empty() ? std::string(fileName) : path.lexically_normal().string();
}

[[noreturn]] void RaiseOpenError(std::string_view fileName, TFileStream::Mode mode, int error) {
  const char* pattern = mode == TFileStream::Mode::OpenRead ? "Cannot open file \"%s\". %s"
                                                            : "Cannot create file \"%s\". %s";
  throw EFOpenError(Format(pattern, {FullPath(fileName), std::strerror(error)}));
}

// The reason a read-only open cannot go on, or 0. Only regular files are read; a shared
// lock lets other readers in and keeps cooperating writers out.
int CheckReadable(int handle) {
  struct stat status {};
  if (fstat(handle, &status) != 0) return errno;
  if (S_ISDIR(status.st_mode)) return EISDIR;
  if (!S_ISREG(status.st_mode)) return EINVAL;
  if (flock(handle, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) return EWOULDBLOCK;
  return 0;
}

}  // namespace

TFileStream::TFileStream(std::string_view fileName, Mode mode) {
  if (fileName.empty() || fileName.find('\0') != std::string_view::npos) {
    RaiseOpenError(fileName, mode, ENOENT);
  }
  const std::string path(fileName);
  if (mode == Mode::OpenRead) {
    // Non-blocking, so that a named pipe cannot hang the open.
    FHandle = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (FHandle < 0) RaiseOpenError(fileName, mode, errno);
    if (const int error = CheckReadable(FHandle)) {
      ::close(FHandle);
      RaiseOpenError(fileName, mode, error);
    }
    fcntl(FHandle, F_SETFL, fcntl(FHandle, F_GETFL) & ~O_NONBLOCK);
  } else {
    FHandle = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (FHandle < 0) RaiseOpenError(fileName, mode, errno);
  }
}

TFileStream::~TFileStream() {
  ::close(FHandle);
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(FHandle, static_cast<char*>(buffer) + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

std::size_t TFileStream::Write(const void* buffer, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t put = ::write(FHandle, static_cast<const char*>(buffer) + done, count - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) break;
    done += static_cast<std::size_t>(put);
  }
  return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                     : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                        : SEEK_END;
  const off_t position = lseek(FHandle, static_cast<off_t>(offset), whence);
  if (position < 0) throw EStreamError("Invalid stream position");
  return position;
}

}  // namespace anthora
