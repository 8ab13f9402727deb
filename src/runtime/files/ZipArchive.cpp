#include "runtime/files/ZipArchive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "runtime/base/Findings.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "runtime/files/FileHandle.h"

namespace anthora {

namespace {

constexpr std::uint64_t kTail = 65'557;  // the end record and the longest comment

[[noreturn]] void Refuse(const std::string& reason) {
  throw ZipError(reason);
}

std::string Mebibytes(std::uint64_t bytes) {
  return Format(Tr("%d MiB"), {bytes >> 20});
}

std::uint64_t Little(const unsigned char* bytes, int count) {
  std::uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

// Reads bytes at an offset of the archive; false when there are not that many.
using ReadAt = std::function<bool(std::uint64_t offset, unsigned char* bytes, std::size_t count)>;

// Where the archive's end of central directory is and what it says.
struct ZipEnd {
  std::uint64_t Entries = 0;  // as the end record claims them
  std::uint64_t Prefix = 0;   // bytes in front of the archive, which its offsets leave out
};

// The most entries a 64-bit end record pointed to from the tail claims, where its central
// directory lies before it: the zip library reserves room for that many before it finds
// whether the record is the archive's.
std::uint64_t MostClaimed64(const ReadAt& readAt, const std::vector<unsigned char>& tail) {
  std::uint64_t most = 0;
  for (std::size_t at = 20; at + 22 <= tail.size(); ++at) {
    if (std::memcmp(&tail[at], "PK\5\6", 4) != 0 || std::memcmp(&tail[at - 20], "PK\6\7", 4) != 0)
      continue;
    const std::uint64_t pointed = Little(&tail[at - 12], 8);
    unsigned char end64[56];
    if (!readAt(pointed, end64, sizeof end64) || std::memcmp(end64, "PK\6\6", 4) != 0) continue;
    const std::uint64_t offset = Little(&end64[48], 8);
    const std::uint64_t size = Little(&end64[40], 8);
    if (offset <= pointed && size <= pointed - offset)
      most = std::max({most, Little(&end64[24], 8), Little(&end64[32], 8)});
  }
  return most;
}

// Whether a central directory of the size lies just before `end` and starts as one does; the
// bytes before it that its offset leaves out are the prefix.
std::optional<std::uint64_t> PrefixBefore(const ReadAt& readAt, std::uint64_t end,
                                          std::uint64_t offset, std::uint64_t size,
                                          std::uint64_t entries) {
  if (offset > end || size > end - offset) return std::nullopt;
  const std::uint64_t prefix = end - offset - size;
  unsigned char signature[4];
  if (entries > 0 &&
      (!readAt(prefix + offset, signature, 4) || std::memcmp(signature, "PK\1\2", 4) != 0))
    return std::nullopt;
  return prefix;
}

// The end record as the zip format finds it, read before the zip library reserves room for
// the entries it claims: the last one, searching backwards, whose central directory lies just
// before it (an archive with bytes in front has its offsets shifted by them), preferring one
// whose comment ends the file. Where a 64-bit end record is pointed to and agrees, its counts
// stand for the 16-bit ones; a pointer that leads nowhere does not count. None when no record
// agrees: the library then says what is wrong. A 64-bit record that claims more entries than
// the policy allows, which the library would make room for, stands for the end.
std::optional<ZipEnd> FindZipEnd(const ReadAt& readAt, std::uint64_t size) {
  const std::uint64_t length = std::min(size, kTail);
  std::vector<unsigned char> tail(length);
  if (length < 22 || !readAt(size - length, tail.data(), length)) return std::nullopt;
  std::optional<ZipEnd> found;
  if (const std::uint64_t most = MostClaimed64(readAt, tail); most > kZipMaxEntries)
    return ZipEnd{most, 0};
  for (std::size_t at = length - 22 + 1; at-- > 0;) {
    if (std::memcmp(&tail[at], "PK\5\6", 4) != 0) continue;
    const std::uint64_t place = size - length + at;
    const std::uint64_t commentEnd = at + 22 + Little(&tail[at + 20], 2);
    if (commentEnd > length) continue;
    std::optional<ZipEnd> end;
    if (place >= 20 && at >= 20 && std::memcmp(&tail[at - 20], "PK\6\7", 4) == 0) {
      // The 64-bit end record lies where its locator says, or, in an archive with bytes in
      // front, just before the locator, the bytes in front being the difference.
      const std::uint64_t pointed = Little(&tail[at - 12], 8);
      const std::uint64_t before = place - 20 >= 56 ? place - 20 - 56 : pointed;
      for (const std::uint64_t where : {pointed, before}) {
        unsigned char end64[56];
        if (end || where < pointed || where >= place || where + sizeof end64 > place - 20 ||
            !readAt(where, end64, sizeof end64) || std::memcmp(end64, "PK\6\6", 4) != 0)
          continue;
        const std::uint64_t entries = std::max(Little(&end64[24], 8), Little(&end64[32], 8));
        const auto prefix =
            PrefixBefore(readAt, where, Little(&end64[48], 8), Little(&end64[40], 8), entries);
        if (prefix && *prefix == where - pointed) end = ZipEnd{entries, *prefix};
      }
    }
    if (!end) {
      const std::uint64_t entries = std::max(Little(&tail[at + 8], 2), Little(&tail[at + 10], 2));
      if (const auto prefix = PrefixBefore(readAt, place, Little(&tail[at + 16], 4),
                                           Little(&tail[at + 12], 4), entries))
        end = ZipEnd{entries, *prefix};
    }
    if (end && commentEnd == length) return end;
    if (end && !found) found = end;
  }
  return found;
}

// `start` holds the archive's first bytes: an archive that starts with an entry's header but
// in which the library found no end record was cut short.
[[noreturn]] void RefuseOpening(int code, std::string_view start = {}) {
  if (code == ZIP_ER_NOZIP && start.substr(0, 4) == std::string_view("PK\3\4", 4))
    throw ZipIncomplete(Tr("incomplete: it stops before the end of the zip archive"));
  if (code == ZIP_ER_NOZIP) Refuse(Tr("not a zip archive"));
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  const std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  // TRANSLATORS: %s is the zip library's own words, in English.
  Refuse(Format(Tr("a damaged zip archive (%s)"), {text}));
}

[[noreturn]] void RefuseCount() {
  Refuse(Format(TrN("holds more than %d entry", "holds more than %d entries", kZipMaxEntries),
                {kZipMaxEntries}));
}

// The bytes in front of the archive; refuses one whose end record claims more entries than
// the policy allows.
std::uint64_t CheckedPrefix(const ReadAt& readAt, std::uint64_t size) {
  const std::optional<ZipEnd> end = FindZipEnd(readAt, size);
  if (end && end->Entries > kZipMaxEntries) RefuseCount();
  return end ? end->Prefix : 0;
}

// The archive in a source of its bytes, which it then owns; the error is the source's, if it
// could not be made, and `start` the archive's first bytes, to say why it is refused.
zip* OpenSource(zip_source_t* source, zip_error_t& error, std::string_view start) {
  zip* archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
  const int code = zip_error_code_zip(&error);
  zip_error_fini(&error);
  if (archive == nullptr) {
    if (source) zip_source_free(source);
    RefuseOpening(code, start);
  }
  return archive;
}

}  // namespace

std::string RefusedZipName(std::string_view name) {
  const std::string shown = QuotedName(name);
  if (name.empty()) return Tr("an entry has no name");
  if (name.size() > kZipMaxNameBytes) {
    return Format(
        TrN("%1$s is longer than %2$d byte", "%1$s is longer than %2$d bytes", kZipMaxNameBytes),
        {Quoted(name, 40), kZipMaxNameBytes});
  }
  if (name.front() == '/') return Format(Tr("%s is an absolute name"), {shown});
  if (std::any_of(name.begin(), name.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }))
    return Format(Tr("%s has a control character in its name"), {shown});
  std::string_view rest = name;
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    if (part == "..") return Format(Tr("%s climbs out of its folder with '..'"), {shown});
    if (part.empty() || part == ".") return Format(Tr("%s is not a plain name"), {shown});
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
  }
  return {};
}

