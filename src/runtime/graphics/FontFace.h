#pragma once

#include <array>
#include <cstdint>
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

  void* FFace = nullptr;  // the FreeType face; none when the file could not be opened
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
// in when Liberation is missing.
const FontFace& FindFontFace(const TFont& font);

// Whether two fonts are drawn with the same face (colour and underline play no part).
bool SameFace(const TFont& a, const TFont& b);

}  // namespace anthora
