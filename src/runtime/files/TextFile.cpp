#include "runtime/files/TextFile.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "runtime/base/Exceptions.h"
#include "runtime/files/Files.h"

namespace anthora {

namespace {

constexpr char kCtrlZ = '\x1A';

int OpenErrorCode(int error) {
  switch (error) {
    case ENOENT:
      return kIoFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
      return kIoInvalidFilename;
    case EMFILE:
    case ENFILE:
      return kIoTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return kIoAccessDenied;
    case EWOULDBLOCK:
      return kIoSharingViolation;
    case EIO:
      return kIoReadFault;
    default:
      return error;
  }
}

}  // namespace

TextFile::~TextFile() {
  Close();
}

void TextFile::Reset(std::string_view path) {
  Close();
  if (!IsPlainPath(path)) throw EInOutError(kIoInvalidFilename);
  ErrorOr<FileHandle> opened = OpenForSharedReading(path);
  if (!opened)
    throw EInOutError(opened.Code() == kNotRegularFile ? kIoAccessDenied
                                                       : OpenErrorCode(opened.Code()));
  FHandle = opened.Value().Release();
  FPosition = FEnd = 0;
  FAtEnd = false;
}

void TextFile::Close() {
  if (FHandle >= 0) ::close(FHandle);
  FHandle = -1;
}

bool TextFile::FillBuffer() {
  if (FAtEnd) return false;
  ssize_t count;
  do {
    count = ::read(FHandle, FBuffer.data(), FBuffer.size());
  } while (count < 0 && errno == EINTR);
  if (count < 0) throw EInOutError(OpenErrorCode(errno));
  FPosition = 0;
  FEnd = static_cast<std::size_t>(count);
  FAtEnd = count == 0;
  return count > 0;
}

int TextFile::PeekByte() {
  if (FPosition == FEnd && !FillBuffer()) return -1;
  return static_cast<unsigned char>(FBuffer[FPosition]);
}

int TextFile::NextByte() {
  const int byte = PeekByte();
  if (byte >= 0) ++FPosition;
  return byte;
}

bool TextFile::Eof() {
  if (!IsOpen()) throw EInOutError(kIoFileNotOpenForInput);
  return PeekByte() < 0;
}

std::string TextFile::ReadLn() {
  if (!IsOpen()) throw EInOutError(kIoFileNotOpenForInput);
  std::string line;
  bool textEnded = false;  // set by Ctrl-Z: the rest of the line is skipped
  for (;;) {
    if (FPosition == FEnd && !FillBuffer()) return line;
    // Plain text up to the next byte that needs a decision is taken in one piece.
    const char* begin = FBuffer.data() + FPosition;
    const char* end = FBuffer.data() + FEnd;
    const char* stop =
        std::find_if(begin, end, [](char c) { return c == '\n' || c == '\r' || c == kCtrlZ; });
    if (!textEnded) {
      if (line.size() + std::size_t(stop - begin) > kMaxLineLength) throw EOutOfMemory();
      line.append(begin, stop);
    }
    FPosition = std::size_t(stop - FBuffer.data());
    if (stop == end) continue;

    const int byte = NextByte();
    if (byte == '\n') return line;
    if (byte == kCtrlZ) textEnded = true;
    if (byte == '\r' && PeekByte() == '\n') {
      NextByte();
      return line;
    }
    // A lone CR belongs to no line.
  }
}

}  // namespace anthora