void ZipArchive::Closer::operator()(zip* archive) const {
  zip_discard(archive);
}

ZipArchive ZipArchive::OpenFile(const std::string& path, std::uint64_t budget) {
  FileHandle fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd) Refuse(std::strerror(errno));
  struct stat status {};
  if (fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode)) Refuse(Tr("not a file"));
  const auto size = static_cast<std::uint64_t>(status.st_size);
  // The bytes within the budget as they are, each entry's two headers with the longest name,
  // and the archive's comment.
  if (size > budget + kZipMaxEntries * (100 + 2 * kZipMaxNameBytes) + kTail)
    Refuse(Tr("too large for what it may hold"));
  const ReadAt readAt = [&](std::uint64_t offset, unsigned char* bytes, std::size_t count) {
    return pread(fd.Get(), bytes, count, static_cast<off_t>(offset)) == static_cast<ssize_t>(count);
  };
  char start[4] = {};
  const bool read = readAt(0, reinterpret_cast<unsigned char*>(start), sizeof start);
  const std::uint64_t prefix = CheckedPrefix(readAt, size);
  if (size == 0) RefuseOpening(ZIP_ER_NOZIP);
  FILE* file = fdopen(fd.Get(), "rb");
  if (file == nullptr) Refuse(std::strerror(errno));
  fd.Release();  // the file owns it now, and the source the file
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_filep_create(file, prefix, -1, &error);
  if (source == nullptr) std::fclose(file);
  return ZipArchive(OpenSource(source, error, read ? std::string_view(start, sizeof start) : ""),
                    budget);
}

