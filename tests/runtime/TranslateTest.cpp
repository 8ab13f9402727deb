#include <gtest/gtest.h>
#include <stdlib.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "runtime/base/Translate.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

using test::TempDir;

// The build tree's locale folder beside the program comes first; an installed program finds
// share/locale of its prefix, also when its bin/ holds the system's locale program.
TEST(Translate, CatalogueFolderBesideTheProgram) {
  const TempDir prefix;
  const std::string root = prefix.Path().string();
  EXPECT_EQ(CatalogueFolder(root + "/bin/anthora"), "");
  EXPECT_EQ(CatalogueFolder("anthora"), "");

  prefix.Write("bin/locale", "a program, not a folder");
  std::filesystem::create_directories(prefix.Path() / "share/locale/ru/LC_MESSAGES");
  EXPECT_EQ(CatalogueFolder(root + "/bin/anthora"), root + "/bin/../share/locale");

  std::filesystem::create_directories(prefix.Path() / "build/locale");
  EXPECT_EQ(CatalogueFolder(root + "/build/anthora"), root + "/build/locale");
}

// Under a Russian locale the messages are Russian and numbers keep their decimal point.
TEST(Translate, OnlyMessagesAndCharactersFollowTheLocale) {
  setenv("LC_ALL", "ru_RU.UTF-8", 1);
  StartTranslation();
  const char* messages = std::setlocale(LC_MESSAGES, nullptr);
  ASSERT_STREQ(messages, "ru_RU.UTF-8") << "the Russian locale is missing: run scripts/setup";
  EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), "ru_RU.UTF-8");
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");

  EXPECT_EQ(std::strtod("50.5", nullptr), 50.5);
  char text[16];
  std::snprintf(text, sizeof text, "%.1f%%", 50.5);
  EXPECT_STREQ(text, "50.5%");
  std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace anthora
