#include "app/Program.h"

#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "picture/Image.h"
#include "picture/Jpeg.h"
#include "platform/Platform.h"
#include "runtime/base/System.h"
#include "runtime/ui/FormReader.h"
#include "runtime/ui/StdCtrls.h"

namespace anthora {

namespace {

template <typename T>
void Register() {
  RegisterComponentClass(T::StaticClass().Name, [](TComponent* owner) { return new T(owner); });
}

}  // namespace

void InitializeProgram(Platform& platform) {
  SetDisplayBitsPerPixel(platform.DisplayBitsPerPixel());
  SetSystemClock(&platform);
  InitializeJpegUnit();
  Register<TImage>();
  Register<TPanel>();
  Register<TLabel>();
  Register<TProgressBar>();
  Register<TxpButton>();
  Register<TxpCheckBox>();
}

void FinalizeProgram() {
  FinalizeJpegUnit();
}

}  // namespace anthora
