#include "picture/Photo.h"

#include <png.h>
#include <stb_image_resize.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "picture/Jpeg.h"
#include "picture/PhotoDecoders.h"
#include "picture/PictureError.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Exceptions.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "runtime/graphics/Bitmap.h"

namespace anthora {

std::string InExceptionText(const std::string& message) {
  return Utf8ToCp1251(message).value_or(message);
}

namespace {

constexpr std::string_view kJpegStart = "\xFF\xD8\xFF";

// Decoded from the bytes where they lie. libjpeg scales by 1/2, 1/4 or 1/8 almost for free
// while decoding, and the smaller the scale the less it decodes; the filter does the rest from
// at least the final size.
std::unique_ptr<TBitmap> DecodeJpeg(std::string_view bytes, std::int32_t side) {
  JpegPixels decoded =
      DecodeJpegPixels({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, side);
  if (decoded.Warning != 0) {
    // TRANSLATORS: %1$d is the JPEG library's warning number, %2$s its own words, in English.
    throw EInvalidGraphic(InExceptionText(Format(Tr("JPEG warning #%1$d (%2$s): the photo is "
                                                    "damaged or cut short, part of it would be "
                                                    "grey"),
                                                 {decoded.Warning, decoded.WarningText})));
  }
  return std::move(decoded.Bitmap);
}

std::unique_ptr<TBitmap> DecodePng(std::string_view bytes) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  const auto failed = [&image] {
    const std::string message = image.message;
    png_image_free(&image);
    return EInvalidGraphic("PNG: " + message);
  };
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) throw failed();
  auto bitmap = std::make_unique<TBitmap>();
  try {
    bitmap->SetSize(static_cast<std::int32_t>(std::min<png_uint_32>(image.width, INT32_MAX)),
                    static_cast<std::int32_t>(std::min<png_uint_32>(image.height, INT32_MAX)));
  } catch (...) {
    png_image_free(&image);
    throw;
  }
  image.format = PNG_FORMAT_BGR;
  const png_color white{255, 255, 255};  // what transparent parts are laid on
  if (!png_image_finish_read(&image, &white, bitmap->ScanLine(0),
                             static_cast<png_int_32>(bitmap->Stride()), nullptr))
    throw failed();
  return bitmap;
}

std::uint32_t Read16(const unsigned char* p, bool little) {
  return little ? p[0] | p[1] << 8 : p[0] << 8 | p[1];
}
std::uint32_t Read32(const unsigned char* p, bool little) {
  return little ? Read16(p, true) | Read16(p + 2, true) << 16
                : Read16(p, false) << 16 | Read16(p + 2, false);
}

}  // namespace

int TiffOrientation(const unsigned char* tiff, std::size_t size) {
  if (size < 8) return 1;
  const bool little = tiff[0] == 'I' && tiff[1] == 'I';
  if (!little && !(tiff[0] == 'M' && tiff[1] == 'M')) return 1;
  const std::uint32_t ifd = Read32(tiff + 4, little);
  if (ifd > size - 2) return 1;
  const std::uint32_t entries = Read16(tiff + ifd, little);
  for (std::uint32_t k = 0; k < entries; ++k) {
    const std::size_t entry = ifd + 2 + std::size_t{12} * k;
    if (entry + 12 > size) break;
    if (Read16(tiff + entry, little) != 0x0112) continue;
    const std::uint32_t value = Read16(tiff + entry + 8, little);
    return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
  }
  return 1;
}

namespace {

// The orientation in a PNG's eXIf chunk, or 1.
int PngOrientation(std::string_view png) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(png.data());
  for (std::size_t at = kPngSignature.size(); at + 12 <= png.size();) {
    const std::size_t length = Read32(bytes + at, false);
    if (length > png.size() - at - 12) break;
    const std::string_view type = png.substr(at + 4, 4);
    if (type == "eXIf") return TiffOrientation(bytes + at + 8, length);
    if (type == "IEND") break;
    at += 12 + length;
  }
  return 1;
}

// The orientation in a WebP's EXIF chunk, or 1. Some writers keep the "Exif" mark of a JPEG's
// block before the TIFF structure.
int WebpOrientation(std::string_view webp) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(webp.data());
  for (std::size_t at = 12; at + 8 <= webp.size();) {
    const std::size_t length = Read32(bytes + at + 4, true);
    if (length > webp.size() - at - 8) break;
    if (webp.substr(at, 4) == "EXIF") {
      std::string_view exif = webp.substr(at + 8, length);
      if (exif.starts_with(std::string_view("Exif\0\0", 6))) exif.remove_prefix(6);
      return TiffOrientation(reinterpret_cast<const unsigned char*>(exif.data()), exif.size());
    }
    at += 8 + length + length % 2;
  }
  return 1;
}

// A point of the final square, as fractions, where it lies in the stored photo: turned back
// by the degrees clockwise, then by the orientation tag.
struct Point {
  double X, Y;
  friend bool operator==(const Point&, const Point&) = default;
};
Point StoredPoint(Point point, int orientation, int degrees) {
  for (int turned = 0; turned < degrees; turned += 90) point = {point.Y, 1 - point.X};
  if (orientation >= 5) point = {point.Y, point.X};
  if (orientation == 2 || orientation == 3 || orientation == 7 || orientation == 8)
    point.X = 1 - point.X;
  if (orientation == 3 || orientation == 4 || orientation == 6 || orientation == 7)
    point.Y = 1 - point.Y;
  return point;
}

