#pragma once

#include <string_view>

namespace anthora {

// A path the system can be asked about: not empty and without a NUL byte, which would
// otherwise make it stand for the shorter path before the NUL.
bool IsPlainPath(std::string_view path);

// True when the path names an existing file that is not a folder. A path that is not plain
// never exists.
bool FileExists(std::string_view path);

// The reason OpenForSharedReading gives for a pipe, a device or any other file that is neither
// a regular file nor a folder (a folder gives EISDIR).
inline constexpr int kNotRegularFile = -1;

// Opens a plain path of a regular file read-only, never waiting (a named pipe cannot hang the
// open), with a shared lock that lets other readers in and keeps cooperating writers out. The
// handle, or -1 with the reason in error: an errno value, EWOULDBLOCK when a writer holds the
// file, or kNotRegularFile.
int OpenForSharedReading(std::string_view path, int& error);

}  // namespace anthora
