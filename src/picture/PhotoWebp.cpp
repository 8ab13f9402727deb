#include <webp/decode.h>

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "picture/PhotoDecoders.h"
#include "platform/posix/LibraryOnUse.h"
#include "runtime/base/Exceptions.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "runtime/graphics/Bitmap.h"

namespace anthora {

namespace {

const std::uint8_t* Data(std::string_view bytes) {
  return reinterpret_cast<const std::uint8_t*>(bytes.data());
}

[[noreturn]] void Refuse(VP8StatusCode status) {
  switch (status) {
    case VP8_STATUS_OUT_OF_MEMORY:
      throw std::bad_alloc();
    case VP8_STATUS_NOT_ENOUGH_DATA:
      throw EInvalidGraphic(InExceptionText(Tr("WebP: the photo is cut short")));
    case VP8_STATUS_UNSUPPORTED_FEATURE:
      throw EInvalidGraphic(InExceptionText(Tr("WebP: a kind of WebP the library cannot read")));
    default:
      throw EInvalidGraphic(InExceptionText(Tr("WebP: the photo is damaged")));
  }
}

// The size the photo is decoded at: its shorter side brought down to `side`, never enlarged.
struct Scaled {
  int Width, Height;
};
Scaled ScaledSize(int width, int height, std::int32_t side) {
  const std::int64_t shorter = std::min(width, height);
  if (shorter <= side) return {width, height};
  return {static_cast<int>((std::int64_t{width} * side + shorter - 1) / shorter),
          static_cast<int>((std::int64_t{height} * side + shorter - 1) / shorter)};
}

std::unique_ptr<TBitmap> Decode(std::string_view bytes, std::int32_t side) {
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config)) throw EInvalidGraphic("WebP: the library's version differs");
  if (const VP8StatusCode status = WebPGetFeatures(Data(bytes), bytes.size(), &config.input);
      status != VP8_STATUS_OK)
    Refuse(status);
  if (config.input.has_animation) {
    throw EInvalidGraphic(InExceptionText(
        Tr("WebP: an animation, not a photo; save the frame to show as a photo of its own")));
  }
  const int width = config.input.width;
  const int height = config.input.height;
  if (std::int64_t{width} * height > TBitmap::kMaxPixels) {
    throw EInvalidGraphic(
        Format("WebP image of %d x %d pixels is too large to decode", {width, height}));
  }
  const Scaled scaled = ScaledSize(width, height, side);
  config.options.use_scaling = scaled.Width != width || scaled.Height != height;
  config.options.scaled_width = scaled.Width;
  config.options.scaled_height = scaled.Height;

  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(scaled.Width, scaled.Height);
  // Rows go straight into the bitmap; a photo with transparent parts is laid on white, as a
  // PNG is, from premultiplied colours: white shows through by what the alpha leaves.
  std::vector<std::uint8_t> withAlpha;
  WebPRGBABuffer& output = config.output.u.RGBA;
  config.output.is_external_memory = 1;
  if (config.input.has_alpha) {
    withAlpha.resize(std::size_t{4} * scaled.Width * scaled.Height);
    config.output.colorspace = MODE_bgrA;
    output.rgba = withAlpha.data();
    output.stride = 4 * scaled.Width;
    output.size = withAlpha.size();
  } else {
    config.output.colorspace = MODE_BGR;
    output.rgba = bitmap->ScanLine(0);
    output.stride = static_cast<int>(bitmap->Stride());
    output.size = static_cast<std::size_t>(bitmap->Stride()) * scaled.Height;
  }
  const VP8StatusCode status = WebPDecode(Data(bytes), bytes.size(), &config);
  WebPFreeDecBuffer(&config.output);
  if (status != VP8_STATUS_OK) Refuse(status);
  if (config.input.has_alpha) {
    const std::uint8_t* from = withAlpha.data();
    for (std::int32_t y = 0; y < scaled.Height; ++y) {
      std::uint8_t* to = bitmap->ScanLine(y);
      for (std::int32_t x = 0; x < scaled.Width; ++x, from += 4, to += 3) {
        const int white = 255 - from[3];
        for (int c = 0; c < 3; ++c)
          to[c] = static_cast<std::uint8_t>(std::min(255, from[c] + white));
      }
    }
  }
  return bitmap;
}

}  // namespace

bool IsWebp(std::string_view bytes) {
  return bytes.size() >= 12 && bytes.starts_with("RIFF") && bytes.substr(8, 4) == "WEBP";
}

std::unique_ptr<TBitmap> DecodeWebp(std::string_view bytes, std::int32_t side) {
  try {
    return Decode(bytes, side);
  } catch (const LibraryLoadError& error) {
    throw EInvalidGraphic(InExceptionText(
        Format(Tr("the %1$s library cannot be loaded (%2$s); install it to read such photos"),
               {error.Library(), error.Reason()})));
  }
}

}  // namespace anthora
