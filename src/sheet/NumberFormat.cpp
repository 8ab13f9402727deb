// Sections: the general format; number patterns, grouped, scientific and fraction forms;
// sections of a code; dates and times; the built-in formats; the entry point.
#include "sheet/NumberFormat.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

#include "runtime/base/Cp1251.h"

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
  return SameIgnoringAsciiCase(section, kGeneral);
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
  bool Number = true;             // false for a section of text alone, such as "-" for zero
  std::size_t IntegerPlaces = 0;  // '0', '#' and '?' before the point
  bool Exponent = false;          // "E+00": scientific, the sign and digits of the exponent
  char ExponentSign = '+';        // '+' shows the sign always, '-' only when negative
  std::size_t ExponentZeros = 0;
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
        ++pattern.IntegerPlaces;
      }
    } else if ((c == 'E' || c == 'e') && inNumber && !pattern.Exponent && i + 1 < section.size() &&
               (section[i + 1] == '+' || section[i + 1] == '-')) {
      pattern.Exponent = true;
      pattern.ExponentSign = section[++i];
      while (i + 1 < section.size() && Placeholder(section[i + 1]))
        pattern.ExponentZeros += section[++i] == '0';
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

// A number in scientific form: the mantissa as the pattern renders it, then the exponent. With
// more integer places than zeros among them ("##0.0E+0") the exponent is a multiple of the
// places.
std::optional<std::string> RenderedScientific(double magnitude, const Pattern& pattern) {
  const int step = pattern.IntegerPlaces > 1 && pattern.IntegerPlaces > pattern.IntegerZeros
                       ? static_cast<int>(pattern.IntegerPlaces)
                       : 1;
  const int width =
      step > 1 ? step : static_cast<int>(std::max<std::size_t>(pattern.IntegerZeros, 1));
  int exponent = magnitude > 0 ? static_cast<int>(std::floor(std::log10(magnitude))) : 0;
  exponent = step > 1 ? static_cast<int>(std::floor(exponent / static_cast<double>(step))) * step
                      : exponent - (width - 1);
  const double scale = std::pow(10.0, static_cast<double>(pattern.MaxDecimals));
  double mantissa = std::round(magnitude / std::pow(10.0, exponent) * scale) / scale;
  if (mantissa >= std::pow(10.0, width)) {
    exponent += step;
    mantissa = std::round(mantissa / std::pow(10.0, step) * scale) / scale;
  }
  Pattern plain = pattern;
  plain.Exponent = false;
  plain.After.clear();
  const std::optional<std::string> text = Rendered(mantissa, plain);
  if (!text) return std::nullopt;
  std::string digits = std::to_string(std::abs(exponent));
  if (digits.size() < pattern.ExponentZeros)
    digits.insert(0, pattern.ExponentZeros - digits.size(), '0');
  const std::string sign = exponent < 0 ? "-" : pattern.ExponentSign == '+' ? "+" : "";
  return *text + "E" + sign + digits + pattern.After;
}

bool Placeholders(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), Placeholder);
}

// A number as a fraction, "# ?/?" (a whole part, then the fraction), "?/?" (the fraction alone)
// or with a fixed denominator ("# ?/8"); none for another section. The denominator is the one
// of at most as many digits as it has places that comes nearest.
std::optional<std::string> RenderedFraction(double magnitude, std::string_view section) {
  while (section.starts_with('[')) {  // a colour
    const std::size_t end = section.find(']');
    if (end == std::string_view::npos) return std::nullopt;
    section.remove_prefix(end + 1);
  }
  const std::size_t slash = section.find('/');
  if (slash == std::string_view::npos || !(magnitude < kMaxFixed)) return std::nullopt;
  const std::string_view left = section.substr(0, slash);
  const std::string_view right = section.substr(slash + 1);
  const std::size_t space = left.find(' ');
  const std::string_view whole = space == std::string_view::npos ? "" : left.substr(0, space);
  const std::string_view numerator =
      space == std::string_view::npos ? left : left.substr(left.find_last_of(' ') + 1);
  const bool fixed = !right.empty() &&
                     right.find_first_not_of("0123456789") == std::string_view::npos &&
                     right.front() != '0';
  if ((!whole.empty() && !Placeholders(whole)) || !Placeholders(numerator) ||
      (!fixed && !Placeholders(right)) || right.size() > 4)
    return std::nullopt;
  const double integer = whole.empty() ? 0 : std::floor(magnitude);
  const double part = magnitude - integer;
  long long denominator = 1;
  if (fixed) {
    denominator = std::stoll(std::string(right));
  } else {
    const long long most = static_cast<long long>(std::pow(10.0, right.size())) - 1;
    double best = 2;
    for (long long d = 1; d <= most; ++d) {
      const double error =
          std::abs(part - std::round(part * static_cast<double>(d)) / static_cast<double>(d));
      if (error < best - 1e-12) best = error, denominator = d;
    }
  }
  long long top = std::llround(part * static_cast<double>(denominator));
  std::string out;
  if (!whole.empty()) {
    long long count = static_cast<long long>(integer);
    if (top == denominator) ++count, top = 0;
    if (top == 0)
      return std::to_string(count) + std::string(numerator.size() + right.size() + 2, ' ');
    out = (count == 0 && whole.find('0') == std::string_view::npos ? "" : std::to_string(count)) +
          " ";
  }
  std::string over = std::to_string(top);
  std::string under = std::to_string(denominator);
  if (!whole.empty()) {
    if (over.size() < numerator.size()) over.insert(0, numerator.size() - over.size(), ' ');
    if (under.size() < right.size()) under.append(right.size() - under.size(), ' ');
  }
  return out + over + "/" + under;
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

constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};
constexpr const char* kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};
constexpr double kMaxSerial = 2958466;  // the day after 31 December 9999