ZipArchive::ZipArchive(std::string_view bytes, std::uint64_t budget)
    : ZipArchive(OpenBytes(bytes), budget) {}

zip* ZipArchive::OpenBytes(std::string_view bytes) {
  if (bytes.empty()) RefuseOpening(ZIP_ER_NOZIP);  // the library takes it for an empty archive
  const ReadAt readAt = [&](std::uint64_t offset, unsigned char* out, std::size_t count) {
    if (offset > bytes.size() || count > bytes.size() - offset) return false;
    std::memcpy(out, bytes.data() + offset, count);
    return true;
  };
  const std::uint64_t prefix = CheckedPrefix(readAt, bytes.size());
  zip_error_t error;
  zip_error_init(&error);
  return OpenSource(
      zip_source_buffer_create(bytes.data() + prefix, bytes.size() - prefix, 0, &error), error,
      bytes);
}

ZipArchive::ZipArchive(zip* archive, std::uint64_t budget) : FArchive(archive), FBudget(budget) {
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  if (count < 0 || static_cast<std::uint64_t>(count) > kZipMaxEntries) RefuseCount();
  for (zip_int64_t index = 0; index < count; ++index) {
    zip_stat_t stat;
    if (zip_stat_index(archive, static_cast<zip_uint64_t>(index), ZIP_FL_ENC_RAW, &stat) != 0 ||
        (stat.valid & (ZIP_STAT_NAME | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE)) !=
            (ZIP_STAT_NAME | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE))
      Refuse(Format(Tr("a damaged zip archive (%s)"), {zip_strerror(archive)}));
    std::string name = stat.name;
    std::replace(name.begin(), name.end(), '\\', '/');
    if (const std::string refused = RefusedZipName(name); !refused.empty()) Refuse(refused);
    const bool folder = name.back() == '/';
    FEntries.push_back(
        {static_cast<std::uint64_t>(index), std::move(name), folder, stat.size, stat.comp_size});
  }
}

