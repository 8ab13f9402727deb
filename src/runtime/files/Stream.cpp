#include "runtime/files/Stream.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <stdexcept>

namespace anthora {

std::int64_t TStream::Size() {
  const std::int64_t position = Position();
  const std::int64_t size = Seek(0, TSeekOrigin::soEnd);
  Seek(position, TSeekOrigin::soBeginning);
  return size;
}

std::int64_t TStream::Remaining() {
  const std::int64_t position = Position();
  return std::max<std::int64_t>(Size() - position, 0);
}

void TStream::ReadBuffer(void* buffer, std::size_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, std::size_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError();
}

void TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::array<std::uint8_t, 64 * 1024> buffer;
  while (count > 0) {
    const auto chunk = static_cast<std::size_t>(std::min<std::int64_t>(count, buffer.size()));
    source.ReadBuffer(buffer.data(), chunk);
    WriteBuffer(buffer.data(), chunk);
    count -= static_cast<std::int64_t>(chunk);
  }
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  const std::int64_t available = Size() - FPosition;
  if (available <= 0 || count == 0) return 0;
  count = std::min(count, static_cast<std::size_t>(available));
  std::memcpy(buffer, FData.data() + FPosition, count);
  FPosition += static_cast<std::int64_t>(count);
  return count;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return 0;
  const std::int64_t end = FPosition + static_cast<std::int64_t>(count);
  if (end > Size()) SetSize(end);
  std::memcpy(FData.data() + FPosition, buffer, count);
  FPosition = end;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == TSeekOrigin::soCurrent) base = FPosition;
  if (origin == TSeekOrigin::soEnd) base = Size();
  if (offset < -base) throw EStreamError("Invalid stream position");
  FPosition = base + offset;
  return FPosition;
}

void TMemoryStream::SetSize(std::int64_t size) {
  if (size < 0) throw EStreamError("Invalid stream size");
  try {
    FData.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory();
  } catch (const std::length_error&) {
    throw EOutOfMemory();
  }
}

void TMemoryStream::Clear() {
  FData.clear();
  FData.shrink_to_fit();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  const std::int64_t count = source.Remaining();
  SetSize(count);
  FPosition = 0;
  source.ReadBuffer(FData.data(), FData.size());
}

void TMemoryStream::SaveToStream(TStream& dest) const {
  dest.WriteBuffer(FData.data(), FData.size());
}

}  // namespace anthora
