// The layout of a set file, written as the builder writes it and read back as the quiz reads it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "quiz/SetFile.h"
#include "runtime/base/Exceptions.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

TEST(SetFile, WrittenRecordsReadBackLineForLineAtTheirLines) {
  const std::vector<SetRecord> records = {{"rose", {"Rose", "Tulip", "Daisy", "Poppy"}},
                                          {"tulip", {"Tulip", "Rose", "", "Iris"}}};
  const std::string text = SetFileText(records);
  EXPECT_EQ(text,
            "2\r\nrose\r\nRose\r\nTulip\r\nDaisy\r\nPoppy\r\n"
            "tulip\r\nTulip\r\nRose\r\n\r\nIris\r\n");

  const test::TempDir dir;
  SetFileReader reader;
  reader.Open(dir.Write("ris/fen.ani", text));
  EXPECT_EQ(reader.ReadCount(), 2);
  for (const SetRecord& record : records) {
    EXPECT_EQ(reader.ReadPictureName(), record.PictureName);
    EXPECT_EQ(reader.ReadAnswers(), record.Answers);
  }
  EXPECT_EQ(reader.ReadPictureName(), "");  // the questions end

  // Every line of a record maps back to its question; the count line to none.
  EXPECT_EQ(QuestionOfLine(1), std::nullopt);
  EXPECT_EQ(QuestionOfLine(0), std::nullopt);
  for (std::size_t question : {0u, 1u, 400u}) {
    const int first = PictureNameLine(question);
    for (int line = first; line < first + static_cast<int>(kRecordLines); ++line)
      EXPECT_EQ(QuestionOfLine(line), question) << line;
  }
  EXPECT_EQ(PictureNameLine(1), 7);
}

TEST(SetFile, ACountLineThatIsNoNumberIsAConvertError) {
  const test::TempDir dir;
  SetFileReader reader;
  reader.Open(dir.Write("fru.ani", "two\r\n"));
  EXPECT_THROW(reader.ReadCount(), EConvertError);
}

TEST(SetFile, TheFilesOfASetFolder) {
  for (const char* name : {"fen.ani", "fru.ani", "rose.jpg", "ROSE.JPG", "a.Jpg"})
    EXPECT_TRUE(IsSetFile(name)) << name;
  for (const char* name : {"notes.txt", ".jpg", "fen.ani.bak", "sub/fen.ani", "rose.jpeg"})
    EXPECT_FALSE(IsSetFile(name)) << name;
  EXPECT_TRUE(IsSetFilePath("/tmp/x/ris/fru.ani"));
  EXPECT_FALSE(IsSetFilePath("/tmp/x/ris/fru.ani/"));
  EXPECT_FALSE(IsSetFilePath("questions.tsv"));
}

}  // namespace
}  // namespace anthora
