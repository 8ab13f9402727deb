#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/files/SystemCalls.h"

namespace anthora {

// A path the system can be asked about: not empty and without a NUL byte, which would
// otherwise make it stand for the shorter path before the NUL.
bool IsPlainPath(std::string_view path);

// Whether a path lies in a folder or is the folder, judged by their components as they stand:
// both are to be resolved first.
bool IsWithin(const std::filesystem::path& inner, const std::filesystem::path& outer);

// True when the path names an existing file that is not a folder. A path that is not plain
// never exists.
bool FileExists(std::string_view path);

// True when the path names an existing folder, or a link to one.
bool IsFolder(std::string_view path);

// The extensions of photos' file names, in lower case, in the order a name without one is
// tried.
inline constexpr std::string_view kPhotoExtensions[] = {".jpg",  ".jpeg", ".png",
                                                        ".heic", ".heif", ".webp"};

// Whether a file name is a photo's, JPEG, PNG, HEIC, HEIF or WebP, by its extension in any
// letter case.
bool IsPhotoName(std::string_view name);

// The path of an existing file (not a folder) that the path names when letter case does not
// count in its last component, the way file names are matched where names ignore case: Latin,
// Cyrillic and the other letters of Windows-1251, in UTF-8 names, with accents stored apart
// from their letters (decomposed) counting as composed. The path itself when it names a file;
// otherwise the match with the least name in byte order, so that the choice does not depend on the
// folder's order; empty when nothing matches.
std::string FindFileIgnoringCase(std::string_view path);

// Every existing file (not a folder) that the path names when letter case does not count in its
// last component, in byte order: the path alone when it names a file itself.
std::vector<std::string> FindFilesIgnoringCase(std::string_view path);

// The names of one folder, read once, so that many names can be found in it as
// FindFileIgnoringCase finds them, without reading the folder again for each.
class CaseBlindFolder {
 public:
  // Reads the folder: a path ending in "/", or empty for the current folder. A folder that
  // cannot be read holds no names.
  explicit CaseBlindFolder(std::string folder);
  // FindFileIgnoringCase(folder + name), as long as no name was added to the folder since.
  std::string Find(std::string_view name) const;
  // FindFilesIgnoringCase(folder + name), on the same terms.
  std::vector<std::string> FindAll(std::string_view name) const;

 private:
  std::string FFolder;
  // Each name with its letter case folded away, to the names that fold to it in byte order.
  std::unordered_map<std::u32string, std::vector<std::string>> FNames;
};

// The reason OpenForSharedReading gives for a pipe, a device or any other file that is neither
// a regular file nor a folder (a folder gives EISDIR).
inline constexpr int kNotRegularFile = -1;

// Opens a plain path of a regular file read-only, never waiting (a named pipe cannot hang the
// open), with a shared lock that lets other readers in and keeps cooperating writers out. The
// handle, or the reason: an errno value, EWOULDBLOCK when a writer holds the file, or
// kNotRegularFile.
ErrorOr<FileHandle> OpenForSharedReading(std::string_view path);

}  // namespace anthora
