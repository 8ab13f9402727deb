#include "authoring/DeckExport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <vector>

#include "authoring/Collection.h"
#include "authoring/Deck.h"
#include "quiz/QuestionSet.h"
#include "quiz/SetArchive.h"
#include "quiz/SetFile.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "runtime/files/Paths.h"
#include "runtime/files/ZipWriter.h"

namespace anthora {

namespace {

// The tables of the collection's schema (version 11), as every program that reads the format
// expects them.
constexpr const char* kSchema = R"(
CREATE TABLE col (id integer primary key, crt integer not null, mod integer not null,
  scm integer not null, ver integer not null, dty integer not null, usn integer not null,
  ls integer not null, conf text not null, models text not null, decks text not null,
  dconf text not null, tags text not null);
CREATE TABLE notes (id integer primary key, guid text not null, mid integer not null,
  mod integer not null, usn integer not null, tags text not null, flds text not null,
  sfld integer not null, csum integer not null, flags integer not null, data text not null);
CREATE TABLE cards (id integer primary key, nid integer not null, did integer not null,
  ord integer not null, mod integer not null, usn integer not null, type integer not null,
  queue integer not null, due integer not null, ivl integer not null, factor integer not null,
  reps integer not null, lapses integer not null, left integer not null, odue integer not null,
  odid integer not null, flags integer not null, data text not null);
CREATE TABLE revlog (id integer primary key, cid integer not null, usn integer not null,
  ease integer not null, ivl integer not null, lastIvl integer not null,
  factor integer not null, time integer not null, type integer not null);
CREATE TABLE graves (usn integer not null, oid integer not null, type integer not null);
CREATE INDEX ix_notes_usn on notes (usn);
CREATE INDEX ix_cards_usn on cards (usn);
CREATE INDEX ix_revlog_usn on revlog (usn);
CREATE INDEX ix_cards_nid on cards (nid);
CREATE INDEX ix_cards_sched on cards (did, queue, due);
CREATE INDEX ix_revlog_cid on revlog (cid);
CREATE INDEX ix_notes_csum on notes (csum);
)";

constexpr const char* kCardStyle =
    ".card { font-family: sans-serif; font-size: 20px; text-align: center; }\\n"
    "img { max-width: 100%; }\\nol { display: inline-block; text-align: left; }";

std::string JsonString(std::string_view text) {
  std::string json = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      json += escape;
    } else {
      json += c;
    }
  }
  return json + '"';
}

std::string Number(std::int64_t value) {
  return std::to_string(value);
}

struct Question {
  std::string Picture;  // the file found, empty when none
  std::string Name;     // the picture's name, UTF-8
  AnswerSlots Answers;  // UTF-8, the right one first
};

std::vector<Question> ReadQuestions(const DeckExport& request) {
  const std::string path =
      JoinPath(request.SetFolder, request.Russian ? kRussianSetPath : kEnglishSetPath);
  SetFileReader reader;
  reader.Open(path);
  const std::int32_t count = reader.ReadCount();
  PictureFinder pictures(request.SetFolder);
  std::vector<Question> questions;
  for (std::int32_t i = 0; i < count && i < static_cast<std::int32_t>(kMaxSetEntries); ++i) {
    const std::string name = reader.ReadPictureName();
    if (name.empty()) break;
    Question question;
    question.Picture = pictures.Locate(name).Path;
    question.Name = Cp1251ToUtf8(name);
    const AnswerSlots answers = reader.ReadAnswers();
    for (std::size_t k = 0; k < kAnswerCount; ++k) question.Answers[k] = Cp1251ToUtf8(answers[k]);
    questions.push_back(std::move(question));
  }
  return questions;
}

// A media file's name: the deck's and the picture's, with what a file name or an HTML
// attribute cannot hold replaced, since every deck's media share one folder in the programs
// that read it.
std::string MediaName(const std::string& deck, const std::string& picture) {
  std::string name = deck + "-" + picture;
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("/\\:*?\"<>|&'%#").find(c) != std::string_view::npos)
      c = '_';
  }
  return name + ".jpg";
}

}  // namespace

