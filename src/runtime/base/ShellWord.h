#pragma once

#include <string>
#include <string_view>

namespace anthora {

// A word as a POSIX shell takes it back unchanged when it is pasted into a command: as it is
// when it holds only characters no shell treats specially, otherwise in single quotes, with each
// single quote of it closed, escaped and opened again; an empty word becomes ''.
std::string ShellWord(std::string_view word);

// A path the same way, with "./" in front of one that starts with '-', so that a command never
// takes it for an option: "-x" becomes ./-x.
std::string ShellPath(std::string_view path);

}  // namespace anthora
