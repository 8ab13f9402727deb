#include "runtime/files/WholeFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "runtime/files/FileHandle.h"
#include "runtime/files/Files.h"

namespace anthora {

std::size_t ReadFully(int descriptor, void* buffer, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(descriptor, static_cast<char*>(buffer) + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

FileBytes ReadWholeFile(const std::string& path, std::uintmax_t limit) {
  int error = 0;
  const FileHandle handle(OpenForSharedReading(path, error));
  if (!handle)
    throw FileReadError(Format(Tr("cannot be read: %s"),
                               {error == kNotRegularFile ? Tr("it is not a regular file")
                                : error == EISDIR        ? Tr("it is a folder, not a regular file")
                                : error == EWOULDBLOCK   ? Tr("it is being written")
                                                         : std::strerror(error)}));
  struct stat status {};
  if (fstat(handle.Get(), &status) != 0)
    throw FileReadError(Format(Tr("cannot be read: %s"), {std::strerror(errno)}));
  if (static_cast<std::uintmax_t>(status.st_size) > limit)
    throw FileReadError(Format(Tr("is larger than %d MB"), {limit >> 20}));
  FileBytes bytes;
  bytes.Size = static_cast<std::size_t>(status.st_size);
  bytes.Data = std::make_unique_for_overwrite<char[]>(bytes.Size);
  if (ReadFully(handle.Get(), bytes.Data.get(), bytes.Size) < bytes.Size)
    throw FileReadError(Tr("cannot be read: it changed while it was read"));
  return bytes;
}

}  // namespace anthora
