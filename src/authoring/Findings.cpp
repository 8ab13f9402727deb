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

void Findings::SortByLine(std::size_t from) {
  std::stable_sort(All.begin() + static_cast<std::ptrdiff_t>(from), All.end(),
                   [](const Finding& a, const Finding& b) { return a.Line < b.Line; });
}

std::string Counted(int count, const std::string& noun) {
  if (count == 0) return "no " + noun + "s";
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string Findings::Tally() const {
  return Counted(Count(Finding::Level::Error), "error") + ", " +
         Counted(Count(Finding::Level::Warning), "warning");
}

std::string JoinPath(const std::string& folder, const std::string& path) {
  if (folder.empty() || folder == ".") return path;
  return folder.back() == '/' ? folder + path : folder + '/' + path;
}

}  // namespace anthora
