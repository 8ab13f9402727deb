#include "authoring/PictureName.h"

#include "platform/Utf8.h"
#include "runtime/base/Composition.h"
#include "runtime/base/Cp1251.h"

namespace anthora {

namespace {

// The Latin letters of a lower-case Cyrillic letter, or none.
const char* Transliterated(char32_t c) {
  static constexpr const char* kRussian[] = {
      "a", "b", "v", "g", "d", "e",  "zh", "z",  "i",  "y",    "k", "l", "m", "n", "o",  "p",
      "r", "s", "t", "u", "f", "kh", "ts", "ch", "sh", "shch", "",  "y", "",  "e", "yu", "ya"};
  if (c >= 0x0430 && c <= 0x044F) return kRussian[c - 0x0430];
  switch (c) {
    case 0x0451:
      return "e";  // ё
    case 0x0456:
      return "i";  // і
    case 0x0457:
      return "yi";  // ї
    case 0x0454:
      return "ye";  // є
    case 0x0491:
      return "g";  // ґ
    case 0x045E:
      return "u";  // ў
    default:
      return nullptr;
  }
}

}  // namespace

std::string SafePictureName(std::string_view photoName) {
  std::string_view stem = photoName.substr(photoName.rfind('/') + 1);
  if (const std::size_t dot = stem.rfind('.'); dot != std::string_view::npos && dot > 0)
    stem = stem.substr(0, dot);
  std::string name;
  const auto add = [&name](std::string_view part) {
    if (part == "-" && (name.empty() || name.back() == '-')) return;
    name += part;
  };
  for (char32_t c : Composed(DecodeUtf8(stem))) {
    c = cp1251::ToLower(c);
    if ((c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9')) {
      add(std::string(1, static_cast<char>(c)));
    } else if (const char* latin = Transliterated(c)) {
      add(latin);
    } else if (const char32_t base = cp1251::ToLower(BaseLetter(c)); base >= U'a' && base <= U'z') {
      add(std::string(1, static_cast<char>(base)));
    } else {
      add("-");
    }
    if (name.size() >= 40) break;
  }
  while (!name.empty() && name.back() == '-') name.pop_back();
  return name.empty() ? "photo" : name;
}

std::string PictureNames::Add(std::string_view photoName) {
  const std::string name = SafePictureName(photoName);
  std::string unique = name;
  for (int n = 2; !FUsed.insert(unique).second; ++n) unique = name + "-" + std::to_string(n);
  return unique;
}

}  // namespace anthora
