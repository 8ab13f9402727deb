// What the command line asks for, and what it refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace anthora {
namespace {

CommandLine Parse(const std::vector<std::string>& words) {
  std::vector<std::string> storage{"anthora"};
  storage.insert(storage.end(), words.begin(), words.end());
  std::vector<char*> argv;
  for (std::string& word : storage) argv.push_back(word.data());
  argv.push_back(nullptr);
  return ParseCommandLine(static_cast<int>(storage.size()), argv.data());
}

using Action = CommandLine::Action;

TEST(CommandLine, ActionsWithTheirFoldersInAnyOrder) {
  EXPECT_EQ(Parse({}).What, Action::Play);
  const CommandLine play = Parse({"sets/roses", "--scale", "2"});
  EXPECT_EQ(play.Folder, "sets/roses");
  EXPECT_EQ(play.Scale, 2);
  EXPECT_EQ(Parse({"--scale=3"}).Scale, 3);
  EXPECT_EQ(Parse({"--scale", "max"}).Scale, kMaxScale);  // lowered until the window fits

  EXPECT_EQ(Parse({"--check"}).Folder, "");
  EXPECT_EQ(Parse({"sets/roses", "--check"}).Folder, "sets/roses");

  const CommandLine build = Parse({"--build-set", "photos", "out", "--force"});
  EXPECT_EQ(build.What, Action::BuildSet);
  EXPECT_EQ(build.Source, "photos");
  EXPECT_EQ(build.Output, "out");
  EXPECT_TRUE(build.Force);
  EXPECT_EQ(Parse({"--new-sheet", "photos"}).What, Action::NewSheet);
  EXPECT_EQ(Parse({"--new-sheet", "photos"}).Source, "photos");
  EXPECT_EQ(Parse({"--new-sheet", "photos"}).Output, "");
  EXPECT_EQ(Parse({"--new-sheet", "photos", "Questions.XLSX"}).Output, "Questions.XLSX");
  EXPECT_EQ(Parse({"--make-quiz", "Spring flowers"}).What, Action::MakeQuiz);
  EXPECT_EQ(Parse({"--make-quiz", "--", "-photos"}).Source, "-photos");

  const CommandLine pack = Parse({"--pack", "roses", "roses.anthora"});
  EXPECT_EQ(pack.What, Action::Pack);
  EXPECT_EQ(pack.Source, "roses");
  EXPECT_EQ(pack.Output, "roses.anthora");
  const CommandLine preview = Parse({"--preview", "roses", "roses.png", "--force"});
  EXPECT_EQ(preview.What, Action::Preview);
  EXPECT_EQ(preview.Folder, "roses");
  EXPECT_EQ(preview.Output, "roses.png");
  EXPECT_EQ(Parse({"--preview", "roses"}).Output, "");
  const CommandLine worksheet = Parse({"--force", "--worksheet", "roses.anthora", "class 5.pdf"});
  EXPECT_EQ(worksheet.What, Action::Worksheet);
  EXPECT_EQ(worksheet.Folder, "roses.anthora");
  EXPECT_EQ(worksheet.Output, "class 5.pdf");
  EXPECT_TRUE(worksheet.Force);
  const CommandLine deck = Parse({"--export-deck", "roses.anthora", "--language", "ru", "--force"});
  EXPECT_EQ(deck.What, Action::ExportDeck);
  EXPECT_EQ(deck.Folder, "roses.anthora");
  EXPECT_EQ(deck.Language, "ru");
  EXPECT_TRUE(deck.Force);
  EXPECT_EQ(Parse({"--export-deck", "roses", "home.apkg", "--language=en"}).Output, "home.apkg");
  EXPECT_EQ(Parse({"--export-deck", "roses"}).Language, "");
  const CommandLine menu = Parse({"--default-set", "/usr/share/sample"});
  EXPECT_EQ(menu.DefaultSet, "/usr/share/sample");
  EXPECT_EQ(menu.Folder, "");

  EXPECT_EQ(Parse({"--check", "--help"}).What, Action::Help);
  EXPECT_EQ(Parse({"--version", "x"}).What, Action::Version);
}

TEST(CommandLine, RefusesWhatItCannotFollow) {
  for (const auto& words :
       std::vector<std::vector<std::string>>{{"--bogus"},
                                             {"-x"},
                                             {"--scale"},
                                             {"--scale", "0"},
                                             {"--scale", "9"},
                                             {"--scale", "2x"},
                                             {"--scale", " 2"},
                                             {"--scale", "-1"},
                                             {"--scale", "MAX"},
                                             {"--scale", "99999999999999999999"},
                                             {"--check=sets"},
                                             {"a", "b"},
                                             {"--check", "a", "b"},
                                             {"--build-set", "only-source"},
                                             {"--build-set", "a", "b", "c"},
                                             {"--make-quiz"},
                                             {"--make-quiz", "a", "b"},
                                             {"--make-quiz", "--force", "a"},
                                             {"--make-quiz", "--check", "a"},
                                             {"--check", "--build-set", "a", "b"},
                                             {"--force"},
                                             {"--new-sheet"},
                                             {"--new-sheet", "a", "--build-set", "b", "c"},
                                             {"--new-sheet", "a", "questions.csv", "c"},
                                             {"--pack", "roses", "roses.zip"},
                                             {"--pack", "roses", ".anthora"},
                                             {"--pack", "--check", "a", "b.anthora"},
                                             {"--preview"},
                                             {"--worksheet"},
                                             {"--worksheet", "a", "b.pdf", "c"},
                                             {"--worksheet", "a", "--check"},
                                             {"--preview", "a", "b.png", "c"},
                                             {"--export-deck"},
                                             {"--export-deck", "a", "b.apkg", "c"},
                                             {"--export-deck", "a", "--language"},
                                             {"--export-deck", "a", "--language", "de"},
                                             {"--export-deck", "a", "--language=EN"},
                                             {"--check", "a", "--language", "ru"},
                                             {"--export-deck", "a", "--pack", "a", "b.anthora"},
                                             {"--default-set"},
                                             {"--check", "--default-set", "a"},
                                             {"--check", "--scale", "2"}}) {
    EXPECT_THROW(Parse(words), UsageError) << words.front();
  }
}

TEST(CommandLine, NamesTheWordItRefuses) {
  const auto refusal = [](const std::vector<std::string>& words) {
    try {
      Parse(words);
    } catch (const UsageError& error) {
      return std::string(error.what());
    }
    return std::string("accepted");
  };
  EXPECT_EQ(refusal({"-xyz"}), "unknown option '-xyz'");
  EXPECT_EQ(refusal({"--build-set", "-fo", "a", "b"}), "unknown option '-fo'");
  EXPECT_EQ(refusal({"--check", "-dir"}), "unknown option '-dir'");
  EXPECT_EQ(refusal({"--check", "--bogus=1"}), "unknown option '--bogus=1'");
  EXPECT_EQ(refusal({"--check=sets"}), "--check takes no value: '--check=sets'");
  EXPECT_EQ(refusal({"--scale", "2x"}),
            "--scale takes a whole number from 1 to 8 or max, not '2x'");
  EXPECT_EQ(refusal({"a", "b\x1B"}), "more than one FOLDER: 'b\\x1B'");
  EXPECT_EQ(refusal({"--build-set", "a", "b", "c"}),
            "--build-set takes two folders, SOURCE and OUTPUT, not also 'c'");
  // Abbreviations still work, and after "--" every word is a folder.
  EXPECT_EQ(Parse({"--vers"}).What, Action::Version);
  EXPECT_EQ(Parse({"--check", "--", "-dir"}).Folder, "-dir");
}

}  // namespace
}  // namespace anthora
