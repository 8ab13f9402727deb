#include "authoring/WrongAnswers.h"

#include <algorithm>
#include <bit>
#include <map>
#include <optional>
#include <set>

#include "runtime/base/Cp1251.h"
#include "runtime/base/Format.h"
#include "runtime/base/Random.h"
#include "runtime/base/Translate.h"

namespace anthora {

namespace {

using Answers = std::array<std::string, 4>;
using Language = Answers TableQuestion::*;

// Each species of the sheet once: the flower the table knows it as, else its right answer.
struct Species {
  std::vector<std::size_t> Index;    // per question, its species
  std::vector<const Flower*> Known;  // per question, the table's flower or null
  // Per question and language (English, Russian), its right answer in lower case and the flower
  // the table knows by that name, as the choice compares them again and again.
  std::vector<std::array<std::string, 2>> Lowered;
  std::vector<std::array<const Flower*, 2>> Named;
  // The first question of each species the table knows, which are no more than its flowers,
  // and of each it does not, which may be as many as the sheet's rows.
  std::vector<std::size_t> KnownFirst;
  std::vector<std::size_t> UnknownFirst;
};

// Candidates a row's wrong answers are looked for among at most, so that a sheet whose rows
// all name one flower under many names still costs little per row.
constexpr std::size_t kMaxCandidates = 100;

std::size_t SlotOf(Language language) {
  return language == &TableQuestion::English ? 0 : 1;
}

std::vector<Language> LanguagesOf(const QuestionTable& table) {
  std::vector<Language> languages;
  if (table.HasEnglish) languages.push_back(&TableQuestion::English);
  if (table.HasRussian) languages.push_back(&TableQuestion::Russian);
  return languages;
}

Species SpeciesOf(const QuestionTable& table, const FlowerTable& flowers) {
  Species species;
  std::map<std::string, std::size_t> byKey;
  for (std::size_t i = 0; i < table.Questions.size(); ++i) {
    const Flower* known = nullptr;
    std::string key;
    std::array<std::string, 2>& lowered = species.Lowered.emplace_back();
    std::array<const Flower*, 2>& named = species.Named.emplace_back();
    for (const Language language : LanguagesOf(table)) {
      const std::string& answer = (table.Questions[i].*language)[0];
      lowered[SlotOf(language)] = LowerCp1251(answer);
      named[SlotOf(language)] = flowers.Find(answer);
      if (!known) known = named[SlotOf(language)];
      if (key.empty()) key = lowered[SlotOf(language)];
    }
    if (known) key = "\x01" + known->English;  // apart from every answer, which has no control
    species.Known.push_back(known);
    const auto [entry, added] = byKey.try_emplace(key, byKey.size());
    if (added) (known ? species.KnownFirst : species.UnknownFirst).push_back(i);
    species.Index.push_back(entry->second);
  }
  return species;
}

// 0 for a flower of the same family and colour, 1 for one of either, 2 for the rest.
int Unlikeness(const Flower* a, const Flower* b) {
  if (!a || !b) return 2;
  const bool family = a->Family == b->Family;
  const bool colour = a->Colour == b->Colour;
  return family && colour ? 0 : family || colour ? 1 : 2;
}

// A right answer read with a wrong answer left empty.
bool Unfilled(const Answers& answers) {
  return !answers[0].empty() && std::any_of(answers.begin() + 1, answers.end(),
                                            [](const std::string& a) { return a.empty(); });
}

bool NeedsChoice(const QuestionTable& table, Language language) {
  return std::any_of(table.Questions.begin(), table.Questions.end(),
                     [&](const TableQuestion& q) { return Unfilled(q.*language); });
}

std::string_view ColumnOf(Language language) {
  return language == &TableQuestion::English ? "en" : "ru";
}

// Refuses a language that needs the choice and has too few flowers to choose from.
bool EnoughFlowers(const QuestionTable& table, Language language, const std::string& sheet,
                   Findings& findings) {
  constexpr int kNeeded = 4;  // the row's own answer and three others
  std::set<std::string> different;
  for (const TableQuestion& question : table.Questions) {
    if (!(question.*language)[0].empty()) different.insert(LowerCp1251((question.*language)[0]));
  }
  const int count = static_cast<int>(different.size());
  if (count >= kNeeded) return true;
  const int more = kNeeded - count;
  // TRANSLATORS: %1$s is a column name ("en"), %2$s "3 different flowers", %3$s "1 more
  // species".
  findings.Error(
      sheet, 0,
      Format(Tr("column %1$s: the program chooses the empty wrong answers among the right answers "
                "of the rows, and these name only %2$s; add rows for %3$s, or fill in the wrong "
                "answers"),
             {ColumnOf(language),
              Format(TrN("%d different flower", "%d different flowers", count), {count}),
              Format(TrN("%d more species", "%d more species", more), {more})}));
  return false;
}

// The other questions' species, the most alike first, each group in a drawn order: the table's
// flowers of the same family and colour, then of either, then the rest with the species the
// table does not know. Drawn only as far as it is read, so that a row costs a pass over the
// table's flowers and a few draws, however many rows the sheet has.
class CandidateOrder {
 public:
  CandidateOrder(std::size_t question, const Species& species, RandomGenerator& random)
      : FSpecies(species), FOwn(species.Index[question]), FRandom(random) {
    const Flower* own = species.Known[question];
    for (const std::size_t first : species.KnownFirst) {
      if (species.Index[first] != FOwn)
        FGroups[Unlikeness(own, species.Known[first])].push_back(first);
    }
    FUnknownLeft = species.UnknownFirst.size() - (own ? 0 : 1);
  }

