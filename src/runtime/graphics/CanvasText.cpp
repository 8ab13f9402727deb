#include <algorithm>

#include "runtime/graphics/Canvas.h"
#include "runtime/graphics/DeviceMath.h"
#include "runtime/graphics/FontFace.h"

namespace anthora {

namespace {

std::uint32_t Blend(std::uint32_t under, std::uint32_t over, std::uint32_t coverage) {
  std::uint32_t result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const std::uint32_t u = (under >> shift) & 0xFF;
    const std::uint32_t o = (over >> shift) & 0xFF;
    result |= ((o * coverage + u * (255 - coverage) + 127) / 255) << shift;
  }
  return result;
}

}  // namespace

const FontFace& TCanvas::Face() const {
  if (!FFace || !SameFace(FFaceFont, FFont)) {
    FFace = &FindFontFace(FFont);
    FFaceFont = FFont;
  }
  return *FFace;
}

TSize TCanvas::TextExtent(std::string_view text) const {
  const FontFace& face = Face();
  return {device::Clamp32(face.TextWidth(text)), face.CellHeight()};
}

void TCanvas::TextOut(std::int32_t x, std::int32_t y, std::string_view text) {
  if (FBrush.Style() != bsClear) {
    const TSize extent = TextExtent(text);
    FillRect({x, y, device::Clamp32(std::int64_t{x} + extent.cx),
              device::Clamp32(std::int64_t{y} + extent.cy)});
  }
  DrawText(x, y, text, FClip);
}

void TCanvas::TextRect(const TRect& rect, std::int32_t x, std::int32_t y, std::string_view text) {
  const TRect clip = DeviceRect(rect);
  if (IsRectEmpty(clip)) return;
  FillRect(rect);
  DrawText(x, y, text, clip);
}

// Glyphs are laid side by side from the pen position on the baseline, their grey coverage
// blended over the pixels; underline and strike-out run the text's whole advance.
void TCanvas::DrawText(std::int32_t x, std::int32_t y, std::string_view text,
                       const TRect& deviceClip) {
  if (IsRectEmpty(deviceClip)) return;
  const FontFace& face = Face();
  const std::uint32_t colour = DevicePixel(FFont.Color());
  const std::int64_t baseline = std::int64_t{y} + FOrigin.Y + face.Ascent();
  const std::int64_t start = std::int64_t{x} + FOrigin.X;
  std::int64_t penX = start;
  for (const char byte : text) {
    if (penX >= deviceClip.Right) break;
    const Glyph& glyph = face.GlyphOf(static_cast<unsigned char>(byte));
    const std::int64_t left = penX + glyph.Left;
    const std::int64_t top = baseline - glyph.Top;
    penX += glyph.Advance;
    const std::int64_t x0 = std::max<std::int64_t>(left, deviceClip.Left);
    const std::int64_t x1 = std::min<std::int64_t>(left + glyph.Width, deviceClip.Right);
    const std::int64_t y0 = std::max<std::int64_t>(top, deviceClip.Top);
    const std::int64_t y1 = std::min<std::int64_t>(top + glyph.Rows, deviceClip.Bottom);
    for (std::int64_t py = y0; py < y1; ++py) {
      const std::uint8_t* coverage = glyph.Coverage.data() + (py - top) * glyph.Width;
      std::uint32_t* row = FSurface.Row(static_cast<std::int32_t>(py));
      for (std::int64_t px = x0; px < x1; ++px) {
        const std::uint32_t amount = coverage[px - left];
        if (amount == 255) {
          row[px] = colour;
        } else if (amount != 0) {
          row[px] = Blend(row[px], colour, amount);
        }
      }
    }
  }
  if (!FFont.Style().Contains(fsUnderline) && !FFont.Style().Contains(fsStrikeOut)) return;
  const std::int64_t end = start + face.TextWidth(text);
  const auto line = [&](std::int64_t lineTop) {
    const TRect band{device::Clamp32(start), device::Clamp32(lineTop), device::Clamp32(end),
                     device::Clamp32(lineTop + face.LineThickness())};
    FillDevice(IntersectRect(band, deviceClip), colour);
  };
  if (FFont.Style().Contains(fsUnderline)) line(baseline + face.UnderlineOffset());
  if (FFont.Style().Contains(fsStrikeOut)) line(baseline - face.StrikeOutOffset());
}

}  // namespace anthora
