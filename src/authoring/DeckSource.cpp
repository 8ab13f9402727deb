// Sections: limits; JSON strings of the media list; pictures' names in the private folder;
// a note's fields as text and pictures; finding a deck in a source; loading the collection.
#include "authoring/DeckSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "authoring/Collection.h"
#include "authoring/Deck.h"
#include "quiz/SetArchive.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "runtime/files/Paths.h"
#include "runtime/files/SystemCalls.h"
#include "runtime/files/ZipArchive.h"
#include "sheet/QuestionTable.h"
#include "sheet/Sheet.h"

namespace anthora {

namespace fs = std::filesystem;

namespace {

// As many notes as a set file may hold entries: a set has a picture a question.
constexpr std::size_t kMaxNotes = kMaxSetEntries;
// The text of all notes together. A collection's columns may be computed, so that its rows can
// hold far more than its file: what is read is counted.
constexpr std::size_t kMaxNotesBytes = std::size_t{64} << 20;
constexpr std::string_view kSqliteMagic{"SQLite format 3\0", 16};
// The form of the collection that only newer programs write, uncompressed but of a newer
// schema that keeps the tables read here.
constexpr std::string_view kDeckNewCollection = "collection.anki21";

// Parses a JSON string at text[i] ('"'), leaving i after it.
std::optional<std::string> JsonString(std::string_view text, std::size_t& i) {
  if (i >= text.size() || text[i] != '"') return std::nullopt;
  std::string out;
  for (++i; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      ++i;
      return out;
    }
    if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i >= text.size()) return std::nullopt;
    switch (text[i]) {
      case '"':
      case '\\':
      case '/':
        out += text[i];
        break;
      case 'b':
        out += '\b';
        break;
      case 'f':
        out += '\f';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case 'u': {
        const auto hex = [&](std::size_t at) -> std::optional<char32_t> {
          if (at + 4 > text.size()) return std::nullopt;
          char32_t value = 0;
          for (std::size_t k = at; k < at + 4; ++k) {
            const char h = text[k];
            const int digit = h >= '0' && h <= '9'   ? h - '0'
                              : h >= 'a' && h <= 'f' ? h - 'a' + 10
                              : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                                     : -1;
            if (digit < 0) return std::nullopt;
            value = value * 16 + static_cast<char32_t>(digit);
          }
          return value;
        };
        std::optional<char32_t> code = hex(i + 1);
        if (!code) return std::nullopt;
        i += 4;
        if (*code >= 0xD800 && *code < 0xDC00 && i + 2 < text.size() && text[i + 1] == '\\' &&
            text[i + 2] == 'u') {
          const std::optional<char32_t> low = hex(i + 3);
          if (low && *low >= 0xDC00 && *low < 0xE000) {
            code = 0x10000 + ((*code - 0xD800) << 10) + (*low - 0xDC00);
            i += 6;
          }
        }
        // Encoded as UTF-8 by the HTML module's rules: a lone surrogate becomes U+FFFD.
        out += HtmlText("&#" + std::to_string(static_cast<std::uint32_t>(*code)) + ";");
        break;
      }
      default:
        return std::nullopt;
    }
  }
  return std::nullopt;
}

void SkipBlanks(std::string_view text, std::size_t& i) {
  while (i < text.size() &&
         (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r'))
    ++i;
}

// A name the picture can have in the private folder: the media file's own, with what a file
// name cannot hold replaced, or its number when nothing of it is left.
// A deck this program exported names its pictures after itself first ("roses-rose1.jpg"),
// which a set made from it again leaves out.
std::string PhotoName(const std::string& media, const std::string& number,
                      const std::vector<std::string>& deckNames) {
  std::string name = media;
  for (const std::string& deck : deckNames) {
    if (!deck.empty() && name.size() > deck.size() + 1 && name.starts_with(deck + "-")) {
      name.erase(0, deck.size() + 1);
      break;
    }
  }
  // At most 200 bytes, never ending inside a character.
  if (name.size() > 200) {
    name.resize(200);
    while (!name.empty() && (static_cast<unsigned char>(name.back()) & 0xC0) == 0x80)
      name.pop_back();
    if (!name.empty() && static_cast<unsigned char>(name.back()) >= 0xC0) name.pop_back();
  }
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == '/' || c == '\\') c = '_';
  }
  while (!name.empty() && (name.front() == '.' || name.front() == ' ')) name.erase(0, 1);
  if (name.empty()) name = "picture-" + number;
  return name;
}

