#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace anthora {

// The runtime's text-to-integer conversion: optional leading blanks, an optional sign, then
// decimal digits or hexadecimal digits after "$", "x", "X", "0x" or "0X". Nothing may follow
// the last digit and the value must fit 32 signed bits.
std::optional<std::int32_t> TryStrToInt(std::string_view text);

// As TryStrToInt; an invalid text raises EConvertError "'%s' is not a valid integer value".
std::int32_t StrToInt(std::string_view text);

}  // namespace anthora
