// Arbitrary bytes as a question set and its pictures, checked and drawn as a contact sheet.
//
// The set follows up to the first JPEG start-of-image marker and is both ris/fen.ani and
// ris/fru.ani; from there on the bytes are the picture ris/a.jpg, also found as "A" and
// through the name ris/B.JPG ignoring case.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "PictureLimit.h"
#include "authoring/SetChecker.h"
#include "authoring/SetPreview.h"
#include "picture/Jpeg.h"
#include "runtime/base/Exceptions.h"

namespace anthora {
namespace {

constexpr std::size_t kKept = 8;

class ScratchSet {
 public:
  ScratchSet() {
    std::string pattern = (std::filesystem::temp_directory_path() / "anthora-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    FPath = pattern;
    std::filesystem::create_directory(FPath / "ris");
  }
  ~ScratchSet() {
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
  }
  void Write(const char* name, std::string_view bytes) const {
    std::ofstream(FPath / "ris" / name, std::ios::binary)
        .write(bytes.data(), std::streamsize(bytes.size()));
  }
  std::string Folder() const { return FPath.string(); }

 private:
  std::filesystem::path FPath;
};

}  // namespace
}  // namespace anthora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace anthora;
  [[maybe_unused]] static const bool initialized = [] {
    InitializeJpegUnit();
    return true;
  }();
  static const ScratchSet scratch;

  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t start = bytes.find("\xFF\xD8");
  const std::string_view set = bytes.substr(0, start);
  const std::string_view picture =
      start == std::string_view::npos ? std::string_view() : bytes.substr(start);
  if (TooLargeToDecode(picture)) return 0;
  scratch.Write("fen.ani", set);
  scratch.Write("fru.ani", set);
  scratch.Write("a.jpg", picture);
  scratch.Write("B.JPG", picture);

  AnswerFace face;
  face.Font.SetName("MS Sans Serif");
  face.Font.SetHeight(-13);
  face.Width = 226;
  const SetCheck check = CheckQuestionSets(scratch.Folder(), face, kKept);
  if (check.English.First.size() > kKept || check.Russian.First.size() > kKept ||
      check.English.Questions != check.Russian.Questions)
    __builtin_trap();
  const SetPreview preview = DrawSetPreview(scratch.Folder(), check, face.Font);
  if (preview.Shown > static_cast<int>(kKept) ||
      preview.Pixels.size() != static_cast<std::size_t>(preview.Width) * preview.Height)
    __builtin_trap();
  return 0;
}