// Whether a text in Windows-1251 holds Cyrillic letters.
bool HasCyrillic(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0xC0; });
}

}  // namespace

std::optional<std::vector<std::pair<std::string, std::string>>> ReadMediaList(
    std::string_view json) {
  std::vector<std::pair<std::string, std::string>> list;
  std::size_t i = 0;
  SkipBlanks(json, i);
  if (i >= json.size() || json[i++] != '{') return std::nullopt;
  SkipBlanks(json, i);
  if (i < json.size() && json[i] == '}') {
    ++i;
  } else {
    while (true) {
      SkipBlanks(json, i);
      std::optional<std::string> key = JsonString(json, i);
      SkipBlanks(json, i);
      if (!key || i >= json.size() || json[i++] != ':') return std::nullopt;
      SkipBlanks(json, i);
      std::optional<std::string> value = JsonString(json, i);
      if (!value) return std::nullopt;
      list.emplace_back(std::move(*key), std::move(*value));
      SkipBlanks(json, i);
      if (i >= json.size()) return std::nullopt;
      if (json[i] == '}') {
        ++i;
        break;
      }
      if (json[i++] != ',') return std::nullopt;
    }
  }
  SkipBlanks(json, i);
  if (i != json.size()) return std::nullopt;
  return list;
}

std::optional<std::string> FindSourceDeck(const std::string& source, Findings& findings) {
  std::error_code error;
  const std::string where = source.empty() ? "." : source;
  if (IsDeckName(source) && !fs::is_directory(where, error)) return source;
  if (!fs::is_directory(where, error)) return std::nullopt;
  const SheetFiles sheets = ListSheetFiles(source);
  if (sheets.Error || !sheets.Sheets.empty()) return std::nullopt;
  std::vector<std::string> decks;
  for (auto entry = fs::directory_iterator(where, error);
       !error && entry != fs::directory_iterator(); entry.increment(error)) {
    std::error_code ignored;
    const std::string name = entry->path().filename().string();
    if (!name.starts_with('.') && IsDeckName(name) && entry->is_regular_file(ignored))
      decks.push_back(name);
  }
  if (decks.empty()) return std::nullopt;
  if (decks.size() > 1) {
    std::sort(decks.begin(), decks.end());
    std::vector<std::string> shown;
    for (const std::string& deck : decks) shown.push_back(Printable(deck));
    findings.Error(where, 0,
                   Format(Tr("no sheet and more than one flashcard deck: %s; keep only one of "
                             "them, or make a sheet"),
                          {Enumerated(shown, 10)}));
    return std::string();
  }
  return JoinPath(source, decks.front());
}

DeckSource::DeckSource(const std::string& deck, Findings& findings) {
  FQuestions.Name = deck;
  try {
    FRead = Load(deck, findings);
  } catch (const ZipError& error) {
    findings.Error(deck, 0, error.Utf8Message());
  } catch (const CollectionError& error) {
    findings.Error(deck, 0, error.Utf8Message());
  } catch (const WriteError& error) {
    findings.Error(error.Path(), 0, error.Reason());
  }
}

