#pragma once

#include <zip.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace anthora::test {

struct ZipPart {
  std::string Name;
  std::string Bytes;
  std::uint32_t UnixMode = 0;  // with the file type; 0 to leave the library's own
};

// A zip archive of the named parts, deflated as the zip library chooses.
inline std::string ZipBytes(const std::vector<ZipPart>& parts) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_source_keep(buffer);
  zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
  for (const ZipPart& part : parts) {
    zip_source_t* source =
        zip_source_buffer_create(part.Bytes.data(), part.Bytes.size(), 0, &error);
    const zip_int64_t index = zip_file_add(archive, part.Name.c_str(), source, ZIP_FL_ENC_RAW);
    if (part.UnixMode != 0)
      zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0, ZIP_OPSYS_UNIX,
                                       part.UnixMode << 16);
  }
  zip_close(archive);
  zip_source_open(buffer);
  zip_source_seek(buffer, 0, SEEK_END);
  std::string out(static_cast<std::size_t>(zip_source_tell(buffer)), '\0');
  zip_source_seek(buffer, 0, SEEK_SET);
  zip_source_read(buffer, out.data(), out.size());
  zip_source_close(buffer);
  zip_source_free(buffer);
  return out;
}

inline std::vector<ZipPart> ZipParts(
    const std::vector<std::pair<std::string, std::string>>& parts) {
  std::vector<ZipPart> out;
  for (const auto& [name, bytes] : parts) out.push_back({name, bytes});
  return out;
}

}  // namespace anthora::test
