#include "runtime/graphics/FontFace.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/base/Cp1251.h"

namespace anthora {

namespace {

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library made = nullptr;
    if (FT_Init_FreeType(&made) != 0) made = nullptr;
    return made;
  }();
  return library;
}

FT_Face AsFace(void* face) {
  return static_cast<FT_Face>(face);
}

// The face of a font file, opened (and mapped) once for every size drawn from it and kept for
// the process; none when the file cannot be opened.
FT_Face SharedFace(const char* file, int index) {
  struct OpenFile {
    std::string Path;
    int Index = 0;
    FT_Face Face = nullptr;
  };
  static auto* files = new std::vector<OpenFile>;  // never freed: sizes refer to the faces
  for (const OpenFile& open : *files) {
    if (open.Path == file && open.Index == index) return open.Face;
  }
  FT_Face face = nullptr;
  if (FT_New_Face(Library(), file, index, &face) != 0) face = nullptr;
  files->push_back({file, index, face});
  return face;
}

std::int32_t CeilPixels(FT_Pos value) {
  return static_cast<std::int32_t>((value + 63) >> 6);
}

// A font-unit distance at the face's size, in whole pixels.
std::int32_t ScaledPixels(FT_Face face, FT_Long units) {
  return static_cast<std::int32_t>((FT_MulFix(units, face->size->metrics.y_scale) + 32) >> 6);
}

}  // namespace

FontFace::FontFace(const char* file, int index, std::int32_t emPixels) {
  FT_Face face = Library() && file ? SharedFace(file, index) : nullptr;
  FT_Size size = nullptr;
  if (!face || FT_New_Size(face, &size) != 0) return;
  if (FT_Activate_Size(size) != 0 ||
      FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(emPixels)) != 0) {
    FT_Done_Size(size);
    return;
  }
  FFace = face;
  FSize = size;
  const FT_Size_Metrics& metrics = face->size->metrics;
  FAscent = CeilPixels(metrics.ascender);
  FDescent = CeilPixels(-metrics.descender);
  if (FT_IS_SCALABLE(face)) {
    FUnderlineOffset = std::max(1, ScaledPixels(face, -face->underline_position));
    FLineThickness = std::max(1, ScaledPixels(face, face->underline_thickness));
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    FStrikeOutOffset = os2 && os2->yStrikeoutPosition > 0
                           ? ScaledPixels(face, os2->yStrikeoutPosition)
                           : FAscent / 3;
  }
}

FontFace::~FontFace() {
  if (FSize) FT_Done_Size(static_cast<FT_Size>(FSize));
}

const Glyph& FontFace::GlyphOf(unsigned char byte) const {
  if (!FRendered[byte]) Render(byte);
  return FGlyphs[byte];
}

std::int64_t FontFace::TextWidth(std::string_view text) const {
  std::int64_t width = 0;
  for (const char byte : text) width += GlyphOf(static_cast<unsigned char>(byte)).Advance;
  return width;
}

void FontFace::Render(unsigned char byte) const {
  FRendered[byte] = true;
  if (!FFace) return;
  FT_Face face = AsFace(FFace);
  if (FT_Activate_Size(static_cast<FT_Size>(FSize)) != 0) return;
  const FT_UInt index = FT_Get_Char_Index(face, cp1251::ToUnicode(byte));
  if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) return;
  const FT_GlyphSlot slot = face->glyph;
  Glyph& glyph = FGlyphs[byte];
  glyph.Advance = static_cast<std::int32_t>((slot->advance.x + 32) >> 6);
  const FT_Bitmap& bitmap = slot->bitmap;
  const bool grey = bitmap.pixel_mode == FT_PIXEL_MODE_GRAY;
  if (!grey && bitmap.pixel_mode != FT_PIXEL_MODE_MONO) return;
  glyph.Left = slot->bitmap_left;
  glyph.Top = slot->bitmap_top;
  glyph.Width = static_cast<std::int32_t>(bitmap.width);
  glyph.Rows = static_cast<std::int32_t>(bitmap.rows);
  glyph.Coverage.resize(static_cast<std::size_t>(glyph.Width) * glyph.Rows);
  for (std::int32_t y = 0; y < glyph.Rows; ++y) {
    const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
    std::uint8_t* out = glyph.Coverage.data() + static_cast<std::size_t>(y) * glyph.Width;
    for (std::int32_t x = 0; x < glyph.Width; ++x) {
      out[x] = grey ? row[x] : ((row[x >> 3] >> (7 - (x & 7))) & 1) * 255;
    }
  }
}

}  // namespace anthora
