#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace anthora {

// The folders that ANTHORA_FONT_FOLDERS names, separated by colons, when it is set: then they
// are the only ones where fonts are looked for, by file name and through fontconfig alike, in
// place of the package and desktop folders. It lets tests hide the usual files.
std::optional<std::vector<std::filesystem::path>> NamedFontFolders();

// A scalable face in a font file: the file and the face's index in it.
struct NearestFace {
  std::string Path;  // empty when there is none
  int Index = 0;
};

// The installed scalable face that fontconfig finds nearest to a generic family ("sans-serif",
// "serif", "monospace") in the weight and slant asked for, preferring faces with Cyrillic
// letters. With NamedFontFolders(), only faces in those folders count. None when there is no such
// face or fontconfig cannot be loaded.
NearestFace FindNearestFace(const char* family, bool bold, bool italic);

}  // namespace anthora
