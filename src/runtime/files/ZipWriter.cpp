#include "runtime/files/ZipWriter.h"

#include <sys/stat.h>
#include <zip.h>

#include "runtime/files/SafeWrite.h"
#include "runtime/files/ZipArchive.h"

namespace anthora {

ZipWriter::ZipWriter(const std::string& path) {
  int error = 0;
  FArchive = zip_open(path.c_str(), ZIP_CREATE | ZIP_EXCL, &error);
  if (FArchive == nullptr) throw ZipError("cannot be written");
  // The entries are read and packed when the archive closes; a termination signal stops it.
  zip_register_cancel_callback_with_state(
      FArchive, [](zip_t*, void*) { return AtomicFile::Interrupted() ? 1 : 0; }, nullptr, nullptr);
}

ZipWriter::~ZipWriter() {
  if (FArchive != nullptr) zip_discard(FArchive);
}

void ZipWriter::Fail(const std::string& what) {
  const std::string reason = zip_strerror(FArchive);
  zip_discard(FArchive);
  FArchive = nullptr;
  throw ZipError("cannot be written: " + what + reason);
}

void ZipWriter::Finish(long long index, const std::string& name, std::uint32_t mode,
                       bool compress) {
  if (index < 0 ||
      zip_file_set_external_attributes(FArchive, static_cast<zip_uint64_t>(index), 0,
                                       ZIP_OPSYS_UNIX, mode << 16) != 0 ||
      (!compress && zip_set_file_compression(FArchive, static_cast<zip_uint64_t>(index),
                                             ZIP_CM_STORE, 0) != 0) ||
      (FTime && zip_file_set_mtime(FArchive, static_cast<zip_uint64_t>(index), *FTime, 0) != 0))
    Fail(name + ": ");
}

void ZipWriter::AddFolder(const std::string& name) {
  Finish(zip_dir_add(FArchive, name.c_str(), ZIP_FL_ENC_GUESS), name, S_IFDIR | 0755, true);
}

void ZipWriter::AddFile(const std::string& name, const std::string& source, std::uint64_t size,
                        bool compress) {
  zip_source_t* data = zip_source_file(FArchive, source.c_str(), 0, static_cast<zip_int64_t>(size));
  if (data == nullptr) Fail(source + ": ");
  const zip_int64_t index = zip_file_add(FArchive, name.c_str(), data, ZIP_FL_ENC_GUESS);
  if (index < 0) zip_source_free(data);
  Finish(index, name, S_IFREG | 0644, compress);
}

void ZipWriter::AddBytes(const std::string& name, std::string_view bytes, bool compress) {
  zip_source_t* data = zip_source_buffer(FArchive, bytes.data(), bytes.size(), 0);
  if (data == nullptr) Fail(name + ": ");
  const zip_int64_t index = zip_file_add(FArchive, name.c_str(), data, ZIP_FL_ENC_UTF_8);
  if (index < 0) zip_source_free(data);
  Finish(index, name, S_IFREG | 0644, compress);
}

void ZipWriter::Close() {
  if (zip_close(FArchive) != 0) {
    if (AtomicFile::Interrupted()) {
      zip_discard(FArchive);
      FArchive = nullptr;
      throw ZipError("not written: interrupted");
    }
    Fail("");
  }
  FArchive = nullptr;
}

}  // namespace anthora
