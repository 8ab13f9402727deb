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
  const ErrorOr<FileHandle> handle = OpenForSharedReading(path);
  if (!handle)
    throw FileReadError(Format(Tr("cannot be read: %s"),
                               {handle.Code() == kNotRegularFile ? Tr("it is not a regular file")
                                : handle.Code() == EISDIR ? Tr("it is a folder, not a regular file")
                                : handle.Code() == EWOULDBLOCK ? Tr("it is being written")
                                                               : handle.Error().Reason()}));
  const ErrorOr<struct stat> status = sys::Stat(handle.Value().Get());
  if (!status) throw FileReadError(Format(Tr("cannot be read: %s"), {status.Error().Reason()}));
  if (static_cast<std::uintmax_t>(status.Value().st_size) > limit)
    throw FileReadError(Format(Tr("is larger than %d MB"), {limit >> 20}));
  FileBytes bytes;
  bytes.Size = static_cast<std::size_t>(status.Value().st_size);
  bytes.Data = std::make_unique_for_overwrite<char[]>(bytes.Size);
  if (ReadFully(handle.Value().Get(), bytes.Data.get(), bytes.Size) < bytes.Size)
    throw FileReadError(Tr("cannot be read: it changed while it was read"));
  return bytes;
}

}  // namespace anthora
