// Arbitrary bytes as a HEIC or WebP photo, made into a square picture as the set builder makes
// it, framed off-centre and turned.
#include <libheif/heif.h>
#include <webp/decode.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "picture/Photo.h"
#include "runtime/base/Exceptions.h"
#include "runtime/graphics/Bitmap.h"

namespace {

// Larger photos decode correctly but take too long for the fuzzer; their headers alone tell.
constexpr std::int64_t kMaxFuzzedPixels = 1 << 20;

bool TooLargeToFuzz(std::string_view bytes) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  if (bytes.starts_with("RIFF")) {
    int width = 0;
    int height = 0;
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(data, bytes.size(), &features) == VP8_STATUS_OK) {
      width = features.width;
      height = features.height;
    }
    return std::int64_t{width} * height > kMaxFuzzedPixels;
  }
  std::unique_ptr<heif_context, void (*)(heif_context*)> context(heif_context_alloc(),
                                                                 heif_context_free);
  if (heif_context_read_from_memory_without_copy(context.get(), data, bytes.size(), nullptr).code !=
      heif_error_Ok)
    return false;
  heif_image_handle* handle = nullptr;
  if (heif_context_get_primary_image_handle(context.get(), &handle).code != heif_error_Ok)
    return false;
  const std::int64_t pixels =
      std::int64_t{heif_image_handle_get_width(handle)} * heif_image_handle_get_height(handle);
  heif_image_handle_release(handle);
  return pixels > kMaxFuzzedPixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (TooLargeToFuzz(bytes)) return 0;
  try {
    anthora::MakeSquarePicture(bytes, 230, {0.2, 0.7, 90});
  } catch (const anthora::Exception&) {
  } catch (const std::bad_alloc&) {
  }
  return 0;
}
