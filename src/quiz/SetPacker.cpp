#include "quiz/SetPacker.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "quiz/SetArchive.h"
#include "quiz/SetFile.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "runtime/files/Files.h"
#include "runtime/files/SafeWrite.h"
#include "runtime/files/ZipArchive.h"
#include "runtime/files/ZipWriter.h"

namespace anthora {

namespace fs = std::filesystem;

namespace {

struct Member {
  std::string Name;       // in the set file; a folder's ends in "/"
  fs::path Source;        // empty for a folder
  struct stat Status {};  // the source's as it was found
};

// Whether a file's size or time of change differ from those it was found with.
bool Changed(const Member& member) {
  struct stat now {};
  return lstat(member.Source.c_str(), &now) != 0 || now.st_size != member.Status.st_size ||
         now.st_mtim.tv_sec != member.Status.st_mtim.tv_sec ||
         now.st_mtim.tv_nsec != member.Status.st_mtim.tv_nsec;
}

// The members of the set file, ris/ first so that a desktop can tell the file by its start.
// A symbolic link is refused wherever it leads: packed, it would carry the file it names, which
// may lie anywhere, and the set would no longer be what its folder shows.
std::vector<Member> MembersOf(const fs::path& folder) {
  std::vector<Member> members;
  const fs::path ris = folder / kSetFolderName;
  const std::string risEntry = std::string(kSetFolderName) + '/';
  const auto refuseLink = [](const fs::path& path) {
    throw SetFileError(path.string(), Tr("is a symbolic link, and a set file packs no links"));
  };
  std::error_code error;
  if (fs::is_symlink(ris, error)) refuseLink(ris);
  for (fs::recursive_directory_iterator it(ris, error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = risEntry + it->path().lexically_relative(ris).generic_string();
    if (it->is_symlink()) refuseLink(it->path());
    if (it->is_directory()) {
      members.push_back({name + '/', {}});
    } else if (it->is_regular_file()) {
      members.push_back({name, it->path()});
    } else {
      throw SetFileError(it->path().string(), Tr("not a file, so it cannot be packed"));
    }
    if (members.size() >= kMaxSetEntries) break;  // too many already: refused below
  }
  if (error) throw SetFileError(ris.string(), error.message());
  for (const std::string_view credits : kCreditsNames) {
    const fs::file_status status = fs::symlink_status(folder / credits, error);
    if (fs::is_symlink(status)) refuseLink(folder / credits);
    if (fs::is_regular_file(status)) members.push_back({std::string(credits), folder / credits});
  }
  std::sort(members.begin(), members.end(),
            [](const Member& a, const Member& b) { return a.Name < b.Name; });
  members.insert(members.begin(), {risEntry, {}});
  return members;
}

// Refuses what unpacking would refuse.
void CheckBounds(std::vector<Member>& members, const fs::path& folder) {
  if (members.size() > kMaxSetEntries)
    throw SetFileError(
        (folder / kSetFolderName).string(),
        Format(TrN("more than %d file and folder for one set file",
                   "more than %d files and folders for one set file", kMaxSetEntries),
               {kMaxSetEntries}));
  std::uintmax_t total = 0;
  for (Member& member : members) {
    if (const std::string refused = RefusedEntryName(member.Name); !refused.empty())
      throw SetFileError((folder / member.Name).string(),
                         Format(Tr("cannot be packed: %s"), {refused}));
    if (member.Source.empty()) continue;
    const FileHandle file(open(member.Source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!file || fstat(file.Get(), &member.Status) != 0)
      throw SetFileError(member.Source.string(),
                         Format(Tr("cannot be read: %s"), {std::strerror(errno)}));
    const auto size = static_cast<std::uintmax_t>(member.Status.st_size);
    total += size;
    if (size > kMaxSetBytes || total > kMaxSetBytes)
      throw SetFileError(member.Source.string(),
                         Tr("the set would be more than 256 MiB, too large for a set file"));
  }
}

// Refuses an output inside the set, which would pack itself.
void CheckOutsideSet(const fs::path& folder, const std::string& output) {
  std::error_code error;
  const fs::path set = fs::weakly_canonical(folder, error);
  const fs::path out = fs::weakly_canonical(fs::absolute(output, error), error);
  if (!error && IsWithin(out, set))
    throw SetFileError(output, Format(Tr("would be written inside the set it packs; choose a "
                                         "place outside %s"),
                                      {folder.string()}));
}

void Write(const std::vector<Member>& members, const std::string& path, const std::string& output,
           std::optional<std::time_t> entryTime) {
  try {
    ZipWriter archive(path);
    if (entryTime) archive.DateEntries(*entryTime);
    for (const Member& member : members) {
      // Photos are packed already; storing them as they are saves time for no loss of space.
      if (member.Source.empty())
        archive.AddFolder(member.Name);
      else
        archive.AddFile(member.Name, member.Source.string(),
                        static_cast<std::uint64_t>(member.Status.st_size),
                        !IsPhotoName(member.Name));
    }
    archive.Close();
  } catch (const ZipError& error) {
    throw SetFileError(output, error.what());
  }
  // A file that changed while it was packed may be in the archive in part.
  for (const Member& member : members) {
    if (!member.Source.empty() && Changed(member))
      throw SetFileError(member.Source.string(),
                         Tr("changed while it was packed; pack the set again"));
  }
}

}  // namespace

int PackSetFolder(const std::string& setFolder, const AtomicFile& output,
                  std::optional<std::time_t> entryTime) {
  const fs::path folder(setFolder.empty() ? "." : setFolder);
  CheckOutsideSet(folder, output.Path());
  std::vector<Member> members = MembersOf(folder);
  CheckBounds(members, folder);
  Write(members, output.Made(), output.Path(), entryTime);
  return static_cast<int>(std::count_if(members.begin(), members.end(),
                                        [](const Member& m) { return !m.Source.empty(); }));
}

}  // namespace anthora
