#include "picture/GraphicFormats.h"
#include "picture/Jpeg.h"
#include "runtime/base/System.h"

namespace anthora {

namespace {

// Whether the JPEG kinds are registered now; a finalised unit may be initialised again.
bool registered = false;

}  // namespace

void InitializeJpegUnit() {
  if (registered) return;
  registered = true;
  JpegDefaultOptions.OutputDepth =
      DisplayBitsPerPixel() <= 8 ? TJPEGOutputDepth::od8Bit : TJPEGOutputDepth::od24Bit;
  RegisterFileFormat("jpeg", "JPEG Image File", TGraphicClass::Of<TJPEGImage>());
  RegisterFileFormat("jpg", "JPEG Image File", TGraphicClass::Of<TJPEGImage>());
}

void FinalizeJpegUnit() {
  if (!registered) return;
  registered = false;
  UnregisterGraphicClass(TJPEGImage::StaticClass());
}

}  // namespace anthora
