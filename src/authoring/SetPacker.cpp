#include "authoring/SetPacker.h"

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

#include "authoring/AtomicFile.h"
#include "quiz/SetArchive.h"

namespace anthora {

namespace fs = std::filesystem;

namespace {

struct Member {
  std::string Name;  // in the set file; a folder's ends in "/"
  fs::path Source;   // empty for a folder
};

[[noreturn]] void Refuse(const std::string& file, const std::string& reason) {
  throw SetFileError(file + ": " + reason);
}

// The members of the set file, ris/ first so that a desktop can tell the file by its start.
// A symbolic link is refused wherever it leads: packed, it would carry the file it names, which
// may lie anywhere, and the set would no longer be what its folder shows.
std::vector<Member> MembersOf(const fs::path& folder) {
  std::vector<Member> members;
  const fs::path ris = folder / "ris";
  const auto refuseLink = [](const fs::path& path) {
    Refuse(path.string(), "is a symbolic link, and a set file packs no links");
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
      Refuse(it->path().string(), "not a file, so it cannot be packed");
    }
    if (members.size() >= kMaxSetEntries) break;  // too many already: refused below
  }
  if (error) Refuse(ris.string(), error.message());
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
void CheckBounds(const std::vector<Member>& members, const fs::path& folder) {
  if (members.size() > kMaxSetEntries)
    Refuse((folder / "ris").string(),
           "more than " + std::to_string(kMaxSetEntries) + " files and folders for one set file");
  std::uintmax_t total = 0;
  for (const Member& member : members) {
    if (const std::string refused = RefusedEntryName(member.Name); !refused.empty())
      Refuse((folder / member.Name).string(), "cannot be packed: " + refused);
    if (member.Source.empty()) continue;
    const std::uintmax_t size = fs::file_size(member.Source);
    total += size;
    if (size > kMaxSetBytes || total > kMaxSetBytes)
      Refuse(member.Source.string(),
             "the set would be more than 256 MiB, too large for a set file");
  }
}

bool IsPhoto(const std::string& name) {
  const std::string extension = fs::path(name).extension().string();
  return extension == ".jpg" || extension == ".JPG" || extension == ".jpeg" ||
         extension == ".png" || extension == ".PNG";
}

void Write(const std::vector<Member>& members, const std::string& path, const std::string& output) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_EXCL, &error);
  if (archive == nullptr) Refuse(output, "cannot be written");
  // The members are read and packed when the archive closes; a termination signal stops it.
  zip_register_cancel_callback_with_state(
      archive, [](zip_t*, void*) { return AtomicFile::Interrupted() ? 1 : 0; }, nullptr, nullptr);
  const auto fail = [&](const std::string& what) {
    const std::string reason = zip_strerror(archive);
    zip_discard(archive);
    Refuse(output, "cannot be written: " + what + reason);
  };
  for (const Member& member : members) {
    zip_int64_t index = -1;
    if (member.Source.empty()) {
      index = zip_dir_add(archive, member.Name.c_str(), ZIP_FL_ENC_GUESS);
    } else {
      zip_source_t* source = zip_source_file(archive, member.Source.c_str(), 0, -1);
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
      Refuse(output, "not written: interrupted");
    }
    fail("");
  }
}

}  // namespace

int PackSetFolder(const std::string& setFolder, const AtomicFile& output) {
  const fs::path folder(setFolder.empty() ? "." : setFolder);
  const std::vector<Member> members = MembersOf(folder);
  CheckBounds(members, folder);
  Write(members, output.Made(), output.Path());
  return static_cast<int>(std::count_if(members.begin(), members.end(),
                                        [](const Member& m) { return !m.Source.empty(); }));
}

}  // namespace anthora
