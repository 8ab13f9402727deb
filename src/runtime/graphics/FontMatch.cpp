#include "runtime/graphics/FontMatch.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string_view>

namespace anthora {

namespace {

struct FcFree {
  void operator()(FcConfig* config) const { FcConfigDestroy(config); }
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
  void operator()(FcFontSet* fonts) const { FcFontSetDestroy(fonts); }
};
template <typename T>
using FcPtr = std::unique_ptr<T, FcFree>;

const auto* Bytes(const char* text) {
  return reinterpret_cast<const FcChar8*>(text);
}

// A configuration that knows only the fonts in these folders.
FcPtr<FcConfig> ConfigOfFolders(const std::vector<std::filesystem::path>& folders) {
  FcPtr<FcConfig> config(FcConfigCreate());
  if (!config) return config;
  // Where the desktop's configuration keeps what it learnt of font folders, so that looking
  // through them writes no complaint.
  FcConfigParseAndLoadFromMemory(
      config.get(),
      Bytes("<fontconfig><cachedir prefix=\"xdg\">fontconfig</cachedir></fontconfig>"), FcFalse);
  for (const auto& folder : folders) FcConfigAppFontAddDir(config.get(), Bytes(folder.c_str()));
  return config;
}

NearestFace Nearest(FcConfig* config, const char* family, bool bold, bool italic) {
  const FcPtr<FcPattern> pattern(FcPatternCreate());
  if (!pattern) return {};
  FcPatternAddString(pattern.get(), FC_FAMILY, Bytes(family));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddString(pattern.get(), FC_LANG, Bytes("ru"));
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  const FcPtr<FcFontSet> fonts(FcFontSort(config, pattern.get(), FcFalse, nullptr, &result));
  if (!fonts) return {};
  for (int i = 0; i < fonts->nfont; ++i) {
    const FcPattern* font = fonts->fonts[i];
    FcChar8* file = nullptr;
    FcBool scalable = FcFalse;
    int index = 0;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || file == nullptr) continue;
    if (FcPatternGetBool(font, FC_SCALABLE, 0, &scalable) != FcResultMatch || !scalable) continue;
    if (FcPatternGetInteger(font, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    return {reinterpret_cast<const char*>(file), index};
  }
  return {};
}

}  // namespace

std::optional<std::vector<std::filesystem::path>> NamedFontFolders() {
  const char* named = std::getenv("ANTHORA_FONT_FOLDERS");
  if (named == nullptr) return std::nullopt;
  std::vector<std::filesystem::path> folders;
  std::string_view list = named;
  while (!list.empty()) {
    const std::string_view folder = list.substr(0, list.find(':'));
    list.remove_prefix(std::min(list.size(), folder.size() + 1));
    if (!folder.empty()) folders.emplace_back(folder);
  }
  return folders;
}

NearestFace FindNearestFace(const char* family, bool bold, bool italic) {
  try {
    if (const auto folders = NamedFontFolders()) {
      const FcPtr<FcConfig> config = ConfigOfFolders(*folders);
      return config ? Nearest(config.get(), family, bold, italic) : NearestFace{};
    }
    if (!FcInit()) return {};
    return Nearest(nullptr, family, bold, italic);
  } catch (const std::exception&) {
    return {};  // no fontconfig library: no nearest face either
  }
}

}  // namespace anthora
