#include "picture/GraphicFormats.h"
#include "picture/Jpeg.h"
#include "runtime/System.h"

namespace anthora {

void InitializeJpegUnit() {
  static bool initialized = false;
  if (initialized) return;
  initialized = true;
  JpegDefaultOptions.OutputDepth =
      DisplayBitsPerPixel() <= 8 ? TJPEGOutputDepth::od8Bit : TJPEGOutputDepth::od24Bit;
  RegisterFileFormat("jpeg", "JPEG Image File", TGraphicClass::Of<TJPEGImage>());
  RegisterFileFormat("jpg", "JPEG Image File", TGraphicClass::Of<TJPEGImage>());
}

void FinalizeJpegUnit() {
  UnregisterGraphicClass(TJPEGImage::StaticClass());
}

}  // namespace anthora
