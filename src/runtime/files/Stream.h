#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/Exceptions.h"

namespace anthora {

class EWriteError : public EStreamError {
 public:
  EWriteError() : EStreamError("Stream write error") {}
};

enum class TSeekOrigin : std::uint8_t { soBeginning, soCurrent, soEnd };

// A sequence of bytes with a position. Read and Write move as many bytes as they can and
// say how many; ReadBuffer and WriteBuffer move all of them or raise.
class TStream {
 public:
  virtual ~TStream() = default;

  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
  // The new position. Seeking before the start raises EStreamError; past the end is allowed.
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
  virtual std::int64_t Size();

  std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
  // Bytes from the position to the end, 0 when the position lies past the end.
  std::int64_t Remaining();

  // EReadError "Stream read error" when fewer bytes are there.
  void ReadBuffer(void* buffer, std::size_t count);
  // EWriteError "Stream write error" when not all bytes are taken.
  void WriteBuffer(const void* buffer, std::size_t count);
  // Copies count bytes from the source's position (its whole contents when count is 0).
  void CopyFrom(TStream& source, std::int64_t count);
};

// A stream over a growable block of memory.
class TMemoryStream : public TStream {
 public:
  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(FData.size()); }

  // New bytes are zero; the position stays, even when it now lies past the end.
  void SetSize(std::int64_t size);
  void Clear();
  const std::uint8_t* Memory() const { return FData.data(); }
  std::uint8_t* Memory() { return FData.data(); }
  std::size_t Length() const { return FData.size(); }

  // Replaces the contents by the rest of the source, or by the whole file; position 0.
  void LoadFromStream(TStream& source);
  void LoadFromFile(std::string_view fileName);
  void SaveToStream(TStream& dest) const;
  void SaveToFile(std::string_view fileName) const;

 private:
  std::vector<std::uint8_t> FData;
  std::int64_t FPosition = 0;
};

}  // namespace anthora
