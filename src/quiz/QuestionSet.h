#pragma once

#include <array>
#include <string>
#include <string_view>

namespace anthora {

// Where the quiz content lies, relative to the current working directory.
inline constexpr std::string_view kEnglishSetPath = "ris/fen.ani";
inline constexpr std::string_view kRussianSetPath = "ris/fru.ani";

// The picture file of a question: the folder, the picture-name line exactly as read, ".jpg".
inline std::string PicturePath(std::string_view pictureName) {
  return "ris/" + std::string(pictureName) + ".jpg";
}

// The answer lines of the current question in file order; slot 1 (index 0) is the right one.
using AnswerSlots = std::array<std::string, 4>;

}  // namespace anthora
