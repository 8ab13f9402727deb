#include <libheif/heif.h>

#include <cstdint>
#include <memory>
#include <string>

#include "picture/PhotoDecoders.h"
#include "platform/posix/LibraryOnUse.h"
#include "runtime/base/Exceptions.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "runtime/graphics/Bitmap.h"

namespace anthora {

namespace {

struct HeifDeleter {
  void operator()(heif_context* context) const { heif_context_free(context); }
  void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
  void operator()(heif_image* image) const { heif_image_release(image); }
  void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};
template <typename T>
using HeifPointer = std::unique_ptr<T, HeifDeleter>;

void Check(const heif_error& error) {
  if (error.code != heif_error_Ok) {
    throw EInvalidGraphic(std::string("HEIF: ") + (error.message ? error.message : "error") + " (" +
                          std::to_string(error.code) + "." + std::to_string(error.subcode) + ")");
  }
}

std::uint64_t ReadBig(std::string_view bytes, std::size_t at, int count) {
  std::uint64_t value = 0;
  for (int k = 0; k < count; ++k) value = value << 8 | static_cast<unsigned char>(bytes[at + k]);
  return value;
}

// The contents of the first box of the type among the boxes that fill `boxes`; empty when
// there is none or the boxes are damaged.
std::string_view ChildBox(std::string_view boxes, std::string_view type) {
  for (std::size_t at = 0; boxes.size() - at >= 8;) {
    std::uint64_t size = ReadBig(boxes, at, 4);
    std::size_t header = 8;
    if (size == 1) {
      if (boxes.size() - at < 16) break;
      size = ReadBig(boxes, at + 8, 8);
      header = 16;
    } else if (size == 0) {
      size = boxes.size() - at;
    }
    if (size < header || size > boxes.size() - at) break;
    if (boxes.substr(at + 4, 4) == type) return boxes.substr(at + header, size - header);
    at += size;
  }
  return {};
}

// Whether the file's item properties include a rotation or a mirroring: the one place where the
// format keeps them (meta, a full box, holds iprp, which holds ipco).
bool HasTransformations(std::string_view bytes) {
  std::string_view meta = ChildBox(bytes, "meta");
  if (meta.size() < 4) return false;
  const std::string_view properties = ChildBox(ChildBox(meta.substr(4), "iprp"), "ipco");
  return !ChildBox(properties, "irot").empty() || !ChildBox(properties, "imir").empty();
}

// The orientation in the image's EXIF block, which starts with the offset of its TIFF
// structure; 1 when it has none.
int HeifExifOrientation(const heif_image_handle* handle) {
  heif_item_id id = 0;
  if (heif_image_handle_get_list_of_metadata_block_IDs(handle, "Exif", &id, 1) != 1) return 1;
  const std::size_t size = heif_image_handle_get_metadata_size(handle, id);
  if (size < 4 || size > std::size_t{1} << 20) return 1;
  std::string exif(size, '\0');
  if (heif_image_handle_get_metadata(handle, id, exif.data()).code != heif_error_Ok) return 1;
  const std::uint64_t offset = ReadBig(exif, 0, 4);
  if (offset > size - 4) return 1;
  return TiffOrientation(reinterpret_cast<const unsigned char*>(exif.data()) + 4 + offset,
                         size - 4 - offset);
}

// The library's own check on each side, beside the one on pixels that every photo has.
constexpr int kMaxHeifSide = 65535;

std::unique_ptr<TBitmap> Decode(std::string_view bytes, int& orientation) {
  const HeifPointer<heif_context> context(heif_context_alloc());
  if (!context) throw std::bad_alloc();
  heif_context_set_maximum_image_size_limit(context.get(), kMaxHeifSide);
  Check(heif_context_read_from_memory_without_copy(context.get(), bytes.data(), bytes.size(),
                                                   nullptr));
  heif_image_handle* primary = nullptr;
  Check(heif_context_get_primary_image_handle(context.get(), &primary));
  const HeifPointer<heif_image_handle> handle(primary);
  const std::int64_t width = heif_image_handle_get_width(handle.get());
  const std::int64_t height = heif_image_handle_get_height(handle.get());
  if (width * height > TBitmap::kMaxPixels) {
    throw EInvalidGraphic(
        Format("HEIF image of %d x %d pixels is too large to decode", {width, height}));
  }

  orientation = HasTransformations(bytes) ? 1 : HeifExifOrientation(handle.get());

  const HeifPointer<heif_decoding_options> options(heif_decoding_options_alloc());
  if (!options) throw std::bad_alloc();
  options->convert_hdr_to_8bit = 1;
  heif_image* decoded = nullptr;
  Check(heif_decode_image(handle.get(), &decoded, heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                          options.get()));
  const HeifPointer<heif_image> image(decoded);
  int stride = 0;
  const std::uint8_t* pixels =
      heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
  if (pixels == nullptr) throw EInvalidGraphic("HEIF: the decoded image has no pixels");
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(heif_image_get_width(image.get(), heif_channel_interleaved),
                  heif_image_get_height(image.get(), heif_channel_interleaved));
  for (std::int32_t y = 0; y < bitmap->Height(); ++y) {
    const std::uint8_t* from = pixels + std::ptrdiff_t{stride} * y;
    std::uint8_t* to = bitmap->ScanLine(y);
    for (std::int32_t x = 0; x < bitmap->Width(); ++x, from += 3, to += 3) {
      to[0] = from[2];
      to[1] = from[1];
      to[2] = from[0];
    }
  }
  return bitmap;
}

}  // namespace

bool IsHeif(std::string_view bytes) {
  return bytes.size() >= 12 && bytes.substr(4, 4) == "ftyp";
}

std::unique_ptr<TBitmap> DecodeHeif(std::string_view bytes, int& orientation) {
  try {
    return Decode(bytes, orientation);
  } catch (const LibraryLoadError& error) {
    // TRANSLATORS: %1$s names the library ("HEIF"), %2$s is the system's reason, in English.
    throw EInvalidGraphic(InExceptionText(
        Format(Tr("the %1$s library cannot be loaded (%2$s); install it to read such photos"),
               {error.Library(), error.Reason()})));
  }
}

}  // namespace anthora
