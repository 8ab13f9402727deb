// Arbitrary bytes as a question set and the pictures of its questions, played through the
// main window: a language is ticked, then the start/next button and an answer button are
// pressed in turn, a bounded number of times. Message boxes are answered as they open.
//
// The first byte picks the language (bit 0) and the answer buttons (the rest). The question
// set follows, up to the first JPEG start-of-image marker; from there on the bytes are the
// picture of every question that the set names.
//
// The quiz reads its files relative to the current folder, so the target works in a folder of
// its own: give it its corpus folders as absolute paths.
#include <stdlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "PictureLimit.h"
#include "app/Program.h"
#include "app/Unit1.h"
#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "picture/Jpeg.h"
#include "platform/headless/HeadlessPlatform.h"
#include "quiz/QuestionSet.h"
#include "quiz/SetFile.h"
#include "runtime/base/Exceptions.h"
#include "runtime/files/Stream.h"

namespace anthora {
namespace {

constexpr int kMaxPresses = 24;
constexpr std::size_t kMaxPictures = 32;
constexpr std::string_view kStartOfImage = "\xFF\xD8";

// A folder of the process's own, the current folder while the process lives.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "anthora-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    FPath = pattern;
    std::filesystem::current_path(FPath);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::current_path(FPath.parent_path(), ignored);
    std::filesystem::remove_all(FPath, ignored);
  }

 private:
  std::filesystem::path FPath;
};

void Write(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// Writes the picture under every picture name of the set that names a file in ris/.
void WritePictures(std::string_view picture) {
  if (TooLargeToDecode(picture)) return;
  SetFileReader set;
  set.Open(kEnglishSetPath);
  try {
    set.ReadCount();
  } catch (const EConvertError&) {
    // the questions are read all the same
  }
  for (std::size_t question = 0; question < kMaxPictures; ++question) {
    const std::string name = set.ReadPictureName();
    if (name.empty()) return;
    // A name may reach its file through "./" steps; the file is written where they lead.
    const auto path = std::filesystem::path(PicturePath(name)).lexically_normal();
    if (name.find('\0') == std::string::npos && path.parent_path() == "ris" &&
        path.filename().string().size() < 200) {
      Write(path.string(), picture);
    }
    set.ReadAnswers();
  }
}

void Click(HeadlessPlatform& platform, TApplication& application, const TControl& control) {
  const TRect r = control.FormRect();
  platform.Click(0, r.Left + r.Width() / 2, r.Top + r.Height() / 2);
  application.ProcessMessages();
}

void PlayQuiz(std::uint8_t choices) {
  HeadlessPlatform platform;
  TApplication application(platform);
  InitializeProgram(platform);
  application.Title = "Anthora 1.0";
  application.OnDialog = [&platform](const DialogRecord&) {
    platform.KeyDown(platform.WindowCount() - 1, VK_RETURN);
  };
  {
    TForm1 form(nullptr);
    form.Show();
    application.ProcessMessages();
    const std::array<TxpButton*, 4> answers = {form.xpButton1, form.xpButton2, form.xpButton3,
                                               form.xpButton4};
    Click(platform, application, (choices & 1) ? *form.xpCheckBox2 : *form.xpCheckBox1);
    for (int press = 0; press < kMaxPresses && form.xpButton6->Enabled(); ++press) {
      platform.SetPerformanceCounter(static_cast<std::uint64_t>(press));
      Click(platform, application, *form.xpButton6);
      Click(platform, application, *answers[static_cast<std::size_t>((choices / 2 + press) % 4)]);
    }
  }
  FinalizeProgram();
}

}  // namespace
}  // namespace anthora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static anthora::ScratchFolder folder;
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t split = std::min(input.find(anthora::kStartOfImage), input.size());
  const std::string_view set = input.substr(0, split);

  std::filesystem::remove_all("ris");
  std::filesystem::create_directory("ris");
  anthora::Write(std::string(anthora::kEnglishSetPath), set);
  anthora::Write(std::string(anthora::kRussianSetPath), set);
  if (split < input.size()) anthora::WritePictures(input.substr(split));
  anthora::PlayQuiz(data[0]);
  return 0;
}
