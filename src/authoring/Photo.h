#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace anthora {

class TBitmap;

// A photo from a camera or phone, JPEG or PNG, made into a square picture of side x side
// pixels at 24 bits: turned upright as its EXIF orientation says, its middle square cut out
// and scaled with a filter that keeps detail without ringing. Raises an Exception whose
// message says what is wrong with the bytes.
std::unique_ptr<TBitmap> MakeSquarePicture(std::string_view photo, std::int32_t side);

// The EXIF orientation (1 to 8) of JPEG bytes; 1 when they carry none.
int ExifOrientation(std::string_view jpeg);

// The square turned as an EXIF orientation asks: mirrored and rotated into its upright form.
void ApplyOrientation(TBitmap& square, int orientation);

}  // namespace anthora