// The one orientation tag that does what the tag and then the turn do.
int TurnedOrientation(int orientation, int degrees) {
  for (int code = 1; code < 8; ++code) {
    const auto same = [&](Point p) {
      return StoredPoint(p, code, 0) == StoredPoint(p, orientation, degrees);
    };
    if (same({0, 0}) && same({1, 0}) && same({0, 1})) return code;
  }
  return 8;
}

// Where a square of the given side starts along one side of the photo so that it is centred on
// the fraction, moved inward to stay whole.
std::int32_t SquareStart(std::int32_t length, std::int32_t side, double centre) {
  const double start = centre * length - side / 2.0;
  return static_cast<std::int32_t>(std::clamp(std::lround(start), 0L, long{length - side}));
}

}  // namespace

int ExifOrientation(std::string_view photo) {
  if (photo.starts_with(kPngSignature)) return PngOrientation(photo);
  if (IsWebp(photo)) return WebpOrientation(photo);
  if (!photo.starts_with(kJpegStart)) return 1;
  const auto* bytes = reinterpret_cast<const unsigned char*>(photo.data());
  std::size_t at = 2;
  while (at + 4 <= photo.size() && bytes[at] == 0xFF) {
    const unsigned char marker = bytes[at + 1];
    if (marker == 0xDA || marker == 0xD9) break;  // the picture data starts: no more headers
    const std::size_t length = Read16(bytes + at + 2, false);
    if (length < 2 || at + 2 + length > photo.size()) break;
    if (marker == 0xE1 && length >= 8 && std::memcmp(bytes + at + 4, "Exif\0\0", 6) == 0)
      return TiffOrientation(bytes + at + 10, length - 8);
    at += 2 + length;
  }
  return 1;
}

void ApplyOrientation(TBitmap& square, int orientation) {
  if (orientation <= 1 || orientation > 8) return;
  // Where the upright pixel (x, y) lies in the stored picture: the axes swapped, then each
  // counted from the far side or not.
  const bool swap = orientation >= 5;
  const bool flipX = orientation == 2 || orientation == 3 || orientation == 7 || orientation == 8;
  const bool flipY = orientation == 3 || orientation == 4 || orientation == 6 || orientation == 7;
  const std::int32_t far = square.Width() - 1;
  const TBitmap source(square);
  for (std::int32_t y = 0; y <= far; ++y) {
    std::uint8_t* row = square.ScanLine(y);
    for (std::int32_t x = 0; x <= far; ++x) {
      const std::int32_t sx = swap ? y : x;
      const std::int32_t sy = swap ? x : y;
      std::memcpy(row + 3 * x, source.ScanLine(flipY ? far - sy : sy) + 3 * (flipX ? far - sx : sx),
                  3);
    }
  }
}

std::unique_ptr<TBitmap> MakeSquarePicture(std::string_view photo, std::int32_t side,
                                           const PhotoFraming& framing, PhotoSize* size) {
  std::unique_ptr<TBitmap> decoded;
  int orientation = ExifOrientation(photo);
  if (photo.starts_with(kJpegStart)) {
    try {
      decoded = DecodeJpeg(photo, side);
    } catch (const EJPEG& error) {
      throw EInvalidGraphic(PictureErrorInWords(error));
    }
  } else if (photo.starts_with(kPngSignature)) {
    decoded = DecodePng(photo);
  } else if (IsHeif(photo)) {
    decoded = DecodeHeif(photo, orientation);
  } else if (IsWebp(photo)) {
    decoded = DecodeWebp(photo, side);
  } else {
    throw EInvalidGraphic(InExceptionText(Tr("not a JPEG, PNG, HEIC or WebP photo")));
  }
  if (decoded->Empty()) throw EInvalidGraphic(InExceptionText(Tr("the picture is empty")));
  if (size) {  // orientations 5 to 8 turn the photo a quarter
    *size = orientation >= 5 ? PhotoSize{decoded->Height(), decoded->Width()}
                             : PhotoSize{decoded->Width(), decoded->Height()};
  }

  const std::int32_t crop = std::min(decoded->Width(), decoded->Height());
  const Point centre =
      StoredPoint({framing.CentreX, framing.CentreY}, orientation, framing.Degrees % 360);
  const std::int32_t left = SquareStart(decoded->Width(), crop, centre.X);
  const std::int32_t top = SquareStart(decoded->Height(), crop, centre.Y);
  auto square = std::make_unique<TBitmap>();
  square->SetSize(side, side);
  stbir_resize_uint8_srgb(decoded->ScanLine(top) + 3 * left, crop, crop,
                          static_cast<int>(decoded->Stride()), square->ScanLine(0), side, side,
                          static_cast<int>(square->Stride()), 3, STBIR_ALPHA_CHANNEL_NONE, 0);
  ApplyOrientation(*square, TurnedOrientation(orientation, framing.Degrees % 360));
  return square;
}

}  // namespace anthora
