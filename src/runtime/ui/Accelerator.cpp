#include "runtime/ui/Accelerator.h"

#include "runtime/base/Cp1251.h"

namespace anthora {

std::optional<char> AcceleratorOf(std::string_view caption) {
  std::optional<char> accelerator;
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') accelerator = caption[i + 1];
    ++i;  // both characters are taken
  }
  return accelerator;
}

bool IsAccel(char character, std::string_view caption) {
  const auto accelerator = AcceleratorOf(caption);
  return accelerator && AsciiLower(*accelerator) == AsciiLower(character);
}

}  // namespace anthora