  // The question at this place of the order; none past its end.
  std::optional<std::size_t> At(std::size_t place) {
    while (FDrawn.size() <= place) {
      std::vector<std::size_t>& group = !FGroups[0].empty()   ? FGroups[0]
                                        : !FGroups[1].empty() ? FGroups[1]
                                                              : FGroups[2];
      const bool rest = &group == &FGroups[2];
      const std::size_t all = group.size() + (rest ? FUnknownLeft : 0);
      if (all == 0) return std::nullopt;
      const auto drawn = static_cast<std::size_t>(FRandom.Random(static_cast<std::int32_t>(all)));
      if (drawn < group.size()) {
        FDrawn.push_back(group[drawn]);
        group[drawn] = group.back();
        group.pop_back();
      } else {
        FDrawn.push_back(DrawUnknown());
      }
    }
    return FDrawn[place];
  }

 private:
  // One of the species the table does not know, not drawn before: by drawing again while few
  // are drawn, from a list of those left once many are.
  std::size_t DrawUnknown() {
    const std::vector<std::size_t>& unknown = FSpecies.UnknownFirst;
    if (FRest.empty() && 2 * FTaken.size() + 2 > unknown.size()) {
      for (const std::size_t first : unknown) {
        if (FSpecies.Index[first] != FOwn && !FTaken.contains(first)) FRest.push_back(first);
      }
    }
    --FUnknownLeft;
    if (!FRest.empty()) {
      const auto drawn =
          static_cast<std::size_t>(FRandom.Random(static_cast<std::int32_t>(FRest.size())));
      const std::size_t first = FRest[drawn];
      FRest[drawn] = FRest.back();
      FRest.pop_back();
      FTaken.insert(first);
      return first;
    }
    for (;;) {
      const std::size_t first = unknown[static_cast<std::size_t>(
          FRandom.Random(static_cast<std::int32_t>(unknown.size())))];
      if (FSpecies.Index[first] != FOwn && FTaken.insert(first).second) return first;
    }
  }

