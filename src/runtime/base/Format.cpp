#include "runtime/base/Format.h"

namespace anthora {

std::string Format(std::string_view pattern, std::initializer_list<FormatArg> args) {
  std::string result;
  result.reserve(pattern.size());
  auto next = args.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    const char following = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    // "%2$s": the second argument, wherever a translation puts it.
    if (c == '%' && following >= '1' && following <= '9' && i + 3 < pattern.size() &&
        pattern[i + 2] == '$' && (pattern[i + 3] == 's' || pattern[i + 3] == 'd')) {
      const std::size_t index = static_cast<std::size_t>(following - '1');
      if (index < args.size()) {
        result += args.begin()[index].Text();
        i += 3;
        continue;
      }
    }
    if (c == '%' && (following == 's' || following == 'd') && next != args.end()) {
      result += (next++)->Text();
      ++i;
    } else if (c == '%' && following == '%') {
      result += '%';
      ++i;
    } else {
      result += c;
    }
  }
  return result;
}

std::string IntToStr(long long value) {
  return std::to_string(value);
}

}  // namespace anthora
