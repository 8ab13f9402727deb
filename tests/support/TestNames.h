#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace anthora::test {

// Text spelled as part of a test name: letters and digits as they are, a space as '_', a few
// signs by name, other bytes as 'x' and two hexadecimal digits; "Empty" for no text.
inline std::string Spelled(std::string_view text) {
  std::string name;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
        (byte >= 'a' && byte <= 'z')) {
      name += c;
    } else if (c == ' ') {
      name += '_';
    } else if (c == '-') {
      name += "Minus";
    } else if (c == '$') {
      name += "Dollar";
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "x%02X", byte);
      name += hex;
    }
  }
  return name.empty() ? "Empty" : name;
}

}  // namespace anthora::test
