#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "runtime/graphics/Canvas.h"
#include "runtime/graphics/DeviceMath.h"

namespace anthora {

namespace {

struct Point64 {
  std::int64_t X = 0;
  std::int64_t Y = 0;
};

// A run [Left, Right) of one row; empty when Right <= Left.
struct Run {
  std::int64_t Left = 0;
  std::int64_t Right = 0;
  bool Empty() const { return Right <= Left; }
};

// The part of row y inside a convex polygon, sampling pixels at their integer coordinates
// with left and top edges inside and right and bottom edges outside.
Run PolygonRun(const std::array<Point64, 4>& polygon, std::int64_t y) {
  Run run{0, 0};
  bool crossed = false;
  for (std::size_t i = 0; i < polygon.size(); ++i) {
    const Point64 a = polygon[i];
    const Point64 b = polygon[(i + 1) % polygon.size()];
    if ((a.Y <= y) == (b.Y <= y)) continue;
    // The first pixel at or right of the crossing.
    const std::int64_t x = a.X + device::CeilDiv((y - a.Y) * (b.X - a.X), b.Y - a.Y);
    run = crossed ? Run{std::min(run.Left, x), std::max(run.Right, x)} : Run{x, x};
    crossed = true;
  }
  return run;
}

// The run of row y of the round pen end centred on a point: the figure of a square of the
// pen's width with fully rounded corners, as RoundRect draws it.
Run CapRun(Point64 centre, std::int32_t width, std::int64_t y) {
  const std::int64_t top = centre.Y - width / 2;
  if (y < top || y >= top + width) return {};
  const std::int64_t a = width - 1;
  const std::int64_t inset = a >= 1 ? device::EllipseInset(a, a, std::abs(2 * (y - top) - a)) : 0;
  const std::int64_t left = centre.X - width / 2;
  return {left + inset, left + width - inset};
}

// Line ends further out than this are pulled in to it, which keeps the stepping arithmetic
// within 64 bits.
constexpr std::int64_t kFarthest = std::int64_t{1} << 29;

Point64 DevicePoint(TPoint logical, TPoint origin) {
  return {std::clamp<std::int64_t>(std::int64_t{logical.X} + origin.X, -kFarthest, kFarthest),
          std::clamp<std::int64_t>(std::int64_t{logical.Y} + origin.Y, -kFarthest, kFarthest)};
}

std::int64_t RoundHalfAway(double value) {
  return static_cast<std::int64_t>(std::lround(value));
}

}  // namespace

void TCanvas::LineTo(std::int32_t x, std::int32_t y) {
  const TPoint from = FPenPos;
  FPenPos = {x, y};
  if (FPen.Style() == psClear) return;
  const Point64 a = DevicePoint(from, FOrigin);
  const Point64 b = DevicePoint({x, y}, FOrigin);
  const std::uint32_t pixel = DevicePixel(FPen.Color());
  if (FPen.Width() <= 1) {
    DrawThinLine(a.X, a.Y, b.X, b.Y, pixel);
  } else {
    DrawWideLine(a.X, a.Y, b.X, b.Y, pixel);
  }
}

// Steps along the longer axis from the start, leaving out the end point; the other
// coordinate is rounded to the nearest pixel, halves away from the start. Only the steps
// that can fall inside the clip are visited.
void TCanvas::DrawThinLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                           std::uint32_t pixel) {
  const std::int64_t dx = x1 - x0;
  const std::int64_t dy = y1 - y0;
  const bool xMajor = std::abs(dx) >= std::abs(dy);
  const std::int64_t steps = std::max(std::abs(dx), std::abs(dy));
  if (steps == 0) return;
  const std::int64_t major0 = xMajor ? x0 : y0;
  const std::int64_t minor0 = xMajor ? y0 : x0;
  const std::int64_t majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
  const std::int64_t minorDelta = xMajor ? dy : dx;
  const std::int64_t clipLow = xMajor ? FClip.Left : FClip.Top;
  const std::int64_t clipHigh = xMajor ? FClip.Right : FClip.Bottom;
  // Steps i with major0 + i * majorStep inside [clipLow, clipHigh).
  std::int64_t first = majorStep > 0 ? clipLow - major0 : major0 - (clipHigh - 1);
  std::int64_t last = majorStep > 0 ? clipHigh - 1 - major0 : major0 - clipLow;
  first = std::max<std::int64_t>(first, 0);
  last = std::min(last, steps - 1);
  for (std::int64_t i = first; i <= last; ++i) {
    if (FPen.Style() == psDot && (i & 1) != 0) continue;
    const std::int64_t offset = 2 * i * std::abs(minorDelta) + steps;
    const std::int64_t minor = minor0 + (minorDelta < 0 ? -1 : 1) * (offset / (2 * steps));
    const std::int64_t major = major0 + i * majorStep;
    const std::int64_t px = xMajor ? major : minor;
    const std::int64_t py = xMajor ? minor : major;
    if (py < FClip.Top || py >= FClip.Bottom || px < FClip.Left || px >= FClip.Right) continue;
    PlotPen(static_cast<std::int32_t>(px), static_cast<std::int32_t>(py), pixel);
  }
}

