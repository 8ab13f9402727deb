#include "quiz/SetArchive.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/posix/DeferredTermination.h"
#include "runtime/base/Findings.h"
#include "runtime/files/FileHandle.h"

namespace anthora {

namespace {

[[noreturn]] void Refuse(const std::string& file, const std::string& reason) {
  throw SetFileError(file + ": " + reason);
}

bool IsCredits(std::string_view name) {
  return std::find(std::begin(kCreditsNames), std::end(kCreditsNames), name) !=
         std::end(kCreditsNames);
}

// Writes an entry's bytes to a new file, counting them against the size its header declares.
void Unpack(ZipArchive& archive, const ZipEntry& entry, const std::string& path,
            const std::string& file) {
  const std::string name = QuotedName(entry.Name);
  FileHandle output(
      open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600));
  if (!output) {
    if (errno == EEXIST) Refuse(file, name + " appears twice");
    Refuse(file, name + " cannot be written: " + std::strerror(errno));
  }
  archive.Read(entry, [&](std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
      const ssize_t wrote = write(output.Get(), bytes.data() + done, bytes.size() - done);
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote <= 0) Refuse(file, name + " cannot be written: " + std::strerror(errno));
      done += static_cast<std::size_t>(wrote);
    }
  });
  const int closed = close(output.Release());
  if (closed != 0) Refuse(file, name + " cannot be written: " + std::strerror(errno));
}

}  // namespace

bool IsSetFileName(std::string_view path) {
  const std::string_view name = path.substr(path.rfind('/') + 1);
  if (name.size() <= kSetFileExtension.size()) return false;
  const std::string_view extension = name.substr(name.size() - kSetFileExtension.size());
  return std::equal(extension.begin(), extension.end(), kSetFileExtension.begin(),
                    [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a + 0x20 : a) == b; });
}

std::string RefusedEntryName(std::string_view name) {
  if (const std::string refused = RefusedZipName(name); !refused.empty()) return refused;
  if (name.find('\\') != std::string_view::npos)
    return QuotedName(name) + " has a backslash in its name";
  if (name.substr(0, 4) != "ris/" && !IsCredits(name))
    return QuotedName(name) + " lies outside ris/";
  return {};
}

void UnpackSetFile(const std::string& file, const std::string& folder) {
  try {
    ZipArchive archive = ZipArchive::OpenFile(file, kMaxSetBytes);
    for (const ZipEntry& entry : archive.Entries()) {
      if (const std::string refused = RefusedEntryName(entry.Name); !refused.empty())
        Refuse(file, refused);
    }
    archive.CheckAll();
    for (const ZipEntry& entry : archive.Entries()) {
      if (DeferredTermination::Pending()) Refuse(file, "not unpacked: interrupted");
      const std::filesystem::path path = std::filesystem::path(folder) / entry.Name;
      std::error_code error;
      std::filesystem::create_directories(entry.Folder ? path : path.parent_path(), error);
      if (error) Refuse(file, QuotedName(entry.Name) + " cannot be unpacked: " + error.message());
      if (!entry.Folder) Unpack(archive, entry, path.string(), file);
    }
  } catch (const ZipError& error) {
    Refuse(file, error.what());
  }
}

}  // namespace anthora
