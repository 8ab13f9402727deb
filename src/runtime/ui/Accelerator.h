#pragma once

#include <optional>
#include <string_view>

namespace anthora {

// The accelerator character of a caption: the character after a '&' that is not itself a
// '&' ("&&" stands for one literal '&'); a later one replaces an earlier one, and a '&' at
// the very end marks nothing.
std::optional<char> AcceleratorOf(std::string_view caption);

// True when the character is the caption's accelerator, the letters A to Z compared without
// regard to case, everything else exactly.
bool IsAccel(char character, std::string_view caption);

}  // namespace anthora
