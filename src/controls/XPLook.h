#pragma once

// The XP look of the two controls, one routine per state, drawn on a canvas at its origin: the
// controls paint with them, and the drawing benchmark measures what they draw.

#include <cstdint>

#include "runtime/base/Color.h"
#include "runtime/base/Rect.h"

namespace anthora {

class TCanvas;

enum class XPButtonState {
  Normal,      // enabled, also when held down with the pointer elsewhere
  Hot,         // under the pointer
  PressedHot,  // held down under the pointer
  Disabled,
};

// A push button's frame and face, without its caption and focus rectangle. The pen ends 1
// pixel wide and the brush clear.
void DrawXPButton(TCanvas& canvas, std::int32_t width, std::int32_t height, XPButtonState state);

enum class XPBoxState { Normal, Hot, Pressed, Disabled };

// A check box's box in the rectangle, with its mark when checked. `background` is the
// control's colour, which the hot box shows inside its coloured rim.
void DrawXPCheckBox(TCanvas& canvas, const TRect& box, XPBoxState state, bool checked,
                    TColor background);

}  // namespace anthora
