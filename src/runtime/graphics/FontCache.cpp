#include <fontconfig/fontconfig.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "runtime/graphics/FontFace.h"

namespace anthora {

namespace {

enum class FontKind : std::uint8_t { Sans, Serif, Mono };

// The largest em square drawn; bigger heights are drawn at this size.
constexpr std::int32_t kMaxEmPixels = 512;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

FontKind KindOf(std::string_view name) {
  constexpr std::array<std::string_view, 5> serif = {"Times New Roman", "Times", "MS Serif",
                                                     "Georgia", "Liberation Serif"};
  constexpr std::array<std::string_view, 6> mono = {"Courier New", "Courier",  "Lucida Console",
                                                    "Consolas",    "Fixedsys", "Liberation Mono"};
  const auto matches = [name](std::string_view candidate) {
    return EqualsIgnoringCase(name, candidate);
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

// The file of the family in the weight and slant, only if fontconfig has that very family.
FontFile MatchFamily(const char* family, bool bold, bool italic, bool anyFamily) {
  FontFile file;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  if (match) {
    FcChar8* matchedFamily = nullptr;
    FcChar8* path = nullptr;
    const bool found = FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily) == FcResultMatch &&
                       FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch;
    if (found &&
        (anyFamily || EqualsIgnoringCase(reinterpret_cast<const char*>(matchedFamily), family))) {
      file.Path = reinterpret_cast<const char*>(path);
      FcPatternGetInteger(match, FC_INDEX, 0, &file.Index);
    }
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return file;
}

// The file where the Liberation fonts package puts the face. Opening it directly spares the
// start of fontconfig, which parses its whole configuration: most of the program's start-up.
FontFile InstalledLiberationFile(FontKind kind, bool bold, bool italic) {
  constexpr std::array<const char*, 3> families = {"LiberationSans", "LiberationSerif",
                                                   "LiberationMono"};
  constexpr std::array<const char*, 4> styles = {"Regular", "Bold", "Italic", "BoldItalic"};
  std::string path = std::string("/usr/share/fonts/truetype/liberation2/") +
                     families[static_cast<std::size_t>(kind)] + "-" +
                     styles[(bold ? 1 : 0) + (italic ? 2 : 0)] + ".ttf";
  if (access(path.c_str(), R_OK) != 0) path.clear();
  return {path, 0};
}

// Liberation first, then DejaVu, so that the choice does not depend on what else is installed;
// only when neither is there does fontconfig's own choice serve.
FontFile FindFile(FontKind kind, bool bold, bool italic) {
  if (FontFile file = InstalledLiberationFile(kind, bold, italic); !file.Path.empty()) {
    return file;
  }
  // Fontconfig's configuration is released at exit, once no pattern is held any more.
  static const bool ready = FcInit() == FcTrue && std::atexit(FcFini) == 0;
  if (!ready) return {};
  constexpr std::array<std::array<const char*, 2>, 3> families = {{
      {"Liberation Sans", "DejaVu Sans"},
      {"Liberation Serif", "DejaVu Serif"},
      {"Liberation Mono", "DejaVu Sans Mono"},
  }};
  for (const char* family : families[static_cast<std::size_t>(kind)]) {
    FontFile file = MatchFamily(family, bold, italic, false);
    if (!file.Path.empty()) return file;
  }
  return MatchFamily("sans-serif", bold, italic, true);
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

const FontFace& FindFontFace(const TFont& font) {
  static std::vector<CachedFace> faces;
  const FaceKey key = KeyOf(font);
  for (const CachedFace& cached : faces) {
    if (cached.Key == key) return *cached.Face;
  }
  const FontFile file = FindFile(key.Kind, key.Bold, key.Italic);
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
