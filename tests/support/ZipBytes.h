#pragma once

#include <zip.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "support/TempDir.h"

namespace anthora::test {

struct ZipPart {
  std::string Name;
  std::string Bytes;
  std::uint32_t UnixMode = 0;  // with the file type; 0 to leave the library's own
  bool Stored = false;         // as it is, not deflated
};

// A zip archive of the named parts, deflated as the zip library chooses.
inline std::string ZipBytes(const std::vector<ZipPart>& parts) {
  const TempDir dir;
  const std::string path = (dir.Path() / "made.zip").string();
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  for (const ZipPart& part : parts) {
    zip_source_t* source = zip_source_buffer(archive, part.Bytes.data(), part.Bytes.size(), 0);
    const zip_int64_t index = zip_file_add(archive, part.Name.c_str(), source, ZIP_FL_ENC_RAW);
    if (part.Stored)
      zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    if (part.UnixMode != 0)
      zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0, ZIP_OPSYS_UNIX,
                                       part.UnixMode << 16);
  }
  zip_close(archive);
  return ReadFile(path);
}

inline std::vector<ZipPart> ZipParts(
    const std::vector<std::pair<std::string, std::string>>& parts) {
  std::vector<ZipPart> out;
  for (const auto& [name, bytes] : parts) out.push_back({name, bytes});
  return out;
}

}  // namespace anthora::test
