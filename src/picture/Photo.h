#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "picture/PhotoFraming.h"

namespace anthora {

class TBitmap;

// A photo from a camera or phone, JPEG, PNG, HEIC (or HEIF) or WebP, made into a square picture
// of side x side pixels at 24 bits: turned upright as its EXIF orientation says (a PNG's eXIf
// chunk and a WebP's EXIF chunk too; a HEIF image by its own rotation and mirroring, which is
// what the format holds to, rather than the EXIF copy of it that would turn it twice),
// then as the framing turns it, its square cut out where the framing centres it and scaled
// with a filter that keeps detail without ringing. Raises an Exception whose message says
// what is wrong with the bytes, in words; a JPEG that decodes only with a warning (cut short
// or damaged) is refused too.
struct PhotoSize {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};
// With `size`, the photo's size upright as its orientation tag turns it, which is exact whenever
// its shorter side is less than `side` (the square is enlarged); a large JPEG or WebP is decoded
// smaller, to no less than `side`.
std::unique_ptr<TBitmap> MakeSquarePicture(std::string_view photo, std::int32_t side,
                                           const PhotoFraming& framing = {},
                                           PhotoSize* size = nullptr);

// The first bytes of every PNG file.
inline constexpr std::string_view kPngSignature = "\x89PNG\r\n\x1A\n";

// The EXIF orientation (1 to 8) of JPEG, PNG or WebP bytes; 1 when they carry none.
int ExifOrientation(std::string_view photo);

// The square turned as an EXIF orientation asks: mirrored and rotated into its upright form.
void ApplyOrientation(TBitmap& square, int orientation);

}  // namespace anthora
