#pragma once

#include <string>

namespace anthora {

// Commands that mend a set file in place, for a teacher to paste into a shell as they are:
// the path is quoted as the shell needs it.

// Removes the byte-order mark at the start of the file.
std::string RemoveByteOrderMarkCommand(const std::string& path);

// Converts the file from UTF-8 to Windows-1251.
std::string ConvertToWindows1251Command(const std::string& path);

}  // namespace anthora
