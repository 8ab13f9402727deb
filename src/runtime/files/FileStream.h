#pragma once

#include <string_view>

#include "runtime/files/Stream.h"

namespace anthora {

// A stream over a file of the file system.
class TFileStream : public TStream {
 public:
  enum class Mode : std::uint8_t {
    OpenRead,  // read only; others may read the file but not write it
    Create,    // created or emptied, write only
  };

  // EFOpenError "Cannot open file "<full path>". <system text>" when the file cannot be
  // opened for reading (or is not a regular file); "Cannot create file ..." for Create.
  TFileStream(std::string_view fileName, Mode mode);
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;
  ~TFileStream() override;

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;

 private:
  int FHandle = -1;
};

}  // namespace anthora
