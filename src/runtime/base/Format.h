#pragma once

#include <concepts>
#include <initializer_list>
#include <string>
#include <string_view>

namespace anthora {

// One argument of Format: text as it stands, or an integer as plain decimal text.
class FormatArg {
 public:
  FormatArg(std::string_view text) : FText(text) {}
  FormatArg(const std::string& text) : FText(text) {}
  FormatArg(const char* text) : FText(text) {}
  template <std::integral Integer>
  FormatArg(Integer value) : FText(std::to_string(value)) {}

  const std::string& Text() const { return FText; }

 private:
  std::string FText;
};

// Replaces each "%s" or "%d" of the pattern by the next argument, in order, and "%N$s" or
// "%N$d" by argument N (1 to 9), as a translation that reorders a message writes it; "%%" is
// a percent sign. The runtime's message texts are written with these placeholders.
std::string Format(std::string_view pattern, std::initializer_list<FormatArg> args);

// Decimal text of an integer, as numbers are shown to the user.
std::string IntToStr(long long value);

}  // namespace anthora
