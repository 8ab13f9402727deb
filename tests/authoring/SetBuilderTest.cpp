// A set made in memory: the same files and findings however many cores make its pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "authoring/SetBuilder.h"
#include "picture/Jpeg.h"
#include "platform/posix/DeferredTermination.h"
#include "runtime/graphics/Bitmap.h"
#include "support/JpegBytes.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

// A JPEG photo of one shade of grey.
std::string ShadePhoto(std::uint8_t shade, std::int32_t width) {
  TBitmap bitmap;
  bitmap.SetSize(width, 300);
  for (std::int32_t y = 0; y < 300; ++y) std::fill_n(bitmap.ScanLine(y), 3 * width, shade);
  return test::JpegBytes(bitmap);
}

TEST(SetBuilder, MakesTheSameSetOnOneThreadAsOnMany) {
  const test::TempDir source;
  std::string table = "picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\n";
  for (int i = 0; i < 12; ++i) {
    const std::string name = "p" + std::to_string(i) + ".jpg";
    source.Write(name, i == 5 ? std::string("not a photo") : ShadePhoto(20 * i, 300 + 40 * i));
    table += name + "\tA" + std::to_string(i) + "\tB\tC\tD\n";
  }
  source.Write("questions.tsv", table);

  const MadeSet alone = MakeQuestionSet(source.Path().string(), 1);
  ASSERT_EQ(alone.Problems.Lines().size(), 2u);  // no Russian columns, and the broken photo
  EXPECT_TRUE(alone.Problems.Lines()[1].starts_with(source.Path().string() + "/questions.tsv:7: "));
  for (const unsigned threads : {2u, 5u, 0u}) {
    const MadeSet many = MakeQuestionSet(source.Path().string(), threads);
    EXPECT_EQ(many.Problems.Lines(), alone.Problems.Lines());
    ASSERT_EQ(many.Files.size(), alone.Files.size());
    for (std::size_t i = 0; i < many.Files.size(); ++i) {
      EXPECT_EQ(many.Files[i].Name, alone.Files[i].Name);
      EXPECT_TRUE(many.Files[i].Bytes == alone.Files[i].Bytes) << many.Files[i].Name;
    }
  }
}

// A folder of `count` photos and the sheet that names them all.
void WriteSource(const test::TempDir& source, int count) {
  std::string table = "picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\n";
  for (int i = 0; i < count; ++i) {
    const std::string name = "p" + std::to_string(i) + ".jpg";
    source.Write(name, ShadePhoto(static_cast<std::uint8_t>(10 * i), 300));
    table += name + "\tA" + std::to_string(i) + "\tB\tC\tD\n";
  }
  source.Write("questions.tsv", table);
}

// Progress is told from zero up to every photo, once each, whatever thread made it.
TEST(SetBuilder, TellsItsProgressPhotoByPhoto) {
  const test::TempDir source;
  WriteSource(source, 7);
  std::mutex lock;
  std::vector<std::size_t> told;
  const MadeSet made =
      MakeQuestionSet(source.Path().string(), 3, [&](std::size_t done, std::size_t all) {
        const std::lock_guard guard(lock);
        EXPECT_EQ(all, 7u);
        told.push_back(done);
      });
  EXPECT_EQ(made.Pictures, 7);
  std::sort(told.begin(), told.end());
  EXPECT_EQ(told, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6, 7}));
}

// Work the user stopped ends as an interrupted build, whose files are of no use, and the
// program goes on.
TEST(SetBuilder, WorkTheUserStoppedMakesNothing) {
  const test::TempDir source;
  WriteSource(source, 6);
  EXPECT_EXIT(
      {
        std::atomic<bool> stopped = false;
        const MadeSet made =
            MakeQuestionSet(source.Path().string(), 1, [&](std::size_t done, std::size_t) {
              if (done == 2 && !stopped.exchange(true)) DeferredTermination::StopWork();
            });
        const bool none = made.Pictures == 0 && made.Problems.Count(Finding::Level::Error) == 1;
        std::exit(none && DeferredTermination::Pending() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace anthora