  const Species& FSpecies;
  std::size_t FOwn;
  RandomGenerator& FRandom;
  std::array<std::vector<std::size_t>, 3> FGroups;  // the table's flowers, by Unlikeness
  std::size_t FUnknownLeft = 0;
  std::set<std::size_t> FTaken;  // unknown ones drawn
  std::vector<std::size_t> FRest;
  std::vector<std::size_t> FDrawn;
};

// Fills the question's empty wrong answers in one language from the candidates; the mask of
// those filled, and whether every one was.
std::pair<std::uint8_t, bool> Fill(QuestionTable& table, std::size_t question, Language language,
                                   CandidateOrder& candidates, const Species& species) {
  Answers& answers = table.Questions[question].*language;
  const std::size_t slot = SlotOf(language);
  std::set<std::string> taken;
  for (const std::string& answer : answers) {
    if (!answer.empty()) taken.insert(LowerCp1251(answer));
  }
  // The row's answer in the other language names the same flower as its own.
  std::optional<std::size_t> other;
  for (const Language each : LanguagesOf(table)) {
    if (each != language) other = SlotOf(each);
  }
  const Flower* own = species.Known[question];
  std::uint8_t mask = 0;
  std::size_t place = 0;
  for (std::size_t k = 1; k < answers.size(); ++k) {
    if (!answers[k].empty()) continue;
    std::optional<std::size_t> next;
    for (; place < kMaxCandidates && (next = candidates.At(place)); ++place) {
      const std::string& name = species.Lowered[*next][slot];
      if (name.empty() || taken.contains(name)) continue;
      if (other && species.Lowered[*next][*other] == species.Lowered[question][*other]) continue;
      if (own && species.Named[*next][slot] == own) continue;
      break;
    }
    if (place == kMaxCandidates || !next) return {mask, false};
    answers[k] = (table.Questions[*next].*language)[0];
    taken.insert(species.Lowered[*next][slot]);
    mask |= static_cast<std::uint8_t>(1u << k);
    ++place;
  }
  return {mask, true};
}

// "2–9, 12 and 15–17", naming at most ten runs.
std::string RowRanges(const std::vector<int>& rows) {
  std::vector<std::string> runs;
  for (std::size_t i = 0; i < rows.size();) {
    std::size_t j = i;
    while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1) ++j;
    runs.push_back(j == i ? std::to_string(rows[i])
                          : std::to_string(rows[i]) + "\xE2\x80\x93" + std::to_string(rows[j]));
    i = j + 1;
  }
  return Enumerated(runs, 10);
}

}  // namespace

std::uint32_t ChoiceSeed(const QuestionTable& table) {
  std::uint32_t hash = 2166136261u;
  const auto add = [&](std::string_view text) {
    for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    hash = (hash ^ 0u) * 16777619u;  // a cell ends
  };
  for (const TableQuestion& question : table.Questions) {
    add(question.Photo);
    for (const std::string& answer : question.English) add(answer);
    for (const std::string& answer : question.Russian) add(answer);
  }
  return hash;
}

ChosenAnswers ChooseWrongAnswers(QuestionTable& table, const std::string& sheet, Findings& findings,
                                 const FlowerTable& flowers) {
  ChosenAnswers chosen;
  chosen.Marks.assign(table.Questions.size(), {0, 0});
  std::vector<Language> languages;
  for (const Language language : LanguagesOf(table)) {
    if (NeedsChoice(table, language) && EnoughFlowers(table, language, sheet, findings))
      languages.push_back(language);
  }
  if (languages.empty()) return chosen;
  RandomGenerator random(ChoiceSeed(table));
  const Species species = SpeciesOf(table, flowers);
  for (std::size_t i = 0; i < table.Questions.size(); ++i) {
    if (std::none_of(languages.begin(), languages.end(),
                     [&](Language language) { return Unfilled(table.Questions[i].*language); }))
      continue;
    CandidateOrder candidates(i, species, random);
    std::uint8_t any = 0;
    for (const Language language : languages) {
      if (!Unfilled(table.Questions[i].*language)) continue;
      const auto [mask, whole] = Fill(table, i, language, candidates, species);
      chosen.Marks[i][SlotOf(language)] = mask;
      any |= mask;
      if (!whole)
        // TRANSLATORS: %s is a column name ("en").
        findings.Error(sheet, table.Questions[i].Line,
                       Format(Tr("columns %1$s_wrong1 to %1$s_wrong3: too few other flowers to "
                                 "choose the empty wrong answers from, as the other rows name "
                                 "this one too or the same ones; fill them in"),
                              {ColumnOf(language)}));
    }
    // A language the table lacks shows the other one's answers, and so its marks.
    if (!table.HasEnglish) chosen.Marks[i][0] = chosen.Marks[i][1];
    if (!table.HasRussian) chosen.Marks[i][1] = chosen.Marks[i][0];
    if (any == 0) continue;
    chosen.Count += std::popcount(any);
    chosen.Rows.push_back(table.Questions[i].Line);
  }
  return chosen;
}

std::string ChosenAnswersReport(const ChosenAnswers& chosen) {
  if (chosen.Count == 0) return {};
  const std::string rows =
      Format(TrN("row %s", "rows %s", chosen.Rows.size()), {RowRanges(chosen.Rows)});
  // TRANSLATORS: %2$s is "rows 2–9" or "row 4".
  return Format(TrN("%1$d wrong answer chosen by the program, %2$s: look at the preview",
                    "%1$d wrong answers chosen by the program, %2$s: look at the preview",
                    static_cast<unsigned long>(chosen.Count)),
                {chosen.Count, rows});
}

}  // namespace anthora
