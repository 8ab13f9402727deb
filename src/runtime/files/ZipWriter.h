#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

struct zip;

namespace anthora {

// A zip archive written to a new file, entry by entry, in the order they are added: nothing is
// read or packed before Close(). A termination signal waiting (see AtomicFile::Interrupted)
// stops the packing. Every failure throws ZipError (ZipArchive.h) whose words follow the
// archive's name; the file is then left for its AtomicFile to remove.
class ZipWriter {
 public:
  // Creates the archive at `path`, which must not exist yet.
  explicit ZipWriter(const std::string& path);
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;
  ~ZipWriter();

  // A folder entry; its name ends in "/".
  void AddFolder(const std::string& name);
  // A file entry read from `source` when the archive closes, `size` bytes long.
  void AddFile(const std::string& name, const std::string& source, std::uint64_t size,
               bool compress);
  // A file entry of bytes that must stay as they are until Close().
  void AddBytes(const std::string& name, std::string_view bytes, bool compress);
  // Every entry added from now on is dated `time` instead of its file's or the present time,
  // so that the same files make the same archive.
  void DateEntries(std::time_t time) { FTime = time; }
  // Packs and writes everything. Throws ZipError; "not written: interrupted" after a signal.
  void Close();

 private:
  // Gives the entry added last its modes, and stores it as it is unless it is to be compressed.
  void Finish(long long index, const std::string& name, std::uint32_t mode, bool compress);
  [[noreturn]] void Fail(const std::string& what);

  zip* FArchive = nullptr;
  std::optional<std::time_t> FTime;
};

}  // namespace anthora
