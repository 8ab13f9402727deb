#pragma once

#include <cstdint>
#include <string_view>

#include "platform/PixelSurface.h"
#include "runtime/base/Color.h"
#include "runtime/base/Rect.h"
#include "runtime/graphics/Font.h"

namespace anthora {

class FontFace;

enum TPenStyle : std::uint8_t { psSolid, psDot, psClear };
// pmCopy draws the pen's colour; pmNot inverts the pixels the pen covers.
enum TPenMode : std::uint8_t { pmCopy, pmNot };
enum TBrushStyle : std::uint8_t { bsSolid, bsClear };

using TCopyMode = std::uint32_t;
inline constexpr TCopyMode cmSrcCopy = 0x00CC0020;

// The colour a pixel query answers for a point outside the surface or the clip.
inline constexpr TColor CLR_INVALID = static_cast<TColor>(0xFFFFFFFF);

struct TSize {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
  friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

class TPen {
 public:
  TColor Color() const { return FColor; }
  void SetColor(TColor color) { FColor = color; }
  // Lines of width 2 and more have round ends and joins; outlines of rectangles are always
  // one pixel wide.
  std::int32_t Width() const { return FWidth; }
  void SetWidth(std::int32_t width) { FWidth = width < 1 ? 1 : width; }
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle style) { FStyle = style; }
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode mode) { FMode = mode; }

 private:
  TColor FColor = clBlack;
  std::int32_t FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

class TBrush {
 public:
  TColor Color() const { return FColor; }
  // A colour makes a clear brush solid.
  void SetColor(TColor color) {
    FColor = color;
    FStyle = bsSolid;
  }
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle style) { FStyle = style; }

 private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
};

class TCanvas;
using HDC = TCanvas*;

// A short-lived solid brush for filling through the device handle; it owns nothing, so
// creating and deleting one costs nothing.
struct HBRUSH {
  TColor Color = clBlack;
};

inline HBRUSH CreateSolidBrush(TColor color) {
  return HBRUSH{color};
}
inline bool DeleteObject(HBRUSH) {
  return true;
}
// Fills the rectangle (right and bottom outside) with the brush, clipped like every other
// drawing on the canvas; the canvas's own brush is not touched.
bool FillRect(HDC dc, const TRect& rect, HBRUSH brush);

// Draws onto a surface of 32-bit pixels in logical coordinates: a logical point (x, y) is
// the surface pixel (x, y) + Origin(). Nothing is ever drawn outside the clip rectangle or
// the surface. The pen, brush, font, copy mode and pen position stay between paints.
class TCanvas {
 public:
  TCanvas() = default;
  explicit TCanvas(const PixelSurface& surface) { SetSurface(surface); }
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // A new surface; the origin goes back to (0, 0) and the clip to the whole surface.
  void SetSurface(const PixelSurface& surface);
  const PixelSurface& Surface() const { return FSurface; }
  // The surface pixel of the logical point (0, 0).
  void SetOrigin(TPoint deviceOffset) { FOrigin = deviceOffset; }
  TPoint Origin() const { return FOrigin; }
  // The surface rectangle that drawing may change; always within the surface.
  void SetClipRect(const TRect& deviceClip);
  TRect DeviceClipRect() const { return FClip; }
  // The clip rectangle in logical coordinates.
  TRect ClipRect() const;
  HDC Handle() { return this; }

  TPen& Pen() { return FPen; }
  const TPen& Pen() const { return FPen; }
  TBrush& Brush() { return FBrush; }
  const TBrush& Brush() const { return FBrush; }
  TFont& Font() { return FFont; }
  const TFont& Font() const { return FFont; }
  void SetFont(const TFont& font) { FFont.Assign(font); }
  TCopyMode CopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode mode) { FCopyMode = mode; }
  TPoint PenPos() const { return FPenPos; }
  void SetPenPos(TPoint point) { FPenPos = point; }

  // Fills the rectangle with the canvas's brush (nothing when the brush is clear).
  void FillRect(const TRect& rect);
  // Fills with a colour, whatever the brush.
  void FillRectWithColor(const TRect& rect, TColor color);

  void MoveTo(std::int32_t x, std::int32_t y) { FPenPos = {x, y}; }
  // A line from the pen position to (x, y), which becomes the new pen position. A one-pixel
  // pen leaves the end point out; a wider pen has round ends.
  void LineTo(std::int32_t x, std::int32_t y);
  // An outline on the rectangle's own edge pixels with the pen, the inside filled with the
  // brush unless it is clear. With a clear pen the fill stops one pixel short on the right
  // and at the bottom.
  void Rectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
  void Rectangle(const TRect& rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
  // As Rectangle, with corners rounded by an ellipse of the given width and height.
  void RoundRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                 std::int32_t ellipseWidth, std::int32_t ellipseHeight);
  // Inverts every other pixel of the rectangle's border, so drawing it twice restores the
  // picture. Nothing for an empty rectangle, or while focus rectangles are hidden.
  void DrawFocusRect(const TRect& rect);
  // Hidden for a window that is not the desktop's active window.
  void SetFocusRectsHidden(bool hidden) { FFocusRectsHidden = hidden; }

  // CLR_INVALID outside the clip.
  TColor Pixel(std::int32_t x, std::int32_t y) const;
  void SetPixel(std::int32_t x, std::int32_t y, TColor color);

  // Text in Windows-1251 bytes with its cell's top-left at (x, y), in the font's colour. The
  // cell is first filled with the brush unless the brush is clear.
  void TextOut(std::int32_t x, std::int32_t y, std::string_view text);
  // As TextOut, clipped to the rectangle, which is filled with the brush unless it is clear.
  void TextRect(const TRect& rect, std::int32_t x, std::int32_t y, std::string_view text);
  // Width of the text and height of the font's cell, in pixels.
  TSize TextExtent(std::string_view text) const;
  std::int32_t TextWidth(std::string_view text) const { return TextExtent(text).cx; }
  std::int32_t TextHeight(std::string_view text) const { return TextExtent(text).cy; }

  // The drawing routines of this runtime (lines, fills, text, bitmaps) share these.
  // Surface rectangle of a logical rectangle, cut to the clip.
  TRect DeviceRect(const TRect& logical) const;
  // The device pixel colour (0x00RRGGBB) of a colour, system colours resolved now.
  static std::uint32_t DevicePixel(TColor color);
  // Fills a surface rectangle that lies within the clip.
  void FillDevice(const TRect& device, std::uint32_t pixel);

 private:
  const FontFace& Face() const;
  void DrawText(std::int32_t x, std::int32_t y, std::string_view text, const TRect& deviceClip);
  void PlotPen(std::int32_t deviceX, std::int32_t deviceY, std::uint32_t pixel);
  void DrawThinLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                    std::uint32_t pixel);
  void DrawWideLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                    std::uint32_t pixel);
  void OutlineAndFill(const TRect& figure, std::int32_t ellipseWidth, std::int32_t ellipseHeight);

  PixelSurface FSurface;
  TPoint FOrigin;
  TRect FClip;
  TPen FPen;
  TBrush FBrush;
  TFont FFont;
  TCopyMode FCopyMode = cmSrcCopy;
  TPoint FPenPos;
  bool FFocusRectsHidden = false;
  // The face of the font as last resolved, and the font it was resolved for.
  mutable const FontFace* FFace = nullptr;
  mutable TFont FFaceFont;
};

}  // namespace anthora
