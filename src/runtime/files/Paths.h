#pragma once

#include <string>
#include <string_view>

namespace anthora {

// A path under a folder as the user wrote it; an empty folder or "." is the current one.
std::string JoinPath(std::string_view folder, std::string_view path);

// A path cut before its last name: "a/b/c" is "a/b" and "c", "c" is "" and "c".
struct PathParts {
  std::string Folder;
  std::string Name;
};
PathParts SplitPath(std::string_view path);

// The path made absolute and normal, without a trailing "/" but for the root; an empty path is
// the current folder.
std::string AbsoluteFolder(std::string_view path);

// The last name of the folder a path names, made absolute first, so that "." and "roses/" are
// named too; empty for the root.
std::string FolderName(std::string_view path);

// A path with the folder `from` at its start named `to` instead, as the user sees a file that
// was made in a private folder; any other path as it is.
std::string Renamed(std::string_view path, std::string_view from, std::string_view to);

// A text with every path in it under the folder `from` named under `to` instead.
std::string RenamedIn(std::string text, std::string_view from, std::string_view to);

}  // namespace anthora
