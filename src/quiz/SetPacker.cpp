#include "quiz/SetPacker.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "quiz/SetArchive.h"
#include "runtime/files/Files.h"
#include "runtime/files/SafeWrite.h"

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
  const fs::path ris = folder / "ris";
  const auto refuseLink = [](const fs::path& path) {
    throw SetFileError(path.string(), "is a symbolic link, and a set file packs no links");
  };
  std::error_code error;
  if (fs::is_symlink(ris, error)) refuseLink(ris);
  for (fs::recursive_directory_iterator it(ris, error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = "ris/" + it->path().lexically_relative(ris).generic_string();
    if (it->is_symlink()) refuseLink(it->path());
    if (it->is_directory()) {
      members.push_back({name + '/', {}});
    } else if (it->is_regular_file()) {
      members.push_back({name, it->path()});
    } else {
      throw SetFileError(it->path().string(), "not a file, so it cannot be packed");
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
  members.insert(members.begin(), {"ris/", {}});
  return members;
}

// Refuses what unpacking would refuse.
void CheckBounds(std::vector<Member>& members, const fs::path& folder) {
  if (members.size() > kMaxSetEntries)
    throw SetFileError((folder / "ris").string(), "more than " + std::to_string(kMaxSetEntries) +
                                                      " files and folders for one set file");
  std::uintmax_t total = 0;
  for (Member& member : members) {
    if (const std::string refused = RefusedEntryName(member.Name); !refused.empty())
      throw SetFileError((folder / member.Name).string(), "cannot be packed: " + refused);
    if (member.Source.empty()) continue;
    const FileHandle file(open(member.Source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!file || fstat(file.Get(), &member.Status) != 0)
      throw SetFileError(member.Source.string(),
                         std::string("cannot be read: ") + std::strerror(errno));
    const auto size = static_cast<std::uintmax_t>(member.Status.st_size);
    total += size;
    if (size > kMaxSetBytes || total > kMaxSetBytes)
      throw SetFileError(member.Source.string(),
                         "the set would be more than 256 MiB, too large for a set file");
  }
}

// Refuses an output inside the set, which would pack itself.
void CheckOutsideSet(const fs::path& folder, const std::string& output) {
  std::error_code error;
  const fs::path set = fs::weakly_canonical(folder, error);
  const fs::path out = fs::weakly_canonical(fs::absolute(output, error), error);
  if (!error && IsWithin(out, set))
    throw SetFileError(output, "would be written inside the set it packs; choose a place outside " +
                                   folder.string());
}

bool IsPhoto(const std::string& name) {
  const std::string extension = fs::path(name).extension().string();
  return extension == ".jpg" || extension == ".JPG" || extension == ".jpeg" ||
         extension == ".png" || extension == ".PNG";
}

void Write(const std::vector<Member>& members, const std::string& path, const std::string& output) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_EXCL, &error);
  if (archive == nullptr) throw SetFileError(output, "cannot be written");
  // The members are read and packed when the archive closes; a termination signal stops it.
  zip_register_cancel_callback_with_state(
      archive, [](zip_t*, void*) { return AtomicFile::Interrupted() ? 1 : 0; }, nullptr, nullptr);
  const auto fail = [&](const std::string& what) {
    const std::string reason = zip_strerror(archive);
    zip_discard(archive);
    throw SetFileError(output, "cannot be written: " + what + reason);
  };
  for (const Member& member : members) {
    zip_int64_t index = -1;
    if (member.Source.empty()) {
      index = zip_dir_add(archive, member.Name.c_str(), ZIP_FL_ENC_GUESS);
    } else {
      zip_source_t* source =
          zip_source_file(archive, member.Source.c_str(), 0, member.Status.st_size);
      if (source == nullptr) fail(member.Source.string() + ": ");
      index = zip_file_add(archive, member.Name.c_str(), source, ZIP_FL_ENC_GUESS);
      if (index < 0) zip_source_free(source);
    }
    const zip_uint32_t mode = member.Source.empty() ? S_IFDIR | 0755 : S_IFREG | 0644;
    // Photos are packed already; storing them as they are saves time for no loss of space.
    if (index < 0 ||
        zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0,
                                         ZIP_OPSYS_UNIX, mode << 16) != 0 ||
        (IsPhoto(member.Name) &&
         zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0) != 0))
      fail(member.Name + ": ");
  }
  if (zip_close(archive) != 0) {
    if (AtomicFile::Interrupted()) {
      zip_discard(archive);
      throw SetFileError(output, "not written: interrupted");
    }
    fail("");
  }
  // A file that changed while it was packed may be in the archive in part.
  for (const Member& member : members) {
    if (!member.Source.empty() && Changed(member))
      throw SetFileError(member.Source.string(), "changed while it was packed; pack the set again");
  }
}

}  // namespace

int PackSetFolder(const std::string& setFolder, const AtomicFile& output) {
  const fs::path folder(setFolder.empty() ? "." : setFolder);
  CheckOutsideSet(folder, output.Path());
  std::vector<Member> members = MembersOf(folder);
  CheckBounds(members, folder);
  Write(members, output.Made(), output.Path());
  return static_cast<int>(std::count_if(members.begin(), members.end(),
                                        [](const Member& m) { return !m.Source.empty(); }));
}

}  // namespace anthora
