#pragma once

#include <utility>

namespace anthora {

// A file descriptor, closed when it goes.
class FileHandle {
 public:
  explicit FileHandle(int descriptor = -1) : FDescriptor(descriptor) {}
  FileHandle(FileHandle&& other) noexcept : FDescriptor(std::exchange(other.FDescriptor, -1)) {}
  FileHandle& operator=(FileHandle&& other) noexcept {
    std::swap(FDescriptor, other.FDescriptor);
    return *this;
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle();
  int Get() const { return FDescriptor; }
  // Gives the descriptor up to a new owner.
  int Release() { return std::exchange(FDescriptor, -1); }
  explicit operator bool() const { return FDescriptor >= 0; }

 private:
  int FDescriptor;
};

}  // namespace anthora
