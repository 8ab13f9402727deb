#pragma once

#include <set>
#include <string>
#include <string_view>

namespace anthora {

// A file name made of lower-case ASCII letters, digits and "-" from a photo's name: Cyrillic
// transliterated, Latin letters without their accents (whether stored with their letters or
// apart), anything else a "-"; "photo" when nothing is left.
std::string SafePictureName(std::string_view photoName);

// Safe names for the pictures of one set, each used once: a name taken already gets "-2",
// "-3" and so on.
class PictureNames {
 public:
  std::string Add(std::string_view photoName);

 private:
  std::set<std::string> FUsed;
};

}  // namespace anthora