ZipArchive::ZipArchive(ZipArchive&&) noexcept = default;
ZipArchive::~ZipArchive() = default;

const ZipEntry* ZipArchive::Find(std::string_view name) const {
  const auto found = std::find_if(FEntries.begin(), FEntries.end(),
                                  [&](const ZipEntry& entry) { return entry.Name == name; });
  return found == FEntries.end() ? nullptr : &*found;
}

void ZipArchive::Check(const ZipEntry& entry) const {
  const std::string name = QuotedName(entry.Name);
  zip_uint8_t system = 0;
  zip_uint32_t attributes = 0;
  zip_file_get_external_attributes(FArchive.get(), entry.Index, 0, &system, &attributes);
  const mode_t type = system == ZIP_OPSYS_UNIX ? (attributes >> 16) & S_IFMT : 0;
  if (type == S_IFLNK) Refuse(Format(Tr("%s is a symbolic link"), {name}));
  if (type != 0 && type != S_IFREG && type != S_IFDIR)
    Refuse(Format(Tr("%s is a special file"), {name}));
  if (entry.Folder != (type == S_IFDIR) && type != 0)
    Refuse(Format(Tr("%s is a folder and a file at once"), {name}));
  if (entry.Folder && entry.Size != 0) Refuse(Format(Tr("%s is a folder with contents"), {name}));

  zip_stat_t stat;
  zip_stat_index(FArchive.get(), entry.Index, 0, &stat);
  if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
    Refuse(Format(Tr("%s is encrypted"), {name}));
  if ((stat.valid & ZIP_STAT_COMP_METHOD) && !zip_compression_method_supported(stat.comp_method, 0))
    Refuse(Format(Tr("%s is packed by a method this program cannot unpack"), {name}));
  if (entry.Size > FBudget)
    Refuse(Format(Tr("%1$s unpacks to more than %2$s"), {name, Mebibytes(FBudget)}));
  if (entry.Size > kZipRatioFloor &&
      entry.Size / std::max<std::uint64_t>(entry.PackedSize, 1) > kZipMaxRatio)
    Refuse(Format(TrN("%1$s unpacks to more than %2$d time its packed size",
                      "%1$s unpacks to more than %2$d times its packed size", kZipMaxRatio),
                  {name, kZipMaxRatio}));
}

void ZipArchive::CheckAll() const {
  std::uint64_t total = 0;
  for (const ZipEntry& entry : FEntries) {
    Check(entry);
    total += entry.Size;
    if (total > FBudget) Refuse(Format(Tr("unpacks to more than %s in all"), {Mebibytes(FBudget)}));
  }
}

void ZipArchive::Read(const ZipEntry& entry, const std::function<void(std::string_view)>& piece) {
  Check(entry);
  const std::string name = QuotedName(entry.Name);
  const std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> input(
      zip_fopen_index(FArchive.get(), entry.Index, 0), zip_fclose);
  // TRANSLATORS: %2$s is the zip library's own words, in English.
  if (!input)
    Refuse(Format(Tr("%1$s cannot be unpacked (%2$s)"), {name, zip_strerror(FArchive.get())}));
  std::vector<char> buffer(1 << 16);
  std::uint64_t count = 0;
  for (;;) {
    const zip_int64_t got = zip_fread(input.get(), buffer.data(), buffer.size());
    if (got < 0)
      Refuse(Format(Tr("%1$s is damaged (%2$s)"), {name, zip_file_strerror(input.get())}));
    if (got == 0) break;
    count += static_cast<std::uint64_t>(got);
    if (count > entry.Size) Refuse(Format(Tr("%s holds more than its header says"), {name}));
    piece(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
  }
  if (count != entry.Size) Refuse(Format(Tr("%s holds less than its header says"), {name}));
  FBudget -= count;
}

std::string ZipArchive::Read(const ZipEntry& entry) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(entry.Size, FBudget)));
  Read(entry, [&](std::string_view piece) { bytes += piece; });
  return bytes;
}

}  // namespace anthora