bool DeckSource::Load(const std::string& deck, Findings& findings) {
  // A named pipe or a device would be waited on or read without end.
  const ErrorOr<struct stat> status = sys::StatAt(sys::kHere, deck);
  if (!status) {
    findings.Error(deck, 0, Format(Tr("cannot be read: %s"), {status.Error().Reason()}));
    return false;
  }
  if (!S_ISREG(status.Value().st_mode)) {
    findings.Error(deck, 0, Tr("is not a regular file"));
    return false;
  }
  ZipArchive zip = ZipArchive::OpenFile(deck, kMaxSetBytes);
  if (zip.Find(kDeckNewerCollection)) {
    findings.Error(deck, 0,
                   Tr("holds its collection in the newer compressed form, which cannot be read "
                      "here; export the deck again from the flashcard program as a deck package "
                      "with \"Support older Anki versions\" ticked"));
    return false;
  }
  const ZipEntry* collectionEntry = zip.Find(kDeckNewCollection);
  if (!collectionEntry) collectionEntry = zip.Find(kDeckCollection);
  if (!collectionEntry) {
    findings.Error(deck, 0, Format(Tr("is no flashcard deck: it holds no %s"), {kDeckCollection}));
    return false;
  }

  const char* temporary = std::getenv("TMPDIR");
  const std::string parent = temporary && *temporary == '/' ? temporary : "/tmp";
  ErrorOr<FileHandle> opened = sys::OpenFolder(sys::kHere, parent);
  if (!opened) {
    findings.Error(parent, 0, Format(Tr("cannot be written: %s"), {opened.Error().Reason()}));
    return false;
  }
  FTemporary = std::move(opened.Value());
  FPhotos.emplace(FTemporary.Get(), ".anthora-deck-", parent);

  const auto unpack = [&](const ZipEntry& entry, const std::string& name) {
    ErrorOr<FileHandle> file =
        sys::Open(FPhotos->Get(), name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (!file) throw WriteError(JoinPath(FPhotos->Path(), name), file.Error().Reason());
    zip.Read(entry, [&](std::string_view piece) {
      const Status written = sys::WriteAll(file.Value().Get(), piece);
      if (!written) throw WriteError(JoinPath(FPhotos->Path(), name), written.Error().Reason());
    });
  };

  // The collection, checked to be an SQLite database and sound before a row of it is read.
  const std::string collectionName = ".collection";
  zip.Check(*collectionEntry);
  const std::string head = collectionEntry->Size >= kSqliteMagic.size() ? [&] {
    std::string bytes;
    unpack(*collectionEntry, collectionName);
    const ErrorOr<FileHandle> file = sys::Open(FPhotos->Get(), collectionName, O_RDONLY);
    bytes.resize(kSqliteMagic.size());
    if (!file || pread(file.Value().Get(), bytes.data(), bytes.size(), 0) !=
                     static_cast<ssize_t>(bytes.size()))
      bytes.clear();
    return bytes;
  }()
                                                                        : std::string();
  if (head != kSqliteMagic) {
    findings.Error(deck, 0,
                   Format(Tr("its collection %s is not an SQLite database: the deck is damaged"),
                          {collectionEntry->Name}));
    return false;
  }
  std::vector<std::string> notes;
  std::vector<std::string> deckNames;
  try {
    Collection collection(JoinPath(FPhotos->Path(), collectionName), Collection::Mode::ReadOnly);
    collection.Run("PRAGMA trusted_schema = OFF;");
    Statement check(collection, "PRAGMA quick_check");
    if (!check.Step() || check.Text(0) != "ok") {
      // The first problem named, without the heading of the database it is in.
      std::string problem = check.Text(0);
      if (problem.starts_with("*** ")) problem.erase(0, problem.find('\n') + 1);
      problem.resize(std::min(problem.size(), problem.find('\n')));
      throw CollectionError(Format(Tr("the collection is damaged: %s"), {problem}));
    }
    Statement kind(collection, "SELECT type FROM sqlite_master WHERE name = 'notes'");
    if (!kind.Step() || kind.Text(0) != "table")
      throw CollectionError(Tr("the collection holds no table of notes"));
    Statement rows(collection, "SELECT flds FROM notes ORDER BY id");
    std::size_t bytes = 0;
    while (rows.Step()) {
      if (notes.size() == kMaxNotes)
        throw CollectionError(
            Format(Tr("the collection holds more than %d notes"), {static_cast<int>(kMaxNotes)}));
      notes.push_back(rows.Text(0));
      bytes += notes.back().size();
      if (bytes > kMaxNotesBytes)
        throw CollectionError(Format(Tr("the notes hold more than %d MiB of text"),
                                     {static_cast<int>(kMaxNotesBytes >> 20)}));
    }
    try {
      // Only a table is read: a view could compute without end.
      Statement table(collection, "SELECT type FROM sqlite_master WHERE name = 'col'");
      if (!table.Step() || table.Text(0) != "table") throw CollectionError("");
      Statement names(collection,
                      "SELECT json_extract(value, '$.name') FROM col, json_each(col.decks) "
                      "LIMIT 1000");
      while (names.Step()) deckNames.push_back(names.Text(0));
    } catch (const CollectionError&) {
      // Only the pictures' names are the poorer without the decks' names.
    }
  } catch (const CollectionError& error) {
    findings.Error(deck, 0, Format(Tr("cannot be read: %s"), {error.Utf8Message()}));
    return false;
  }

  std::map<std::string, std::string> numberOf;  // media name to its entry's name
  if (const ZipEntry* media = zip.Find(kDeckMedia)) {
    const std::optional<std::vector<std::pair<std::string, std::string>>> list =
        ReadMediaList(zip.Read(*media));
    if (!list) {
      findings.Error(deck, 0, Tr("its list of media files is damaged"));
      return false;
    }
    for (const auto& [number, name] : *list) numberOf.try_emplace(name, number);
  }

  std::map<std::string, std::string> photoOf;  // entry's name to the unpacked photo's name
  std::set<std::string> photoNames;
  int cyrillic = 0;
  for (std::size_t n = 0; n < notes.size(); ++n) {
    const int line = static_cast<int>(n) + 1;
    const std::size_t separator = notes[n].find(kFieldSeparator);
    const std::string_view front = std::string_view(notes[n]).substr(0, separator);
    const std::string_view back = separator == std::string::npos
                                      ? std::string_view()
                                      : std::string_view(notes[n]).substr(separator + 1);
    const std::vector<std::string> frontImages = HtmlImages(front);
    const std::vector<std::string> backImages = HtmlImages(back);
    std::string picture;
    std::string answer;
    if (frontImages.size() == 1) {
      picture = frontImages.front();
      std::string joined(back);
      std::replace(joined.begin(), joined.end(), kFieldSeparator, ' ');
      answer = HtmlText(joined);
    } else if (frontImages.empty() && backImages.size() == 1) {
      picture = backImages.front();
      answer = HtmlText(front);
    } else {
      std::string text = HtmlText(notes[n].substr(0, std::min(notes[n].size(), std::size_t{4096})));
      std::replace(text.begin(), text.end(), kFieldSeparator, ' ');
      FWithoutPicture.push_back(text.empty() ? Format(Tr("note %d"), {line}) : Quoted(text));
      continue;
    }
    const auto number = numberOf.find(picture);
    const ZipEntry* entry = number == numberOf.end() ? nullptr : zip.Find(number->second);
    if (!entry) {
      findings.Error(deck, line,
                     Format(Tr("picture %s is not in the deck"), {QuotedName(picture)}));
      continue;
    }
    TableQuestion question;
    question.Line = line;
    if (const std::string why = ConvertAnswer(answer, question.English[0]); !why.empty()) {
      findings.Error(deck, line, Format(Tr("the answer %1$s: %2$s"), {Quoted(answer), why}));
      continue;
    }
    auto [photo, added] = photoOf.try_emplace(entry->Name);
    if (added) {
      std::string name = PhotoName(picture, entry->Name, deckNames);
      const std::string wanted = name;
      for (int k = 2; photoNames.contains(AsciiLower(name)); ++k)
        name = std::to_string(k) + "-" + wanted;
      photoNames.insert(AsciiLower(name));
      photo->second = name;
      unpack(*entry, name);
    }
    question.Photo = photo->second;
    if (HasCyrillic(question.English[0])) ++cyrillic;
    FQuestions.Table.Questions.push_back(std::move(question));
  }
  // One language: the one most answers are in.
  const bool russian = cyrillic * 2 > static_cast<int>(FQuestions.Table.Questions.size());
  FQuestions.Table.HasEnglish = !russian;
  FQuestions.Table.HasRussian = russian;
  if (russian) {
    for (TableQuestion& question : FQuestions.Table.Questions)
      std::swap(question.English, question.Russian);
  }
  if (!FWithoutPicture.empty()) {
    const int count = static_cast<int>(FWithoutPicture.size());
    findings.Warning(
        deck, 0,
        // TRANSLATORS: %s is a list of the notes' texts.
        Format(TrN("%d note holds no picture, or more than one, and is left out: %s",
                   "%d notes hold no picture, or more than one, and are left out: %s", count),
               {count, Enumerated(FWithoutPicture, 10)}));
  }
  if (FQuestions.Table.Questions.empty() && findings.Count(Finding::Level::Error) == 0) {
    findings.Error(deck, 0, Tr("holds no note with one picture: there is nothing to ask"));
    return false;
  }
  return true;
}

}  // namespace anthora
