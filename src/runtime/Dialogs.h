#pragma once

#include <string_view>

#include "runtime/Forms.h"

namespace anthora {

class TLabel;

// The runtime's own message box: a small dialog window with the text, an optional error
// icon and one OK button that Enter, Space and Escape also press.
class TMessageForm : public TCustomForm {
  ANTHORA_CLASS(TMessageForm, TCustomForm)

 public:
  TMessageForm(std::string_view title, std::string_view text, bool errorIcon);
};

}  // namespace anthora