struct Date {
  int Year;
  unsigned Month, Day, Weekday;  // Month and Day from 1, Weekday from 0 for Sunday
};

Date DateOfSerial(long serial, bool date1904) {
  // Day 1 is 1 January 1900, and day 60 the 29 February that year never had; from 1904, day 0
  // is 1 January 1904.
  if (!date1904 && serial == 60) return {1900, 2, 29, 3};
  if (!date1904 && serial == 0) return {1900, 1, 0, 6};
  const long fromEpoch = (date1904 ? serial + 1462 : serial < 61 ? serial + 1 : serial) - 25'569;
  const std::chrono::sys_days day{std::chrono::days{fromEpoch}};
  const std::chrono::year_month_day date{day};
  return {static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
          static_cast<unsigned>(date.day()), std::chrono::weekday(day).c_encoding()};
}

std::string Padded(long value, std::size_t width) {
  std::string text = std::to_string(value);
  return std::string(text.size() < width ? width - text.size() : 0, '0') + text;
}

// A colour of a section: "Red", "Color12" and the like, in any letter case.
bool IsColour(std::string_view name) {
  for (const std::string_view colour :
       {"black", "blue", "cyan", "green", "magenta", "red", "white", "yellow"}) {
    if (SameIgnoringAsciiCase(name, colour)) return true;
  }
  return name.size() > 5 && SameIgnoringAsciiCase(name.substr(0, 5), "color") &&
         name.substr(5).find_first_not_of("0123456789") == std::string_view::npos;
}

bool IsDateLetter(char c) {
  const char lower = AsciiLower(c);
  return lower == 'y' || lower == 'm' || lower == 'd' || lower == 'h' || lower == 's';
}

