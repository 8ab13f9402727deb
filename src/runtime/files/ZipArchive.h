#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/Exceptions.h"

struct zip;

namespace anthora {

// The one policy of limits for every zip archive the program reads: set files and the ODS and
// XLSX sheets. An archive is untrusted, so what it claims is checked before anything is
// reserved for it, and what it unpacks is counted as it comes:
// - at most kZipMaxEntries entries, counted from the end record (found as the format says, the
//   last whose central directory lies just before it) before the zip library makes room for
//   them; an archive with bytes in front of it is read as one without them;
// - entry names of at most kZipMaxNameBytes, never absolute, never climbing out with "..", with
//   no control character; a backslash separates folders as a slash does;
// - no links or special files, no encryption, no compression method the library lacks;
// - an entry larger than kZipRatioFloor unpacks to at most kZipMaxRatio times its packed size;
// - the entries read unpack to no more than the budget the archive is opened with, each and all
//   together, and each to exactly the size its header gives.
inline constexpr std::uint64_t kZipMaxEntries = 10'000;
inline constexpr std::size_t kZipMaxNameBytes = 1024;
inline constexpr std::uint64_t kZipMaxRatio = 200;
inline constexpr std::uint64_t kZipRatioFloor = std::uint64_t{1} << 20;

// An archive refused, or an entry that cannot be read, in words that follow the archive's name.
class ZipError : public ERefusal {
  using ERefusal::ERefusal;
};

// An archive that starts as a zip archive does but stops before its end records: a download or
// a copy that was cut short.
class ZipIncomplete : public ZipError {
  using ZipError::ZipError;
};

// Why an entry may not have this name, in words that follow the archive's name; empty when it
// may.
std::string RefusedZipName(std::string_view name);

struct ZipEntry {
  std::uint64_t Index = 0;
  std::string Name;  // with "/" between folders; a folder's ends in "/"
  bool Folder = false;
  std::uint64_t Size = 0;        // unpacked, as the header says
  std::uint64_t PackedSize = 0;  // as the header says
};

class ZipArchive {
 public:
  // The archive in a file, or in bytes that must outlive it, whose entries unpack to at most
  // `budget` bytes. Throws ZipError for what is no zip archive, is damaged, holds too many
  // entries or an entry of a refused name; ZipIncomplete for one that was cut short.
  static ZipArchive OpenFile(const std::string& path, std::uint64_t budget);
  ZipArchive(std::string_view bytes, std::uint64_t budget);
  ZipArchive(ZipArchive&&) noexcept;
  ~ZipArchive();

  const std::vector<ZipEntry>& Entries() const { return FEntries; }
  // The entry of the name, or none.
  const ZipEntry* Find(std::string_view name) const;
  // Checks an entry against the policy before it is read; throws ZipError.
  void Check(const ZipEntry& entry) const;
  // Checks every entry, and their sizes together against the budget; throws ZipError.
  void CheckAll() const;
  // Checks an entry and unpacks it, handing its bytes on in pieces; throws ZipError when it is
  // refused, damaged, breaks the budget or holds other than its header says.
  void Read(const ZipEntry& entry, const std::function<void(std::string_view)>& piece);
  std::string Read(const ZipEntry& entry);

 private:
  struct Closer {
    void operator()(zip* archive) const;
  };
  ZipArchive(zip* archive, std::uint64_t budget);
  static zip* OpenBytes(std::string_view bytes);

  std::unique_ptr<zip, Closer> FArchive;
  std::vector<ZipEntry> FEntries;
  std::uint64_t FBudget = 0;  // what is left to unpack
};

}  // namespace anthora
