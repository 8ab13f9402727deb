#include "authoring/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

namespace anthora {

namespace {

constexpr std::size_t kMaxCode = 255;   // longer codes are shown as General
constexpr std::size_t kMaxDigits = 30;  // zeros a code may pad to, either side of the point
constexpr double kMaxFixed = 1e15;      // beyond this, digits are no longer exact

std::string General(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

bool IsGeneral(std::string_view section) {
  constexpr std::string_view kGeneral = "general";
  return std::equal(section.begin(), section.end(), kGeneral.begin(), kGeneral.end(),
                    [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a + 0x20 : a) == b; });
}

// The number part of a section and the literal text around it.
struct Pattern {
  std::string Before, After;
  std::size_t IntegerZeros = 0;  // '0' before the point: digits always shown
  bool Grouped = false;          // a ',' between digits: thousands separated
  std::size_t MinDecimals = 0;   // '0' after the point
  std::size_t MaxDecimals = 0;   // '0', '#' and '?' after the point
  bool Point = false;
  int Percents = 0;
  bool Number = true;  // false for a section of text alone, such as "-" for zero
};

bool Placeholder(char c) {
  return c == '0' || c == '#' || c == '?';
}

// The pattern of one section; none for what it cannot render.
std::optional<Pattern> ReadPattern(std::string_view section) {
  Pattern pattern;
  bool inNumber = false;  // between the first and the last placeholder
  bool afterNumber = false;
  const auto literal = [&](std::string_view text) {
    (inNumber || afterNumber ? pattern.After : pattern.Before) += text;
    if (inNumber) afterNumber = true, inNumber = false;
  };
  for (std::size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (Placeholder(c) || (c == '.' && !pattern.Point) || (c == ',' && inNumber)) {
      if (afterNumber) return std::nullopt;  // literal text inside the number
      inNumber = true;
      if (c == '.') {
        pattern.Point = true;
      } else if (c == ',') {
        if (i + 1 >= section.size() || !Placeholder(section[i + 1])) return std::nullopt;
        pattern.Grouped = true;
      } else if (pattern.Point) {
        ++pattern.MaxDecimals;
        pattern.MinDecimals += c == '0' && pattern.MinDecimals + 1 == pattern.MaxDecimals;
      } else {
        pattern.IntegerZeros += c == '0';
      }
    } else if (c == '"') {
      const std::size_t end = section.find('"', i + 1);
      if (end == std::string_view::npos) return std::nullopt;
      literal(section.substr(i + 1, end - i - 1));
      i = end;
    } else if (c == '\\' && i + 1 < section.size()) {
      literal(section.substr(++i, 1));
    } else if (c == '_' && i + 1 < section.size()) {
      ++i;
      literal(" ");  // room as wide as the next character
    } else if (c == '*' && i + 1 < section.size()) {
      ++i;  // a fill to the cell's width
    } else if (c == '[') {
      const std::size_t end = section.find(']', i);
      if (end == std::string_view::npos) return std::nullopt;
      const std::string_view inside = section.substr(i + 1, end - i - 1);
      if (inside.starts_with('$')) {
        literal(inside.substr(1, inside.find('-') - 1));  // a currency: "[$€-407]" shows "€"
      } else if (inside.empty() || inside.find_first_of("<>=") == 0 ||
                 inside.find_first_not_of("hmsHMS") == std::string_view::npos) {
        return std::nullopt;  // a condition or a time span
      }
      i = end;  // a colour is left out
    } else if (c == '%') {
      ++pattern.Percents;
      literal("%");
    } else if (c == ' ' || c == '-' || c == '+' || c == '(' || c == ')' || c == ':' || c == '/' ||
               c == '$' || c == '\'' || static_cast<unsigned char>(c) >= 0x80) {
      literal(section.substr(i, 1));
    } else {
      return std::nullopt;  // a date, a time, an exponent, a fraction or text
    }
  }
  if (pattern.IntegerZeros > kMaxDigits || pattern.MaxDecimals > kMaxDigits || pattern.Percents > 2)
    return std::nullopt;
  pattern.Number = inNumber || afterNumber;
  return pattern;
}

// "1,234,567" from "1234567".
std::string Grouped(const std::string& digits) {
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::optional<std::string> Rendered(double magnitude, const Pattern& pattern) {
  if (!pattern.Number) return pattern.Before;
  for (int k = 0; k < pattern.Percents; ++k) magnitude *= 100;
  if (!(magnitude < kMaxFixed)) return std::nullopt;
  // Halves round away from zero, as in a spreadsheet, where the digits are exact.
  const int places = static_cast<int>(std::min<std::size_t>(pattern.MaxDecimals, 15));
  const double scale = std::pow(10.0, places);
  if (magnitude * scale < kMaxFixed) magnitude = std::round(magnitude * scale) / scale;
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", places, magnitude);
  std::string fixed = text;
  const std::size_t point = fixed.find('.');
  std::string integer = fixed.substr(0, point);
  std::string decimals = point == std::string::npos ? "" : fixed.substr(point + 1);
  decimals.resize(pattern.MaxDecimals, '0');
  while (decimals.size() > pattern.MinDecimals && decimals.back() == '0') decimals.pop_back();
  if (integer == "0") integer.clear();
  if (integer.size() < pattern.IntegerZeros)
    integer.insert(0, pattern.IntegerZeros - integer.size(), '0');
  if (pattern.Grouped) integer = Grouped(integer);
  std::string out = pattern.Before + integer;
  if (pattern.Point && (!decimals.empty() || pattern.MaxDecimals == 0)) out += '.';
  return out + decimals + pattern.After;
}

// The sections of a code, split at ';' outside quotes.
std::vector<std::string_view> Sections(std::string_view code) {
  std::vector<std::string_view> sections;
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < code.size(); ++i) {
    if (code[i] == '"') quoted = !quoted;
    if (code[i] == '\\') ++i;
    if (!quoted && i < code.size() && code[i] == ';') {
      sections.push_back(code.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(code.substr(start));
  return sections;
}

}  // namespace

std::string_view BuiltInNumberFormat(unsigned id) {
  switch (id) {
    case 1:
      return "0";
    case 2:
      return "0.00";
    case 3:
      return "#,##0";
    case 4:
      return "#,##0.00";
    case 9:
      return "0%";
    case 10:
      return "0.00%";
    case 37:
      return "#,##0 ;(#,##0)";
    case 38:
      return "#,##0 ;[Red](#,##0)";
    case 39:
      return "#,##0.00;(#,##0.00)";
    case 40:
      return "#,##0.00;[Red](#,##0.00)";
    case 49:
      return "@";
    default:
      return "General";
  }
}

std::string FormatNumber(double value, std::string_view code) {
  if (!std::isfinite(value) || code.size() > kMaxCode) return General(value);
  const std::vector<std::string_view> sections = Sections(code);
  std::string_view section = sections[0];
  double magnitude = value;
  bool minus = false;
  if (value < 0 && sections.size() > 1) {
    section = sections[1];  // negative numbers have their own section, which shows the sign
    magnitude = -value;
  } else if (value == 0 && sections.size() > 2) {
    section = sections[2];
  } else if (value < 0) {
    magnitude = -value;
    minus = true;
  }
  if (IsGeneral(section) || section == "@" || section.empty()) return General(value);
  const std::optional<Pattern> pattern = ReadPattern(section);
  const std::optional<std::string> text = pattern ? Rendered(magnitude, *pattern) : std::nullopt;
  if (!text) return General(value);
  return (minus ? "-" : "") + *text;
}

}  // namespace anthora
