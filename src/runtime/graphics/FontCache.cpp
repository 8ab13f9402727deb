#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "runtime/base/Cp1251.h"
#include "runtime/base/Findings.h"
#include "runtime/files/Paths.h"
#include "runtime/graphics/FontFace.h"
#include "runtime/graphics/FontMatch.h"

namespace anthora {

namespace {

enum class FontKind : std::uint8_t { Sans, Serif, Mono };

// The largest em square drawn; bigger heights are drawn at this size.
constexpr std::int32_t kMaxEmPixels = 512;

FontKind KindOf(std::string_view name) {
  constexpr std::array<std::string_view, 5> serif = {"Times New Roman", "Times", "MS Serif",
                                                     "Georgia", "Liberation Serif"};
  constexpr std::array<std::string_view, 6> mono = {"Courier New", "Courier",  "Lucida Console",
                                                    "Consolas",    "Fixedsys", "Liberation Mono"};
  const auto matches = [name](std::string_view candidate) {
    return SameIgnoringAsciiCase(name, candidate);
  };
  if (std::any_of(serif.begin(), serif.end(), matches)) return FontKind::Serif;
  if (std::any_of(mono.begin(), mono.end(), matches)) return FontKind::Mono;
  return FontKind::Sans;
}

// The em square in pixels for a font height. A positive height is the cell height, which
// the faces here divide as about 0.905 em above the baseline and 0.212 em below; the em is
// rounded down so that the cell never outgrows the height asked for.
std::int32_t EmPixels(std::int32_t height) {
  std::int64_t em = 11;
  if (height < 0) em = -std::int64_t{height};
  if (height > 0) em = std::int64_t{height} * 1000 / 1117;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(em, 1, kMaxEmPixels));
}

struct FontFile {
  std::string Path;
  int Index = 0;
};

// The file names of a face of each kind in each style (regular, bold, italic, bold italic):
// Liberation first, then DejaVu, so that the choice does not depend on what else is installed.
// DejaVu's smallest package has no slanted faces; the upright one of the weight stands in.
using StyleNames = std::array<const char*, 4>;
constexpr std::array<std::array<StyleNames, 2>, 3> kFileNames = {{
    {{{"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf", "LiberationSans-Italic.ttf",
       "LiberationSans-BoldItalic.ttf"},
      {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf",
       "DejaVuSans-BoldOblique.ttf"}}},
    {{{"LiberationSerif-Regular.ttf", "LiberationSerif-Bold.ttf", "LiberationSerif-Italic.ttf",
       "LiberationSerif-BoldItalic.ttf"},
      {"DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf", "DejaVuSerif-Italic.ttf",
       "DejaVuSerif-BoldItalic.ttf"}}},
    {{{"LiberationMono-Regular.ttf", "LiberationMono-Bold.ttf", "LiberationMono-Italic.ttf",
       "LiberationMono-BoldItalic.ttf"},
      {"DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf", "DejaVuSansMono-Oblique.ttf",
       "DejaVuSansMono-BoldOblique.ttf"}}},
}};

// Where Debian's font packages put the two families: looked at first, without a search.
constexpr std::array<const char*, 2> kPackageFolders = {"/usr/share/fonts/truetype/liberation2",
                                                        "/usr/share/fonts/truetype/dejavu"};

// The file of that name: in the package folders, else anywhere among the desktop's fonts.
std::string FindFileNamed(std::string_view name) {
  if (const auto folders = NamedFontFolders()) return FindFontFile(name, *folders);
  for (const char* folder : kPackageFolders) {
    std::string path = JoinPath(folder, name);
    if (access(path.c_str(), R_OK) == 0) return path;
  }
  return FindFontFile(name, DesktopFontFolders(std::getenv("HOME"), std::getenv("XDG_DATA_HOME"),
                                               std::getenv("XDG_DATA_DIRS")));
}

FontFile FindFileByName(FontKind kind, bool bold, bool italic) {
  const std::size_t style = (bold ? 1 : 0) + (italic ? 2 : 0);
  for (const StyleNames& names : kFileNames[static_cast<std::size_t>(kind)]) {
    for (const std::size_t choice : {style, style & 1}) {
      if (std::string path = FindFileNamed(names[choice]); !path.empty()) return {path, 0};
    }
  }
  return {};
}

// The usual files first; without them the nearest face that fontconfig knows; a face of
// another kind is better than no text at all.
FontFile FindFile(FontKind kind, bool bold, bool italic) {
  if (FontFile file = FindFileByName(kind, bold, italic); !file.Path.empty()) return file;
  if (kind != FontKind::Sans) {
    if (FontFile file = FindFileByName(FontKind::Sans, bold, italic); !file.Path.empty())
      return file;
  }
  constexpr std::array<const char*, 3> families = {"sans-serif", "serif", "monospace"};
  const NearestFace nearest =
      FindNearestFace(families[static_cast<std::size_t>(kind)], bold, italic);
  return {nearest.Path, nearest.Index};
}

// FindFile once for each kind and style: a search through the folders or through fontconfig
// costs more than a face of one more size.
const FontFile& FindFileOnce(FontKind kind, bool bold, bool italic) {
  static std::map<std::tuple<FontKind, bool, bool>, FontFile> files;
  const auto key = std::make_tuple(kind, bold, italic);
  if (const auto found = files.find(key); found != files.end()) return found->second;
  return files.emplace(key, FindFile(kind, bold, italic)).first->second;
}

struct FaceKey {
  FontKind Kind = FontKind::Sans;
  bool Bold = false;
  bool Italic = false;
  std::int32_t EmPixels = 0;
  friend bool operator==(const FaceKey&, const FaceKey&) = default;
};

FaceKey KeyOf(const TFont& font) {
  return {KindOf(font.Name()), font.Style().Contains(fsBold), font.Style().Contains(fsItalic),
          EmPixels(font.Height())};
}

struct CachedFace {
  FaceKey Key;
  std::unique_ptr<FontFace> Face;
};

}  // namespace

