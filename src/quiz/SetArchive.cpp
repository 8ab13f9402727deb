#include "quiz/SetArchive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "platform/posix/DeferredTermination.h"
#include "runtime/files/FileHandle.h"
#include "runtime/files/SafeWrite.h"

namespace anthora {

namespace {

constexpr std::size_t kMaxNameLength = 1024;
// The largest file that can hold a set within the bounds: the bytes stored as they are, and
// each entry's two headers with the longest name, and the archive's comment.
constexpr std::uint64_t kMaxFileBytes =
    kMaxSetBytes + kMaxSetEntries * (100 + 2 * kMaxNameLength) + 65'557;

// A name as a message can show it: control characters as \xNN.
std::string Shown(std::string_view name) {
  std::string shown = "'";
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7f) {
      shown += c;
    } else {
      static const char kHex[] = "0123456789abcdef";
      shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
    }
  }
  return shown + "'";
}

[[noreturn]] void Refuse(const std::string& file, const std::string& reason) {
  throw SetFileError(file + ": " + reason);
}

std::uint64_t Little(const unsigned char* bytes, int count) {
  std::uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

// The entry counts that the archive's ends of central directory claim, read before the zip
// library reserves room for that many entries. Every record in the tail that could be taken
// for the end is looked at, and the 64-bit one that a record may point to.
std::uint64_t ClaimedEntries(int fd, std::uint64_t fileSize) {
  constexpr std::uint64_t kTail = 65'557;  // the end record and the longest comment
  const std::uint64_t length = std::min(fileSize, kTail);
  std::vector<unsigned char> tail(length);
  if (pread(fd, tail.data(), length, static_cast<off_t>(fileSize - length)) !=
      static_cast<ssize_t>(length))
    return 0;  // the zip library reports what is wrong with it
  std::uint64_t claimed = 0;
  for (std::size_t at = 0; at + 22 <= tail.size(); ++at) {
    if (std::memcmp(&tail[at], "PK\5\6", 4) != 0) continue;
    claimed = std::max({claimed, Little(&tail[at + 8], 2), Little(&tail[at + 10], 2)});
    if (at < 20 || std::memcmp(&tail[at - 20], "PK\6\7", 4) != 0) continue;
    unsigned char end64[56];
    const std::uint64_t offset = Little(&tail[at - 12], 8);
    if (offset < fileSize &&
        pread(fd, end64, sizeof end64, static_cast<off_t>(offset)) ==
            static_cast<ssize_t>(sizeof end64) &&
        std::memcmp(end64, "PK\6\6", 4) == 0)
      claimed = std::max({claimed, Little(&end64[24], 8), Little(&end64[32], 8)});
    else
      claimed = std::max<std::uint64_t>(claimed, 0xffff);  // unreadable: assume the worst
  }
  return claimed;
}

struct ArchiveCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct EntryCloser {
  void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};

Archive OpenArchive(const std::string& file) {
  FileHandle fd(open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd) Refuse(file, std::strerror(errno));
  struct stat status {};
  if (fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode)) Refuse(file, "not a file");
  const auto size = static_cast<std::uint64_t>(status.st_size);
  if (size > kMaxFileBytes) Refuse(file, "too large to be a set file");
  if (ClaimedEntries(fd.Get(), size) > kMaxSetEntries)
    Refuse(file, "holds more than " + std::to_string(kMaxSetEntries) + " entries");
  int error = 0;
  zip_t* archive = size == 0 ? nullptr : zip_fdopen(fd.Get(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
  if (archive == nullptr) {
    if (size == 0 || error == ZIP_ER_NOZIP) Refuse(file, "not a zip archive, so not a set file");
    zip_error_t reason;
    zip_error_init_with_code(&reason, error);
    const std::string text = zip_error_strerror(&reason);
    zip_error_fini(&reason);
    Refuse(file, "a damaged zip archive (" + text + ")");
  }
  fd.Release();  // the archive owns it now
  return Archive(archive);
}

struct Entry {
  zip_uint64_t Index = 0;
  std::string Name;
  bool Folder = false;
  std::uint64_t Size = 0;
};

bool IsCredits(std::string_view name) {
  return std::find(std::begin(kCreditsNames), std::end(kCreditsNames), name) !=
         std::end(kCreditsNames);
}

// What may be in the set file at this index, or a refusal naming why not.
Entry CheckedEntry(zip_t* archive, zip_uint64_t index, const std::string& file) {
  zip_stat_t stat;
  if (zip_stat_index(archive, index, ZIP_FL_ENC_RAW, &stat) != 0 ||
      (stat.valid & (ZIP_STAT_NAME | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE)) !=
          (ZIP_STAT_NAME | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE))
    Refuse(file, "a damaged zip archive (" + std::string(zip_strerror(archive)) + ")");
  Entry entry{index, stat.name, false, stat.size};
  const std::string name = Shown(entry.Name);
  if (const std::string refused = RefusedEntryName(entry.Name); !refused.empty())
    Refuse(file, refused);

  zip_uint8_t system = 0;
  zip_uint32_t attributes = 0;
  zip_file_get_external_attributes(archive, index, 0, &system, &attributes);
  const mode_t type = system == ZIP_OPSYS_UNIX ? (attributes >> 16) & S_IFMT : 0;
  if (type == S_IFLNK) Refuse(file, name + " is a symbolic link");
  if (type != 0 && type != S_IFREG && type != S_IFDIR) Refuse(file, name + " is a special file");
  entry.Folder = entry.Name.back() == '/';
  if (entry.Folder != (type == S_IFDIR) && type != 0)
    Refuse(file, name + " is a folder and a file at once");
  if (entry.Folder && entry.Size != 0) Refuse(file, name + " is a folder with contents");

  if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
    Refuse(file, name + " is encrypted");
  if ((stat.valid & ZIP_STAT_COMP_METHOD) && !zip_compression_method_supported(stat.comp_method, 0))
    Refuse(file, name + " is packed by a method this program cannot unpack");
  if (entry.Size > kMaxSetBytes) Refuse(file, name + " unpacks to more than 256 MiB");
  if (entry.Size > kRatioFloor &&
      entry.Size / std::max<zip_uint64_t>(stat.comp_size, 1) > kMaxPackingRatio)
    Refuse(file, name + " unpacks to more than " + std::to_string(kMaxPackingRatio) +
                     " times its packed size, as no set of photos does");
  return entry;
}

// Writes an entry's bytes to a new file in the open folder, counting them against the size its
// header declares.
void Unpack(zip_t* archive, const Entry& entry, int folder, const std::string& fileName,
            const std::string& file) {
  const std::string name = Shown(entry.Name);
  const std::unique_ptr<zip_file_t, EntryCloser> input(zip_fopen_index(archive, entry.Index, 0));
  if (!input) Refuse(file, name + " cannot be unpacked (" + zip_strerror(archive) + ")");
  FileHandle output(openat(folder, fileName.c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600));
  if (!output) {
    if (errno == EEXIST) Refuse(file, name + " appears twice");
    Refuse(file, name + " cannot be written: " + std::strerror(errno));
  }
  std::vector<char> buffer(1 << 16);
  std::uint64_t count = 0;
  for (;;) {
    const zip_int64_t got = zip_fread(input.get(), buffer.data(), buffer.size());
    if (got < 0) Refuse(file, name + " is damaged (" + zip_file_strerror(input.get()) + ")");
    if (got == 0) break;
    count += static_cast<std::uint64_t>(got);
    if (count > entry.Size) Refuse(file, name + " holds more than its header says");
    if (!WriteAll(output.Get(), {buffer.data(), static_cast<std::size_t>(got)}))
      Refuse(file, name + " cannot be written: " + std::strerror(errno));
  }
  if (count != entry.Size) Refuse(file, name + " holds less than its header says");
  const int closed = close(output.Release());
  if (closed != 0) Refuse(file, name + " cannot be written: " + std::strerror(errno));
}

// The folder an entry goes in, made where missing, each step relative to the one above and
// never through a link; with the name of the entry's file in it, empty for a folder.
FileHandle EntryFolder(int top, const Entry& entry, std::string& fileName,
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
      Refuse(file, Shown(entry.Name) + " cannot be unpacked: " + std::strerror(errno));
    folder = OpenFolder(folder.Get(), part);
    if (!folder) Refuse(file, Shown(entry.Name) + " cannot be unpacked: " + std::strerror(errno));
  }
  return folder;
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
  const std::string shown = Shown(name);
  if (name.empty()) return "an entry has no name";
  if (name.size() > kMaxNameLength)
    return shown.substr(0, 40) + "...' is longer than " + std::to_string(kMaxNameLength) + " bytes";
  if (name.front() == '/') return shown + " is an absolute name";
  if (std::any_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7f || c == '\\';
      }))
    return shown + " has a control character or a backslash in its name";
  std::string_view rest = name;
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    if (part == "..") return shown + " climbs out of its folder with '..'";
    if (part.empty() || part == ".") return shown + " is not a plain name";
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
  }
  if (name.substr(0, 4) != "ris/" && !IsCredits(name)) return shown + " lies outside ris/";
  return {};
}

void UnpackSetFile(const std::string& file, int folder) {
  const Archive archive = OpenArchive(file);
  const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
  if (count < 0 || static_cast<std::uint64_t>(count) > kMaxSetEntries)
    Refuse(file, "holds more than " + std::to_string(kMaxSetEntries) + " entries");

  std::vector<Entry> entries;
  std::uint64_t total = 0;
  for (zip_int64_t index = 0; index < count; ++index) {
    entries.push_back(CheckedEntry(archive.get(), static_cast<zip_uint64_t>(index), file));
    total += entries.back().Size;
    if (total > kMaxSetBytes) Refuse(file, "unpacks to more than 256 MiB in all");
  }

  for (const Entry& entry : entries) {
    if (DeferredTermination::Pending()) Refuse(file, "not unpacked: interrupted");
    std::string fileName;
    const FileHandle into = EntryFolder(folder, entry, fileName, file);
    if (!entry.Folder) Unpack(archive.get(), entry, into.Get(), fileName, file);
  }
}

}  // namespace anthora
