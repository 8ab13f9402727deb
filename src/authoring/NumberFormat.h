#pragma once

#include <string>
#include <string_view>

namespace anthora {

// The format code of a spreadsheet's built-in number format, by its id: "0", "0.00", "#,##0",
// "0%" and the like; "General" for the rest, dates among them.
std::string_view BuiltInNumberFormat(unsigned id);

// A number as a spreadsheet shows it under a format code: "General" and "@", whole numbers
// padded with zeros ("000"), fixed decimals ("0.00"), percent ("0.0%"), thousands separators
// ("#,##0"), literal text around the number, and a second section for negative numbers. A code
// it cannot render (dates, fractions, exponents, conditions) shows the number as General does:
// "2", "0.1", "1e+20".
std::string FormatNumber(double value, std::string_view code);

}  // namespace anthora
