#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace anthora {

class TBitmap;

// The orientation tag (1 to 8) of IFD0 in a TIFF structure such as an EXIF block holds, or 1.
int TiffOrientation(const unsigned char* tiff, std::size_t size);

// A message in the user's language, in the single-byte encoding every exception's text has.
std::string InExceptionText(const std::string& message);

// The decoders of photo kinds beside JPEG and PNG, each through its library, which is loaded
// when the first such photo is met. Each raises EInvalidGraphic, saying what is wrong in words,
// for damaged bytes, a photo of more than TBitmap::kMaxPixels pixels, or a library that cannot
// be loaded.

// HEIC and HEIF: ISO base media files, whose first box is "ftyp".
bool IsHeif(std::string_view bytes);
// The primary image at full size, the only size the format decodes at, turned as its
// transformations (rotation, mirroring, crop) say. `orientation` is its EXIF orientation when it
// has no transformations, else 1: a file that has them holds the same turn in its EXIF block too,
// and honouring both would turn the photo twice.
std::unique_ptr<TBitmap> DecodeHeif(std::string_view bytes, int& orientation);

// WebP: a RIFF file of the form "WEBP".
bool IsWebp(std::string_view bytes);
// Decoded scaled down so that its shorter side is no less than `side`.
std::unique_ptr<TBitmap> DecodeWebp(std::string_view bytes, std::int32_t side);

}  // namespace anthora
