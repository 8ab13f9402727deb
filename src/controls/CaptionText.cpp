#include "controls/CaptionText.h"

#include "runtime/graphics/Canvas.h"

namespace anthora {

std::string DisplayCaption(std::string_view caption) {
  std::string text(caption);
  if (const auto ampersand = text.find('&'); ampersand != std::string::npos) {
    text.erase(ampersand, 1);
  }
  return text;
}

void DrawAcceleratorUnderline(TCanvas& canvas, std::string_view caption, std::int32_t x0,
                              std::int32_t y) {
  const auto ampersand = caption.find('&');
  if (ampersand == std::string_view::npos) return;
  const std::string shown = DisplayCaption(caption);
  const std::string_view before = std::string_view(shown).substr(0, ampersand);
  const std::string_view through = std::string_view(shown).substr(0, ampersand + 1);
  canvas.Pen().SetColor(canvas.Font().Color());
  canvas.Pen().SetWidth(1);
  canvas.MoveTo(x0 + canvas.TextWidth(before), y);
  canvas.LineTo(x0 + canvas.TextWidth(through), y);
}

}  // namespace anthora
