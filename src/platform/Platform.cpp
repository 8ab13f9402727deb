#include "platform/Platform.h"

#include <stdexcept>

namespace anthora {

void CheckWindowOptions(const WindowOptions& options) {
  const auto inRange = [](std::int32_t side) { return side >= 1 && side <= kMaxClientSide; };
  if (!inRange(options.ClientWidth) || !inRange(options.ClientHeight))
    throw std::invalid_argument("window client size out of range");
  if (const IconImage* icon = options.Icon) {
    if (!inRange(icon->Width) || !inRange(icon->Height) ||
        icon->Pixels.size() != static_cast<std::size_t>(icon->Width) * icon->Height)
      throw std::invalid_argument("window icon size does not match its pixels");
  }
}

}  // namespace anthora
