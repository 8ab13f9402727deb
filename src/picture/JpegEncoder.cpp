#include "picture/JpegEncoder.h"

#include "picture/Jpeg.h"

namespace anthora {

JpegEncoder::JpegEncoder(TJPEGImage& owner) : FOwner(owner) {
  jpeg::InitErrorState(FState.Error, FPending);
  FState.Info.err = &FState.Error.Manager;
  jpeg::CallLibrary(FState.Error, [this] { jpeg_create_compress(&FState.Info); });
  JpegProgress::Install(FState.Progress, &owner, reinterpret_cast<j_common_ptr>(&FState.Info));
}

JpegEncoder::~JpegEncoder() {
  jpeg_destroy_compress(&FState.Info);
}

void JpegEncoder::Run() {
  if (FOwner.FData->Data) FOwner.NewData();
  FOwner.FData->Data = std::make_unique<TMemoryStream>();
  jpeg::AttachDestination(&FState.Info, FState.Destination, *FOwner.FData->Data);
  const TBitmap* bitmap = FOwner.FBitmap.get();
  if (!bitmap || bitmap->Width() == 0 || bitmap->Height() == 0) return;
  try {
    Encode();
  } catch (const EAbort&) {
    FOwner.NewData();
    return;
  } catch (...) {
    FOwner.ReportProgress(TProgressStage::psEnding, 0, false, TRect{});
    throw;
  }
  FOwner.ReportProgress(TProgressStage::psEnding, 100, false, TRect{});
}

void JpegEncoder::Encode() {
  TBitmap rgb(*FOwner.FBitmap);
  rgb.SetPixelFormat(TPixelFormat::pf24bit);
  TJPEGData& data = *FOwner.FData;
  data.Width = rgb.Width();
  data.Height = rgb.Height();

  jpeg_compress_struct& info = FState.Info;
  info.image_width = static_cast<JDIMENSION>(rgb.Width());
  info.image_height = static_cast<JDIMENSION>(rgb.Height());
  info.input_components = 3;
  info.in_color_space = JCS_EXT_BGR;  // the bitmap's own byte order
  const TJPEGOptions& options = FOwner.FOptions;
  jpeg::CallLibrary(FState.Error, [&] {
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, options.SaveQuality, TRUE);
    if (options.GrayOutput) jpeg_set_colorspace(&info, JCS_GRAYSCALE);
    if (options.MultiScan) jpeg_simple_progression(&info);
  });
  data.Grayscale = options.GrayOutput;
  FOwner.ReportProgress(TProgressStage::psStarting, 0, false, TRect{});
  jpeg::CallLibrary(FState.Error, [&info] { jpeg_start_compress(&info, TRUE); });
  for (std::int32_t y = 0; y < rgb.Height(); ++y) {
    JSAMPROW row = rgb.ScanLine(y);
    jpeg::CallLibrary(FState.Error, [&] { jpeg_write_scanlines(&info, &row, 1); });
  }
  jpeg::CallLibrary(FState.Error, [&info] { jpeg_finish_compress(&info); });
}

}  // namespace anthora
