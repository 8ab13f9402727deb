#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/graphics/Font.h"

namespace anthora {

// A rendered character: grey coverage (0 clear .. 255 covered), placed relative to the pen
// position on the baseline.
struct Glyph {
  std::int32_t Left = 0;  // from the pen position to the first column
  std::int32_t Top = 0;   // from the baseline up to the first row
  std::int32_t Width = 0;
  std::int32_t Rows = 0;
  std::int32_t Advance = 0;
  std::vector<std::uint8_t> Coverage;  // Rows x Width
};

// One font file at one pixel size, with the glyphs of all 256 Windows-1251 bytes rendered on
// first use and kept. The cell height is the rounded-up ascent plus the rounded-up descent;
// for a negative font height h the em square is -h pixels, so "MS Sans Serif" at -11
// (Liberation Sans, ascent 0.905 em, descent 0.212 em) has a cell of 10 + 3 = 13 pixels.
class FontFace {
 public:
  FontFace(const char* file, int index, std::int32_t emPixels);
  ~FontFace();
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  // Whether it draws anything: false when no font file was found or it could not be opened.
  bool Usable() const { return FFace != nullptr; }
  std::int32_t Ascent() const { return FAscent; }
  std::int32_t Descent() const { return FDescent; }
  std::int32_t CellHeight() const { return FAscent + FDescent; }
  // Below the baseline to the underline's first row; above the baseline to the strike-out's.
  std::int32_t UnderlineOffset() const { return FUnderlineOffset; }
  std::int32_t StrikeOutOffset() const { return FStrikeOutOffset; }
  std::int32_t LineThickness() const { return FLineThickness; }

  const Glyph& GlyphOf(unsigned char byte) const;
  std::int64_t TextWidth(std::string_view text) const;

 private:
  void Render(unsigned char byte) const;

  void* FFace = nullptr;  // the FreeType face, shared by every size of the file; none when
                          // the file could not be opened
  void* FSize = nullptr;  // the face's size object for this size
  std::int32_t FAscent = 0;
  std::int32_t FDescent = 0;
  std::int32_t FUnderlineOffset = 1;
  std::int32_t FStrikeOutOffset = 0;
  std::int32_t FLineThickness = 1;
  mutable std::array<Glyph, 256> FGlyphs;
  mutable std::array<bool, 256> FRendered{};
};

// The face for a font's name, height and weight and slant, made once and kept for the
// process. "MS Sans Serif", "Arial" and other sans names are drawn with Liberation Sans,
// serif names with Liberation Serif, fixed-pitch names with Liberation Mono; DejaVu stands
// in when Liberation is missing. The files are looked for where Debian's packages put them,
// then in the desktop's font folders (XDG_DATA_HOME/fonts, ~/.fonts, XDG_DATA_DIRS/fonts);
// without either family, fontconfig gives the nearest scalable face of the kind.
const FontFace& FindFontFace(const TFont& font);

// The folders the desktop keeps fonts in, in the order it looks at them, from the values of
// HOME, XDG_DATA_HOME and XDG_DATA_DIRS (each may be null); relative paths count as unset.
std::vector<std::filesystem::path> DesktopFontFolders(const char* home, const char* dataHome,
                                                      const char* dataDirs);
// The first readable file of that name in the folders and every folder under them, linked
// folders included; empty when there is none.
std::string FindFontFile(std::string_view name, std::span<const std::filesystem::path> folders);

// Whether two fonts are drawn with the same face (colour and underline play no part).
bool SameFace(const TFont& a, const TFont& b);

}  // namespace anthora
