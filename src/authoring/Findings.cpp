#include "authoring/Findings.h"

#include <algorithm>

namespace anthora {

std::string Finding::Format() const {
  std::string text = File;
  if (Line > 0) text += ':' + std::to_string(Line);
  text += Severity == Level::Error ? ": error: " : ": warning: ";
  return text + Text;
}

int Findings::Count(Finding::Level severity) const {
  return static_cast<int>(std::count_if(
      All.begin(), All.end(), [severity](const Finding& f) { return f.Severity == severity; }));
}

std::string Findings::Tally() const {
  const auto counted = [](int n, const char* what) {
    if (n == 0) return "no " + std::string(what) + "s";
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
  };
  return counted(Count(Finding::Level::Error), "error") + ", " +
         counted(Count(Finding::Level::Warning), "warning");
}

std::string JoinPath(const std::string& folder, const std::string& path) {
  if (folder.empty() || folder == ".") return path;
  return folder.back() == '/' ? folder + path : folder + '/' + path;
}

}  // namespace anthora
