#include "quiz/SetArchive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/posix/DeferredTermination.h"
#include "quiz/SetFile.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Findings.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "runtime/files/FileHandle.h"
#include "runtime/files/SafeWrite.h"

namespace anthora {

namespace {

bool IsCredits(std::string_view name) {
  return std::find(std::begin(kCreditsNames), std::end(kCreditsNames), name) !=
         std::end(kCreditsNames);
}

// Writes an entry's bytes to a new file in the open folder, counting them against the size its
// header declares.
void Unpack(ZipArchive& archive, const ZipEntry& entry, int folder, const std::string& fileName,
            const std::string& file) {
  const std::string name = QuotedName(entry.Name);
  FileHandle output(openat(folder, fileName.c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600));
  if (!output) {
    if (errno == EEXIST) throw SetFileError(file, Format(Tr("%s appears twice"), {name}));
    throw SetFileError(file,
                       Format(Tr("%1$s cannot be written: %2$s"), {name, std::strerror(errno)}));
  }
  archive.Read(entry, [&](std::string_view bytes) {
    if (!WriteAll(output.Get(), bytes))
      throw SetFileError(file,
                         Format(Tr("%1$s cannot be written: %2$s"), {name, std::strerror(errno)}));
  });
  const int closed = close(output.Release());
  if (closed != 0)
    throw SetFileError(file,
                       Format(Tr("%1$s cannot be written: %2$s"), {name, std::strerror(errno)}));
}

// The folder an entry goes in, made where missing, each step relative to the one above and
// never through a link; with the name of the entry's file in it, empty for a folder.
FileHandle EntryFolder(int top, const ZipEntry& entry, std::string& fileName,
                       const std::string& file) {
  FileHandle folder(fcntl(top, F_DUPFD_CLOEXEC, 0));
  std::string_view rest = entry.Name;
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string part(rest.substr(0, slash));
    if (slash == std::string_view::npos) {
      fileName = part;
      break;
    }
    rest.remove_prefix(slash + 1);
    if (mkdirat(folder.Get(), part.c_str(), 0700) != 0 && errno != EEXIST)
      throw SetFileError(file, Format(Tr("%1$s cannot be unpacked: %2$s"),
                                      {QuotedName(entry.Name), std::strerror(errno)}));
    folder = OpenFolder(folder.Get(), part);
    if (!folder)
      throw SetFileError(file, Format(Tr("%1$s cannot be unpacked: %2$s"),
                                      {QuotedName(entry.Name), std::strerror(errno)}));
  }
  return folder;
}

}  // namespace

bool IsSetFileName(std::string_view path) {
  const std::string_view name = path.substr(path.rfind('/') + 1);
  if (name.size() <= kSetFileExtension.size()) return false;
  const std::string_view extension = name.substr(name.size() - kSetFileExtension.size());
  return SameIgnoringAsciiCase(extension, kSetFileExtension);
}

std::string RefusedEntryName(std::string_view name) {
  if (const std::string refused = RefusedZipName(name); !refused.empty()) return refused;
  if (name.find('\\') != std::string_view::npos)
    return Format(Tr("%s has a backslash in its name"), {QuotedName(name)});
  if (!(name.starts_with(kSetFolderName) && name.substr(kSetFolderName.size(), 1) == "/") &&
      !IsCredits(name))
    return Format(Tr("%s lies outside ris/"), {QuotedName(name)});
  return {};
}

void UnpackSetFile(const std::string& file, int folder) {
  try {
    ZipArchive archive = ZipArchive::OpenFile(file, kMaxSetBytes);
    for (const ZipEntry& entry : archive.Entries()) {
      if (const std::string refused = RefusedEntryName(entry.Name); !refused.empty())
        throw SetFileError(file, refused);
    }
    archive.CheckAll();
    for (const ZipEntry& entry : archive.Entries()) {
      if (DeferredTermination::Pending()) throw SetFileError(file, Tr("not unpacked: interrupted"));
      std::string fileName;
      const FileHandle into = EntryFolder(folder, entry, fileName, file);
      if (!entry.Folder) Unpack(archive, entry, into.Get(), fileName, file);
    }
  } catch (const ZipIncomplete&) {
    throw SetFileError(file, Tr("the file is incomplete: download it again"));
  } catch (const ZipError& error) {
    throw SetFileError(file, error.what());
  }
}

}  // namespace anthora
