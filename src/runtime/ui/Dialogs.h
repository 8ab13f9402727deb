#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/ui/Forms.h"

namespace anthora {

class TCanvas;

// Breaks a text into lines no wider than maxWidth in the canvas font: at its own line ends
// (CR, LF or CR LF), at blanks, and inside words longer than a line. When more than maxLines
// lines would be needed, the last one kept ends with "…".
std::vector<std::string> WrapText(const TCanvas& canvas, std::string_view text,
                                  std::int32_t maxWidth, std::size_t maxLines);

// The buttons a message box offers: OK alone, which Enter, Space and Escape also press; or Yes
// (focused first, mrYes) and No (mrNo), where Enter and Space press the focused one and Escape
// presses No. A third choice, when named, stands between them (mrIgnore), and a fourth, when
// named too, after the third (mrAll).
enum class TMessageButtons { Ok, YesNo };

// The runtime's own message box: a small dialog window with the text, an optional error
// icon and its buttons. A long text is wrapped to a third of the work area's width and cut
// where the box would outgrow the work area.
class TMessageForm : public TCustomForm {
  ANTHORA_CLASS(TMessageForm, TCustomForm)

 public:
  TMessageForm(std::string_view title, std::string_view text, bool errorIcon,
               TMessageButtons buttons = TMessageButtons::Ok, std::string_view yes = "Yes",
               std::string_view no = "No", std::string_view other = {},
               std::string_view another = {});

  // The text as shown, one line each.
  const std::vector<std::string>& Lines() const { return FLines; }

 private:
  std::vector<std::string> FLines;
};

}  // namespace anthora