ExportedDeck WriteDeck(const DeckExport& request, AtomicFile& file) {
  const std::vector<Question> questions = ReadQuestions(request);
  const std::int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::system_clock::now().time_since_epoch())
                               .count();
  const std::int64_t modelId = now;
  const std::int64_t deckId = now + 1;
  const std::int64_t seconds = now / 1000;

  // The pictures, each once however many questions show it.
  std::map<std::string, std::size_t> mediaOf;
  std::vector<std::pair<std::string, std::string>> media;  // path, name
  for (const Question& question : questions) {
    if (question.Picture.empty() || mediaOf.contains(question.Picture)) continue;
    std::string name = MediaName(request.DeckName, question.Name);
    for (int n = 2;
         std::any_of(media.begin(), media.end(), [&](const auto& m) { return m.second == name; });
         ++n)
      name = MediaName(request.DeckName, question.Name + "-" + std::to_string(n));
    mediaOf[question.Picture] = media.size();
    media.emplace_back(question.Picture, std::move(name));
  }

  const std::string collectionPath = JoinPath(file.Folder(), kDeckCollection);
  {
    Collection collection(collectionPath, Collection::Mode::Create);
    collection.Run("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; BEGIN;");
    collection.Run(kSchema);
    const std::string models =
        "{" + JsonString(Number(modelId)) + ":{\"id\":" + Number(modelId) +
        ",\"name\":" + JsonString(request.DeckName) + ",\"type\":0,\"mod\":" + Number(seconds) +
        ",\"usn\":-1,\"sortf\":0,\"did\":" + Number(deckId) +
        ",\"tmpls\":[{\"name\":\"Card 1\",\"ord\":0,\"qfmt\":\"{{Front}}\","
        "\"afmt\":\"{{FrontSide}}<hr id=answer>{{Back}}\",\"did\":null,\"bqfmt\":\"\","
        "\"bafmt\":\"\"}],\"flds\":[{\"name\":\"Front\",\"ord\":0,\"sticky\":false,"
        "\"rtl\":false,\"font\":\"Arial\",\"size\":20,\"media\":[]},{\"name\":\"Back\","
        "\"ord\":1,\"sticky\":false,\"rtl\":false,\"font\":\"Arial\",\"size\":20,"
        "\"media\":[]}],\"css\":\"" +
        kCardStyle +
        "\",\"latexPre\":\"\\\\documentclass[12pt]{article}\\n\\\\begin{document}\\n\","
        "\"latexPost\":\"\\\\end{document}\",\"tags\":[],\"vers\":[],"
        "\"req\":[[0,\"any\",[0]]]}}";
    const auto deck = [&](std::int64_t id, std::string_view name) {
      return JsonString(Number(id)) + ":{\"id\":" + Number(id) + ",\"name\":" + JsonString(name) +
             ",\"mod\":" + Number(seconds) +
             ",\"usn\":-1,\"lrnToday\":[0,0],\"revToday\":[0,0],\"newToday\":[0,0],"
             "\"timeToday\":[0,0],\"collapsed\":false,\"desc\":\"\",\"dyn\":0,\"conf\":1,"
             "\"extendNew\":10,\"extendRev\":50}";
    };
    const std::string decks = "{" + deck(1, "Default") + "," + deck(deckId, request.DeckName) + "}";
    const std::string dconf =
        "{\"1\":{\"id\":1,\"name\":\"Default\",\"mod\":0,\"usn\":0,\"maxTaken\":60,"
        "\"autoplay\":true,\"timer\":0,\"replayq\":true,\"dyn\":false,"
        "\"new\":{\"delays\":[1,10],\"ints\":[1,4,7],\"initialFactor\":2500,\"order\":1,"
        "\"perDay\":20,\"bury\":true,\"separate\":true},\"lapse\":{\"delays\":[10],\"mult\":0,"
        "\"minInt\":1,\"leechFails\":8,\"leechAction\":0},\"rev\":{\"perDay\":100,\"ease4\":1.3,"
        "\"fuzz\":0.05,\"minSpace\":1,\"ivlFct\":1,\"maxIvl\":36500,\"bury\":true}}}";
    const std::string conf =
        "{\"nextPos\":" + Number(static_cast<std::int64_t>(questions.size()) + 1) +
        ",\"estTimes\":true,\"activeDecks\":[" + Number(deckId) +
        "],\"sortType\":\"noteFld\",\"timeLim\":0,\"sortBackwards\":false,\"addToCur\":true,"
        "\"curDeck\":" +
        Number(deckId) +
        ",\"newBust\":true,\"dueCounts\":true,\"curModel\":" + JsonString(Number(modelId)) +
        ",\"collapseTime\":1200}";
    Statement col(collection, "INSERT INTO col VALUES (1, ?, ?, ?, 11, 0, 0, 0, ?, ?, ?, ?, '{}')");
    col.Bind(1, seconds - seconds % 86400)
        .Bind(2, now)
        .Bind(3, now)
        .Bind(4, conf)
        .Bind(5, models)
        .Bind(6, decks)
        .Bind(7, dconf)
        .Execute();

    Statement note(collection, "INSERT INTO notes VALUES (?, ?, ?, ?, -1, '', ?, ?, ?, 0, '')");
    Statement card(collection,
                   "INSERT INTO cards VALUES (?, ?, ?, 0, ?, -1, 0, 0, ?, 0, 0, 0, 0, 0, 0, 0, 0, "
                   "'')");
    for (std::size_t i = 0; i < questions.size(); ++i) {
      const Question& question = questions[i];
      std::vector<std::string> listed(question.Answers.begin(), question.Answers.end());
      std::sort(listed.begin(), listed.end());
      std::string front;
      if (!question.Picture.empty())
        front = "<img src=\"" + HtmlEscaped(media[mediaOf[question.Picture]].second) + "\">";
      front += "<ol>";
      for (const std::string& answer : listed) front += "<li>" + HtmlEscaped(answer) + "</li>";
      front += "</ol>";
      const std::string back = HtmlEscaped(question.Answers[0]);
      const std::int64_t id = now + static_cast<std::int64_t>(i);
      const std::string sortField = HtmlText(front);
      // The same set and question always get the same identity, so that a deck exported again
      // updates the notes a program already holds instead of adding them twice.
      char guid[24];
      std::snprintf(
          guid, sizeof guid, "an%08x%02zx",
          FieldChecksum(request.DeckName + '\x1f' + question.Name + '\x1f' + question.Answers[0]),
          i & 0xFF);
      note.Bind(1, id)
          .Bind(2, std::string_view(guid))
          .Bind(3, modelId)
          .Bind(4, seconds)
          .Bind(5, front + kFieldSeparator + back)
          .Bind(6, sortField)
          .Bind(7, static_cast<std::int64_t>(FieldChecksum(sortField)))
          .Execute();
      card.Bind(1, id)
          .Bind(2, id)
          .Bind(3, deckId)
          .Bind(4, seconds)
          .Bind(5, static_cast<std::int64_t>(i) + 1)
          .Execute();
    }
    collection.Run("COMMIT;");
  }

  std::string mediaJson = "{";
  for (std::size_t i = 0; i < media.size(); ++i)
    mediaJson += (i ? "," : "") + JsonString(Number(static_cast<std::int64_t>(i))) + ":" +
                 JsonString(media[i].second);
  mediaJson += "}";

  ZipWriter zip(file.Made());
  zip.AddFile(std::string(kDeckCollection), collectionPath,
              std::filesystem::file_size(collectionPath), true);
  zip.AddBytes(std::string(kDeckMedia), mediaJson, true);
  for (std::size_t i = 0; i < media.size(); ++i)
    zip.AddFile(std::to_string(i), media[i].first, std::filesystem::file_size(media[i].first),
                false);
  zip.Close();
  return {static_cast<int>(questions.size()), static_cast<int>(media.size())};
}

}  // namespace anthora