// A section as a date or a time, or none when it is no such section or the value is no date.
std::optional<std::string> RenderedDate(double value, std::string_view section, bool date1904) {
  bool quoted = false;
  bool dated = false;
  for (std::size_t i = 0; i < section.size(); ++i) {
    if (section[i] == '"') quoted = !quoted;
    if (section[i] == '[' && !quoted) i = std::min(section.find(']', i), section.size());
    dated = dated || (!quoted && i < section.size() && IsDateLetter(section[i]));
  }
  if (!dated || value < 0 || !(value < kMaxSerial)) return std::nullopt;
  // Rounded to the second, as shown.
  const auto seconds = static_cast<long long>(std::llround(value * 86'400));
  const Date date = DateOfSerial(static_cast<long>(seconds / 86'400), date1904);
  const long long ofDay = seconds % 86'400;
  const bool twelveHours = section.find("AM/PM") != std::string_view::npos ||
                           section.find("am/pm") != std::string_view::npos;
  std::string out;
  char last = 0;  // the last of y, m, d, h, s read: "m" after "h" or before "s" is minutes
  for (std::size_t i = 0; i < section.size();) {
    const char c = section[i];
    const char lower = AsciiLower(c);
    std::size_t run = 1;
    while (i + run < section.size() &&
           (section[i + run] == c || section[i + run] == lower - 0x20 || section[i + run] == lower))
      ++run;
    if (c == '"') {
      const std::size_t end = section.find('"', i + 1);
      if (end == std::string_view::npos) return std::nullopt;
      out += section.substr(i + 1, end - i - 1);
      i = end + 1;
      continue;
    }
    if (c == '\\' && i + 1 < section.size()) {
      out += section[i + 1];
      i += 2;
      continue;
    }
    if (c == '[') {
      const std::size_t end = section.find(']', i);
      if (end == std::string_view::npos) return std::nullopt;
      const std::string_view inside = section.substr(i + 1, end - i - 1);
      if (!inside.empty() && (inside[0] == 'h' || inside[0] == 'H')) {
        out += Padded(seconds / 3600, inside.size());
        last = 'h';
      } else if (!inside.empty() && inside[0] != '$' && !IsColour(inside)) {
        return std::nullopt;  // elapsed minutes or seconds, a condition
      }
      i = end + 1;  // a colour is left out
      continue;
    }
    if (section.substr(i, 5) == "AM/PM" || section.substr(i, 5) == "am/pm") {
      out += ofDay < 43'200 ? "AM" : "PM";
      i += 5;
      continue;
    }
    const bool minutes = lower == 'm' && run <= 2 &&
                         (last == 'h' || section.substr(i + run).find_first_of("sS") <
                                             section.substr(i + run).find_first_of("dDyYhH"));
    if (lower == 'y') {
      out += run <= 2 ? Padded(date.Year % 100, 2) : Padded(date.Year, 4);
    } else if (minutes) {
      out += Padded(ofDay / 60 % 60, run);
    } else if (lower == 'm') {
      const std::string name = kMonths[date.Month - 1];
      out += run <= 2   ? Padded(date.Month, run)
             : run == 3 ? name.substr(0, 3)
             : run == 4 ? name
                        : name.substr(0, 1);
    } else if (lower == 'd') {
      const std::string name = kWeekdays[date.Weekday];
      out += run <= 2 ? Padded(date.Day, run) : run == 3 ? name.substr(0, 3) : name;
    } else if (lower == 'h') {
      const long long hours = ofDay / 3600;
      out += Padded(twelveHours ? (hours + 11) % 12 + 1 : hours, std::min<std::size_t>(run, 2));
    } else if (lower == 's') {
      out += Padded(ofDay % 60, std::min<std::size_t>(run, 2));
    } else if (c == '0' || c == '#' || c == '?' || c == '@' || c == '*' || c == '_' ||
               (lower >= 'a' && lower <= 'z')) {
      return std::nullopt;  // a number, text or a letter of another kind amid the date
    } else {
      out += section.substr(i, run);
    }
    if (IsDateLetter(c)) last = minutes ? 'm' : lower;
    i += run;
  }
  return out;
}

}  // namespace

std::string_view BuiltInNumberFormat(unsigned id) {
  static constexpr std::pair<unsigned, std::string_view> kCodes[] = {
      {1, "0"},
      {2, "0.00"},
      {3, "#,##0"},
      {4, "#,##0.00"},
      {9, "0%"},
      {10, "0.00%"},
      {14, "yyyy-mm-dd"},
      {15, "d-mmm-yy"},
      {16, "d-mmm"},
      {17, "mmm-yy"},
      {18, "h:mm AM/PM"},
      {19, "h:mm:ss AM/PM"},
      {20, "h:mm"},
      {21, "h:mm:ss"},
      {22, "yyyy-mm-dd h:mm"},
      {37, "#,##0 ;(#,##0)"},
      {38, "#,##0 ;[Red](#,##0)"},
      {39, "#,##0.00;(#,##0.00)"},
      {40, "#,##0.00;[Red](#,##0.00)"},
      {45, "mm:ss"},
      {46, "[h]:mm:ss"},
      {49, "@"}};
  for (const auto& [known, code] : kCodes) {
    if (known == id) return code;
  }
  return "General";
}

std::string FormatNumber(double value, std::string_view code, bool date1904) {
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
  if (std::optional<std::string> date = RenderedDate(value, sections[0], date1904)) return *date;
  if (std::optional<std::string> fraction = RenderedFraction(magnitude, section))
    return (minus ? "-" : "") + *fraction;
  const std::optional<Pattern> pattern = ReadPattern(section);
  const std::optional<std::string> text = !pattern ? std::nullopt
                                          : pattern->Exponent
                                              ? RenderedScientific(magnitude, *pattern)
                                              : Rendered(magnitude, *pattern);
  if (!text) return General(value);
  return (minus ? "-" : "") + *text;
}

}  // namespace anthora
