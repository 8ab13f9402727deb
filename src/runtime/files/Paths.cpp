#include "runtime/files/Paths.h"

#include <filesystem>

namespace anthora {

std::string JoinPath(std::string_view folder, std::string_view path) {
  if (folder.empty() || folder == ".") return std::string(path);
  std::string joined(folder);
  if (joined.back() != '/') joined += '/';
  return joined.append(path);
}

PathParts SplitPath(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {{}, std::string(path)};
  return {std::string(path.substr(0, slash == 0 ? 1 : slash)), std::string(path.substr(slash + 1))};
}

std::string AbsoluteFolder(std::string_view path) {
  std::filesystem::path folder =
      std::filesystem::absolute(path.empty() ? "." : path).lexically_normal();
  if (!folder.has_filename()) folder = folder.parent_path();  // a name that ended in "/"
  return folder.string();
}

std::string FolderName(std::string_view path) {
  return SplitPath(AbsoluteFolder(path)).Name;
}

std::string Renamed(std::string_view path, std::string_view from, std::string_view to) {
  if (from.empty() || !path.starts_with(from)) return std::string(path);
  const std::string_view rest = path.substr(from.size());
  if (!rest.empty() && rest.front() != '/') return std::string(path);
  return std::string(to).append(rest);
}

std::string RenamedIn(std::string text, std::string_view from, std::string_view to) {
  if (from.empty() || from == to) return text;
  const std::string folder = std::string(from) + '/';
  const std::string shown = std::string(to) + '/';
  for (std::size_t at = text.find(folder); at != std::string::npos;
       at = text.find(folder, at + shown.size()))
    text.replace(at, folder.size(), shown);
  return text;
}

}  // namespace anthora