std::vector<std::filesystem::path> DesktopFontFolders(const char* home, const char* dataHome,
                                                      const char* dataDirs) {
  std::vector<std::filesystem::path> folders;
  const auto absolute = [](const char* path) { return path != nullptr && *path == '/'; };
  if (absolute(dataHome)) {
    folders.emplace_back(std::filesystem::path(dataHome) / "fonts");
  } else if (absolute(home)) {
    folders.emplace_back(std::filesystem::path(home) / ".local/share/fonts");
  }
  if (absolute(home)) folders.emplace_back(std::filesystem::path(home) / ".fonts");
  std::string_view dirs =
      dataDirs != nullptr && *dataDirs != '\0' ? dataDirs : "/usr/local/share:/usr/share";
  while (!dirs.empty()) {
    const std::string_view dir = dirs.substr(0, dirs.find(':'));
    dirs.remove_prefix(std::min(dirs.size(), dir.size() + 1));
    if (dir.starts_with('/')) folders.emplace_back(std::filesystem::path(dir) / "fonts");
  }
  return folders;
}

namespace {

// Looks through a folder and, first, through every folder under it, linked ones included;
// a folder reached twice (a link back up) is looked through once.
std::string FindBelow(std::string_view name, const std::filesystem::path& folder,
                      std::set<std::pair<dev_t, ino_t>>& seen) {
  struct stat status {};
  if (stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return {};
  if (!seen.insert({status.st_dev, status.st_ino}).second) return {};
  std::error_code error;
  for (std::filesystem::directory_iterator
           it(folder, std::filesystem::directory_options::skip_permission_denied, error),
       end;
       !error && it != end; it.increment(error)) {
    const std::filesystem::path& path = it->path();
    if (it->is_directory(error)) {
      if (std::string found = FindBelow(name, path, seen); !found.empty()) return found;
    } else if (path.filename() == name && it->is_regular_file(error) &&
               access(path.c_str(), R_OK) == 0) {
      return path.string();
    }
  }
  return {};
}

}  // namespace

std::string FindFontFile(std::string_view name, std::span<const std::filesystem::path> folders) {
  std::set<std::pair<dev_t, ino_t>> seen;
  for (const auto& folder : folders) {
    if (std::string found = FindBelow(name, folder, seen); !found.empty()) return found;
  }
  return {};
}

const FontFace& FindFontFace(const TFont& font) {
  static std::vector<CachedFace> faces;
  const FaceKey key = KeyOf(font);
  for (const CachedFace& cached : faces) {
    if (cached.Key == key) return *cached.Face;
  }
  const FontFile& file = FindFileOnce(key.Kind, key.Bold, key.Italic);
  auto face = std::make_unique<FontFace>(file.Path.empty() ? nullptr : file.Path.c_str(),
                                         file.Index, key.EmPixels);
  faces.push_back({key, std::move(face)});
  return *faces.back().Face;
}

bool SameFace(const TFont& a, const TFont& b) {
  return a.Height() == b.Height() && a.Style().Contains(fsBold) == b.Style().Contains(fsBold) &&
         a.Style().Contains(fsItalic) == b.Style().Contains(fsItalic) && a.Name() == b.Name();
}

}  // namespace anthora
