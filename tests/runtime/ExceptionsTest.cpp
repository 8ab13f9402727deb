#include <gtest/gtest.h>

#include "runtime/base/Cp1251.h"
#include "runtime/base/Exceptions.h"
#include "runtime/base/Format.h"

namespace anthora {
namespace {

TEST(ErrorReportText, AppendsAFullStopAfterCharactersSortingAfterIt) {
  EXPECT_EQ(ErrorReportText(EInOutError(104)), "I/O error 104.");
  EXPECT_EQ(ErrorReportText(Exception("Stream read error")), "Stream read error.");
  EXPECT_EQ(ErrorReportText(Exception("JPEG error #53")), "JPEG error #53.");
  EXPECT_EQ(ErrorReportText(Exception("Done.")), "Done.");
  EXPECT_EQ(ErrorReportText(Exception("Really!")), "Really!");  // '!' sorts before '.'
  EXPECT_EQ(ErrorReportText(Exception("(.jpg)")), "(.jpg)");    // so does ')'
  EXPECT_EQ(ErrorReportText(Exception("")), "");
  EXPECT_EQ(ErrorReportText(Exception("Файл"_cp1251)), "Файл."_cp1251);
}

// A refusal of the tools carries UTF-8 text under the same root: a terminal reads it as it is,
// the error box in the runtime's single-byte text, like the runtime's own failures.
TEST(ERefusal, UnderTheOneRootInEitherEncoding) {
  const ERefusal refusal("роза.anthora: не найден");
  const Exception& root = refusal;
  EXPECT_EQ(root.Utf8Message(), "роза.anthora: не найден");
  EXPECT_EQ(ErrorReportText(root), "роза.anthora: не найден."_cp1251);
  EXPECT_EQ(Exception("Файл"_cp1251).Utf8Message(), "Файл");
  EXPECT_STREQ(static_cast<const std::runtime_error&>(root).what(), "роза.anthora: не найден");
}

TEST(EInOutError, MessageFollowsTheCode) {
  EXPECT_EQ(EInOutError(2).Message(), "File not found");
  EXPECT_EQ(EInOutError(3).Message(), "Invalid filename");
  EXPECT_EQ(EInOutError(4).Message(), "Too many open files");
  EXPECT_EQ(EInOutError(5).Message(), "File access denied");
  EXPECT_EQ(EInOutError(104).Message(), "I/O error 104");
  EXPECT_EQ(EInOutError(104).ErrorCode(), 104);
}

TEST(Exceptions, FixedTexts) {
  EXPECT_EQ(EReadError().Message(), "Stream read error");
  EXPECT_EQ(EAbort().Message(), "Operation aborted");
  const EFOpenError open("x");
  const Exception& base = open;
  EXPECT_EQ(base.Message(), "x");
  EXPECT_NE(dynamic_cast<const EStreamError*>(&base), nullptr);
}

TEST(Format, FillsPlaceholdersInOrder) {
  EXPECT_EQ(Format("'%s' is not a valid integer value", {"12 "}),
            "'12 ' is not a valid integer value");
  EXPECT_EQ(Format("Cannot open file \"%s\". %s", {"a.jpg", "File not found"}),
            "Cannot open file \"a.jpg\". File not found");
  EXPECT_EQ(Format("JPEG error #%d", {53}), "JPEG error #53");
  EXPECT_EQ(Format("100%% %s %s", {"one"}), "100% one %s");
  // A translation puts the arguments in its own order.
  EXPECT_EQ(Format("%2$s: %1$d", {7, "rose.jpg"}), "rose.jpg: 7");
  EXPECT_EQ(Format("%3$s %1$s %0$s %1$", {"a", "b"}), "%3$s a %0$s %1$");
  EXPECT_EQ(IntToStr(-12), "-12");
}

}  // namespace
}  // namespace anthora