// A wide line is a band of the pen's width between round ends. The band's sides are moved
// out from the line by half the width along its normal, rounded to whole pixels: across the
// longer axis to the nearest pixel, along the shorter axis with half a pixel added so that
// the band's pixels (sampled at their corners, right and bottom sides outside) lie evenly
// about the line. Each row is drawn once, as the union of the band and the two ends.
void TCanvas::DrawWideLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                           std::uint32_t pixel) {
  const auto width =
      static_cast<std::int32_t>(std::min<std::int64_t>(FPen.Width(), device::kMaxEllipse));
  const Point64 a{x0, y0};
  const Point64 b{x1, y1};
  std::array<Point64, 4> band{};
  const bool hasBand = a.X != b.X || a.Y != b.Y;
  if (hasBand) {
    const double dx = static_cast<double>(b.X - a.X);
    const double dy = static_cast<double>(b.Y - a.Y);
    const double scale = width / 2.0 / std::hypot(dx, dy);
    const double nx = dy * scale;
    const double ny = -dx * scale;
    const bool yMajor = std::abs(dy) >= std::abs(dx);
    const auto side = [yMajor](double ox, double oy) {
      return yMajor ? Point64{static_cast<std::int64_t>(std::floor(ox + 1)), RoundHalfAway(oy)}
                    : Point64{RoundHalfAway(ox), static_cast<std::int64_t>(std::floor(oy + 1))};
    };
    const Point64 p = side(nx, ny);
    const Point64 q = side(-nx, -ny);
    band = {{{a.X + p.X, a.Y + p.Y},
             {b.X + p.X, b.Y + p.Y},
             {b.X + q.X, b.Y + q.Y},
             {a.X + q.X, a.Y + q.Y}}};
  }
  const std::int64_t top = std::max<std::int64_t>(std::min(a.Y, b.Y) - width, FClip.Top);
  const std::int64_t bottom = std::min<std::int64_t>(std::max(a.Y, b.Y) + width, FClip.Bottom);
  for (std::int64_t y = top; y < bottom; ++y) {
    std::array<Run, 3> runs = {CapRun(a, width, y), CapRun(b, width, y),
                               hasBand ? PolygonRun(band, y) : Run{}};
    std::sort(runs.begin(), runs.end(), [](const Run& l, const Run& r) { return l.Left < r.Left; });
    std::int64_t covered = std::numeric_limits<std::int64_t>::min();
    for (const Run& run : runs) {
      if (run.Empty()) continue;
      const std::int64_t left = std::max({run.Left, covered, std::int64_t{FClip.Left}});
      const std::int64_t right = std::min<std::int64_t>(run.Right, FClip.Right);
      for (std::int64_t x = left; x < right; ++x) {
        PlotPen(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), pixel);
      }
      covered = std::max(covered, run.Right);
    }
  }
}

}  // namespace anthora
