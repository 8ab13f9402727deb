#pragma once

#include <string>
#include <string_view>

namespace anthora {

// The format code of a spreadsheet's built-in number format, by its id: "0", "0.00", "#,##0",
// "0%", dates and times and the like; "General" for the rest. The short date, which each
// system shows in its own way, is written year first.
std::string_view BuiltInNumberFormat(unsigned id);

// A number as a spreadsheet shows it under a format code: "General" and "@", whole numbers
// padded with zeros ("000"), fixed decimals ("0.00"), percent ("0.0%"), thousands separators
// ("#,##0"), literal text around the number, a second section for negative numbers, and dates
// and times of a serial day number (from 1900, or from 1904 when the workbook says so):
// years, months, days and their English names, hours, minutes, seconds, AM/PM; scientific
// ("0.00E+00") and fractions ("# ?/?"); colours are left out. A code it cannot render
// (conditions, elapsed minutes) shows the number as General does: "2", "0.1", "1e+20".
std::string FormatNumber(double value, std::string_view code, bool date1904 = false);

}  // namespace anthora
