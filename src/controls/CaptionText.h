#pragma once

#include <string>
#include <string_view>

namespace anthora {

// The caption as the XP controls show it: without its first '&' (only that one character).
inline std::string DisplayCaption(std::string_view caption) {
  std::string text(caption);
  if (const auto ampersand = text.find('&'); ampersand != std::string::npos) {
    text.erase(ampersand, 1);
  }
  return text;
}

// Position of the first '&' counted from 1, or 0 when the caption has none.
inline std::size_t FirstAmpersandPosition(std::string_view caption) {
  const auto ampersand = caption.find('&');
  return ampersand == std::string_view::npos ? 0 : ampersand + 1;
}

}  // namespace anthora
