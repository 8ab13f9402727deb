#include "picture/JpegDecoder.h"

#include <jerror.h>

#include <algorithm>
#include <vector>

#include "picture/Jpeg.h"
#include "runtime/base/Format.h"
#include "runtime/graphics/Bitmap.h"

namespace anthora {

namespace {

constexpr int kQuantizedColors = 236;
constexpr int kMaxRowsPerCall = 16;

// Adobe software writes CMYK inverted (0 is full ink), and says so with its APP14 marker.
void CopyRowsConverted(const jpeg_decompress_struct& info, JSAMPARRAY rows, TBitmap& bitmap,
                       JDIMENSION first, JDIMENSION count) {
  const bool inverted = info.saw_Adobe_marker;
  for (JDIMENSION i = 0; i < count; ++i) {
    const JSAMPLE* from = rows[i];
    std::uint8_t* to = bitmap.ScanLine(static_cast<std::int32_t>(first + i));
    for (JDIMENSION x = 0; x < info.output_width; ++x, from += 4, to += 3) {
      const int black = inverted ? from[3] : 255 - from[3];
      for (int channel = 0; channel < 3; ++channel) {
        const int ink = inverted ? from[channel] : 255 - from[channel];
        to[2 - channel] = static_cast<std::uint8_t>((ink * black + 127) / 255);
      }
    }
  }
}

}  // namespace

// Several rows per call when the library offers it; rows go straight into the bitmap unless
// CMYK must be converted first.
void ReadOutputRows(DecompressContext& context, TBitmap& bitmap, bool cmyk) {
  jpeg_decompress_struct& info = context.Info();
  const std::ptrdiff_t stride = bitmap.Stride();
  const int perCall =
      stride > 0 && stride % 4 == 0 ? std::clamp(info.rec_outbuf_height, 1, kMaxRowsPerCall) : 1;
  std::vector<JSAMPLE> cmykRows;
  if (cmyk) cmykRows.resize(std::size_t{info.output_width} * 4 * perCall);

  while (info.output_scanline < info.output_height) {
    const JDIMENSION first = info.output_scanline;
    const auto count = std::min<JDIMENSION>(perCall, info.output_height - first);
    JSAMPROW rows[kMaxRowsPerCall];
    for (JDIMENSION i = 0; i < count; ++i) {
      rows[i] = cmyk ? cmykRows.data() + std::size_t{info.output_width} * 4 * i
                     : bitmap.ScanLine(static_cast<std::int32_t>(first + i));
    }
    JDIMENSION read = 0;
    context.Run([&] { read = jpeg_read_scanlines(&info, rows, count); });
    if (read == 0) break;
    if (cmyk) CopyRowsConverted(info, rows, bitmap, first, read);
  }
}

JpegPixels DecodeJpegPixels(std::span<const std::uint8_t> bytes, std::int32_t shorterSide) {
  DecompressContext context;
  jpeg_decompress_struct& info = context.Info();
  // No reports, but the limit on the number of scans still holds.
  JpegProgress::Install(context.Progress(), nullptr, reinterpret_cast<j_common_ptr>(&info));
  context.ReadHeader(bytes.data(), bytes.size(), bytes.size());
  const auto shorter = static_cast<std::int32_t>(std::min(info.image_width, info.image_height));
  info.scale_num = 1;
  info.scale_denom = 1;
  while (info.scale_denom < 8 &&
         shorter / static_cast<std::int32_t>(info.scale_denom * 2) >= std::max(shorterSide, 1)) {
    info.scale_denom *= 2;
  }
  const bool cmyk = info.out_color_space == JCS_CMYK;
  if (!cmyk) info.out_color_space = JCS_EXT_BGR;  // gray too: the library spreads it to three
  info.dct_method = JDCT_ISLOW;
  JpegPixels pixels;
  pixels.Bitmap = std::make_unique<TBitmap>();
  pixels.Bitmap->SetPixelFormat(TPixelFormat::pf24bit);
  context.Run([&info] { jpeg_start_decompress(&info); });
  pixels.Bitmap->SetSize(static_cast<std::int32_t>(info.output_width),
                         static_cast<std::int32_t>(info.output_height));
  ReadOutputRows(context, *pixels.Bitmap, cmyk);
  context.Run([&info] { jpeg_finish_decompress(&info); });
  pixels.Warning = context.FirstWarning();
  pixels.WarningText = context.FirstWarningText();
  return pixels;
}

DecompressContext::DecompressContext() {
  jpeg::InitErrorState(FState.Error, FPending);
  FState.Info.err = &FState.Error.Manager;
  Run([this] { jpeg_create_decompress(&FState.Info); });
  FState.Info.mem->max_memory_to_use = jpeg::kLibraryMemoryLimit;
}

void DecompressContext::Release() {
  if (!FState.Info.err) return;
  jpeg_destroy_decompress(&FState.Info);
  FState.Info.err = nullptr;
}

void DecompressContext::ReadHeader(const std::uint8_t* data, std::size_t size, std::size_t refill) {
  jpeg_decompress_struct& info = FState.Info;
  jpeg::AttachSource(&info, FState.Source, data, size, refill);
  Run([&info] { jpeg_read_header(&info, TRUE); });
  if (info.num_components != 1 && info.num_components != 3 && info.num_components != 4) {
    throw EJPEG(Format("JPEG error #%d", {static_cast<int>(JERR_CONVERSION_NOTIMPL)}),
                jpeg::MessageText(JERR_CONVERSION_NOTIMPL));
  }
  if (std::int64_t{info.image_width} * info.image_height > TJPEGImage::kMaxPixels) {
    throw EInvalidGraphic(Format("JPEG image of %d x %d pixels is too large to decode",
                                 {info.image_width, info.image_height}));
  }
}

JpegDecoder::JpegDecoder(TJPEGImage& owner) : FOwner(owner), FBitmap(*owner.FBitmap) {
  jpeg_decompress_struct& info = FContext.Info();
  JpegProgress::Install(FContext.Progress(), &owner, reinterpret_cast<j_common_ptr>(&info));
  const TMemoryStream& data = *owner.FData->Data;
  FContext.ReadHeader(data.Memory(), data.Length());

  const TJPEGOptions& options = owner.FOptions;
  info.scale_num = 1;
  info.scale_denom = 1u << static_cast<unsigned>(options.ScaleDown);
  info.do_block_smoothing = options.BlockSmoothing;
  if (options.GrayOutput) info.out_color_space = JCS_GRAYSCALE;
  if (info.out_color_space == JCS_CMYK) {
    // Four-component streams come as CMYK and are turned into blue, green, red row by row.
    FConvertsCmyk = true;
  } else if (options.OutputDepth == TJPEGOutputDepth::od8Bit ||
             info.out_color_space == JCS_GRAYSCALE) {
    info.quantize_colors = TRUE;
    info.desired_number_of_colors = kQuantizedColors;
  } else {
    // The library writes blue, green, red itself: the rows need no second touch.
    info.out_color_space = JCS_EXT_BGR;
  }
  if (options.DecodeMode == TJPEGDecodeMode::dmQuality) {
    info.dct_method = JDCT_FLOAT;
    info.two_pass_quantize = TRUE;
    info.dither_mode = JDITHER_FS;
  } else {
    info.dct_method = JDCT_IFAST;
    info.two_pass_quantize = FALSE;
    info.dither_mode = JDITHER_ORDERED;
  }
  FFinalDct = info.dct_method;
  FFinalTwoPass = info.two_pass_quantize;
  FFinalDither = info.dither_mode;
  bool multiScan = false;
  FContext.Run([&] { multiScan = jpeg_has_multiple_scans(&info); });
  if (options.ShowPasses && multiScan) {
    info.enable_2pass_quant = FFinalTwoPass;
    info.dct_method = JDCT_IFAST;
    info.two_pass_quantize = FALSE;
    info.dither_mode = JDITHER_ORDERED;
    info.buffered_image = TRUE;
  }
}

void JpegDecoder::Run() {
  bool failed = true;
  try {
    Decode();
    failed = false;
  } catch (const EAbort&) {
    failed = false;
  } catch (...) {
    FContext.Release();
    Finish(true);
    throw;
  }
  FContext.Release();
  Finish(failed);
}

void JpegDecoder::Finish(bool failed) {
  FOwner.FDecodeWarning = FContext.FirstWarning();
  FOwner.FDecodeWarningText = FContext.FirstWarningText();
  FOwner.ReportProgress(TProgressStage::psEnding, failed ? 0 : 100, FOwner.PaletteModified(),
                        TRect{});
  if (FOwner.PaletteModified()) FOwner.Changed();
}

void JpegDecoder::Decode() {
  jpeg_decompress_struct& info = FContext.Info();
  FBitmap.SetPixelFormat(info.quantize_colors ? TPixelFormat::pf8bit : TPixelFormat::pf24bit);
  FOwner.ReportProgress(TProgressStage::psStarting, 0, false, TRect{});

  if (FOwner.FImposedPalette) {
    if (info.quantize_colors) {
      ColormapFromPalette();
      FBitmap.SetPalette(CreatePalette(FOwner.FImposedPalette->Entries));
      FColormapWanted = false;
    } else {
      FOwner.FImposedPalette = nullptr;
    }
  }
  FContext.Run([&info] { jpeg_start_decompress(&info); });
  FBitmap.SetSize(static_cast<std::int32_t>(info.output_width),
                  static_cast<std::int32_t>(info.output_height));

  if (info.buffered_image) {
    while (true) {
      int status = 0;
      FContext.Run([&] { status = jpeg_consume_input(&info); });
      if (status == JPEG_REACHED_EOI) break;
      FContext.Run([&info] { jpeg_start_output(&info, info.input_scan_number); });
      if (FContext.Progress().Manager.completed_passes == 0 && info.colormap &&
          info.quantize_colors && FColormapWanted) {
        PaletteFromColormap();
      }
      ReadOutputRows(FContext, FBitmap, FConvertsCmyk);
      FContext.Run([&info] { jpeg_finish_output(&info); });
    }
    info.dct_method = FFinalDct;
    info.dither_mode = FFinalDither;
    if (FFinalTwoPass) {
      info.two_pass_quantize = TRUE;
      info.colormap = nullptr;
    }
    FContext.Run([&info] { jpeg_start_output(&info, info.input_scan_number); });
  }
  if ((!info.buffered_image || FFinalTwoPass) && info.quantize_colors && info.colormap &&
      FColormapWanted) {
    PaletteFromColormap();
  }
  ReadOutputRows(FContext, FBitmap, FConvertsCmyk);
  if (info.buffered_image) FContext.Run([&info] { jpeg_finish_output(&info); });
  FContext.Run([&info] { jpeg_finish_decompress(&info); });
}

void JpegDecoder::PaletteFromColormap() {
  const jpeg_decompress_struct& info = FContext.Info();
  const bool gray = info.out_color_components == 1;
  std::vector<TRGBQuad> entries(static_cast<std::size_t>(info.actual_number_of_colors));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const JSAMPLE red = info.colormap[0][i];
    const JSAMPLE green = gray ? red : info.colormap[1][i];
    const JSAMPLE blue = gray ? red : info.colormap[2][i];
    entries[i] = TRGBQuad{blue, green, red, 0};
  }
  FBitmap.SetPalette(CreatePalette(std::move(entries)));
  FOwner.SetPaletteModified(true);
}

void JpegDecoder::ColormapFromPalette() {
  const std::vector<TRGBQuad>& entries = FOwner.FImposedPalette->Entries;
  const auto count = static_cast<JDIMENSION>(std::min<std::size_t>(entries.size(), 256));
  if (count == 0) return;
  jpeg_decompress_struct& info = FContext.Info();
  JSAMPARRAY colormap = nullptr;
  FContext.Run([&] {
    colormap = info.mem->alloc_sarray(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, count, 3);
  });
  for (JDIMENSION i = 0; i < count; ++i) {
    colormap[0][i] = entries[i].Red;
    colormap[1][i] = entries[i].Green;
    colormap[2][i] = entries[i].Blue;
  }
  info.colormap = colormap;
  info.actual_number_of_colors = static_cast<int>(count);
}

}  // namespace anthora
