#include "runtime/ui/Accelerator.h"

namespace anthora {

namespace {

char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

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
  return accelerator && UpperAscii(*accelerator) == UpperAscii(character);
}

}  // namespace anthora
