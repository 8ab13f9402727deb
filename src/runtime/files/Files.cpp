#include "runtime/files/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <string>

#include "platform/Utf8.h"
#include "runtime/base/Composition.h"
#include "runtime/base/Cp1251.h"

namespace anthora {

bool IsPlainPath(std::string_view path) {
  return !path.empty() && path.find('\0') == std::string_view::npos;
}

bool IsWithin(const std::filesystem::path& inner, const std::filesystem::path& outer) {
  const std::filesystem::path inside = inner.lexically_relative(outer);
  return !inside.empty() && *inside.begin() != "..";
}

bool IsPhotoName(std::string_view name) {
  const std::string lower = AsciiLower(name);
  return std::any_of(std::begin(kPhotoExtensions), std::end(kPhotoExtensions),
                     [&](std::string_view extension) { return lower.ends_with(extension); });
}

bool FileExists(std::string_view path) {
  if (!IsPlainPath(path)) return false;
  struct stat status {};
  return stat(std::string(path).c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

namespace {

// A name with letter case folded away and its accents composed with their letters, so that a
// name stored decomposed matches the same name typed. A name that is not well-formed UTF-8
// folds only its ASCII letters, so that two different malformed names never fold alike.
std::u32string FoldedName(std::string_view name) {
  std::u32string folded = DecodeUtf8(name);
  if (folded.find(U'\uFFFD') != std::u32string::npos &&
      name.find("\xEF\xBF\xBD") == std::string_view::npos) {
    folded.assign(name.begin(), name.end());
    for (char32_t& c : folded) c = static_cast<unsigned char>(c);
  } else {
    folded = Composed(folded);
  }
  for (char32_t& c : folded) c = cp1251::ToLower(c);
  return folded;
}

}  // namespace

std::string FindFileIgnoringCase(std::string_view path) {
  std::vector<std::string> found = FindFilesIgnoringCase(path);
  return found.empty() ? std::string() : std::move(found.front());
}

std::vector<std::string> FindFilesIgnoringCase(std::string_view path) {
  if (!IsPlainPath(path)) return {};
  if (FileExists(path)) return {std::string(path)};
  const std::size_t name = path.rfind('/') + 1;
  return CaseBlindFolder(std::string(path.substr(0, name))).FindAll(path.substr(name));
}

CaseBlindFolder::CaseBlindFolder(std::string folder) : FFolder(std::move(folder)) {
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(
      opendir(FFolder.empty() ? "." : FFolder.c_str()), closedir);
  if (!listing) return;
  while (const dirent* entry = readdir(listing.get()))
    FNames[FoldedName(entry->d_name)].emplace_back(entry->d_name);
  for (auto& [folded, names] : FNames) std::sort(names.begin(), names.end());
}

// The least name in byte order that is a file, so that the choice does not depend on the
// folder's order.
std::string CaseBlindFolder::Find(std::string_view name) const {
  std::vector<std::string> found = FindAll(name);
  return found.empty() ? std::string() : std::move(found.front());
}

std::vector<std::string> CaseBlindFolder::FindAll(std::string_view name) const {
  std::string path = FFolder;
  path += name;
  if (FileExists(path)) return {path};
  if (!IsPlainPath(path)) return {};
  const auto match = FNames.find(FoldedName(name));
  std::vector<std::string> found;
  for (const std::string& candidate :
       match == FNames.end() ? std::vector<std::string>() : match->second) {
    path.replace(FFolder.size(), std::string::npos, candidate);
    if (FileExists(path)) found.push_back(path);
  }
  return found;
}

bool IsFolder(std::string_view path) {
  struct stat status {};
  return IsPlainPath(path) && stat(std::string(path).c_str(), &status) == 0 &&
         S_ISDIR(status.st_mode);
}

ErrorOr<FileHandle> OpenForSharedReading(std::string_view path) {
  const std::string name(path);
  ErrorOr<FileHandle> opened = sys::Open(sys::kHere, name, O_RDONLY | O_NONBLOCK);
  if (!opened) return opened;
  const int handle = opened.Value().Get();
  const ErrorOr<struct stat> status = sys::Stat(handle);
  if (!status) return status.Error();
  if (S_ISDIR(status.Value().st_mode)) return SystemError{EISDIR, "fstat", name};
  if (!S_ISREG(status.Value().st_mode)) return SystemError{kNotRegularFile, "fstat", name};
  if (flock(handle, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK)
    return SystemError{EWOULDBLOCK, "flock", name};
  fcntl(handle, F_SETFL, fcntl(handle, F_GETFL) & ~O_NONBLOCK);
  return opened;
}

}  // namespace anthora
