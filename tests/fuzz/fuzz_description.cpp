// Arbitrary bytes as a window description: read into a form with the standard controls
// registered; anything but a clean read or a reader's error is a fault.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/headless/HeadlessPlatform.h"
#include "runtime/base/Exceptions.h"
#include "runtime/ui/FormReader.h"
#include "runtime/ui/Forms.h"
#include "runtime/ui/StdCtrls.h"

namespace {

class TFuzzForm : public anthora::TForm {
  ANTHORA_CLASS(TFuzzForm, anthora::TForm)

 public:
  TFuzzForm() : TForm(nullptr) {
    MutableHandlers().Add("Click", anthora::TNotifyEvent([](anthora::TObject*) {}));
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace anthora;
  static const bool registered = [] {
    RegisterComponentClass("TPanel", [](TComponent* owner) { return new TPanel(owner); });
    RegisterComponentClass("TLabel", [](TComponent* owner) { return new TLabel(owner); });
    RegisterComponentClass("TProgressBar",
                           [](TComponent* owner) { return new TProgressBar(owner); });
    return true;
  }();
  (void)registered;
  HeadlessPlatform platform;
  TApplication application(platform);
  TFuzzForm form;
  try {
    ReadFormDescription(form, {reinterpret_cast<const char*>(data), size});
  } catch (const Exception&) {
  }
  return 0;
}
