#include "runtime/files/FileHandle.h"

#include <unistd.h>

namespace anthora {

FileHandle::~FileHandle() {
  if (FDescriptor >= 0) close(FDescriptor);
}

}  // namespace anthora
