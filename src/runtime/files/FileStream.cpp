#include "runtime/files/FileStream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>

#include "runtime/base/Format.h"
#include "runtime/files/Files.h"
#include "runtime/files/SafeWrite.h"
#include "runtime/files/WholeFile.h"

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

}  // namespace

TFileStream::TFileStream(std::string_view fileName, Mode mode) {
  if (!IsPlainPath(fileName)) RaiseOpenError(fileName, mode, ENOENT);
  if (mode == Mode::OpenRead) {
    ErrorOr<FileHandle> opened = OpenForSharedReading(fileName);
    if (!opened)
      RaiseOpenError(fileName, mode, opened.Code() == kNotRegularFile ? EINVAL : opened.Code());
    FHandle = opened.Value().Release();
  } else {
    const std::string path(fileName);
    FHandle = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (FHandle < 0) RaiseOpenError(fileName, mode, errno);
  }
}

TFileStream::~TFileStream() {
  ::close(FHandle);
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
  return ReadFully(FHandle, buffer, count);
}

std::size_t TFileStream::Write(const void* buffer, std::size_t count) {
  return WriteAll(FHandle, {static_cast<const char*>(buffer), count}) ? count : 0;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                     : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                        : SEEK_END;
  const off_t position = lseek(FHandle, static_cast<off_t>(offset), whence);
  if (position < 0) throw EStreamError("Invalid stream position");
  return position;
}

// A memory stream's file loading and saving live here, above both kinds of stream.
void TMemoryStream::LoadFromFile(std::string_view fileName) {
  TFileStream file(fileName, TFileStream::Mode::OpenRead);
  LoadFromStream(file);
}

void TMemoryStream::SaveToFile(std::string_view fileName) const {
  TFileStream file(fileName, TFileStream::Mode::Create);
  SaveToStream(file);
}

}  // namespace anthora
