#pragma once

#include <optional>
#include <string>
#include <vector>

#include "runtime/base/Findings.h"
#include "runtime/files/SafeWrite.h"
#include "sheet/SheetLookup.h"

namespace anthora {

// The deck a source stands for: SOURCE itself when it is a NAME.apkg file, else the one deck in
// the SOURCE folder when it holds no sheet; none when the source is a sheet's folder. More than
// one deck without a sheet is an error in the findings, and so is none.
std::optional<std::string> FindSourceDeck(const std::string& source, Findings& findings);

// A flashcard deck read as the questions of a set within every limit a set file is held to:
// each note whose front holds exactly one picture, or whose back does while its front holds
// none, becomes a question whose right answer is the other side's text; the wrong answers are
// left for the builder to choose. The collection is read with SQLite, read-only and unchanged,
// and the pictures the questions use are unpacked, in a private folder that lives as long as
// this object. Every problem is an error or a warning in the findings, at the deck or at a
// note's number.
class DeckSource {
 public:
  DeckSource(const std::string& deck, Findings& findings);
  DeckSource(const DeckSource&) = delete;
  DeckSource& operator=(const DeckSource&) = delete;

  // Whether the deck gave questions; the findings say why not.
  bool Read() const { return FRead; }
  // The questions, named after the deck; a question's line is its note's number.
  SourceSheet& Questions() { return FQuestions; }
  // The folder the pictures were unpacked into, under the names the questions give.
  const std::string& PhotoFolder() const { return FPhotos->Path(); }
  // The notes that hold no picture, or more than one, in order, by their text.
  const std::vector<std::string>& WithoutPicture() const { return FWithoutPicture; }

 private:
  bool Load(const std::string& deck, Findings& findings);

  FileHandle FTemporary;  // the folder that holds FPhotos
  std::optional<PrivateFolder> FPhotos;
  SourceSheet FQuestions;
  std::vector<std::string> FWithoutPicture;
  bool FRead = false;
};

// The text of a deck's media list, a JSON object from the numbers of its files to their names,
// as pairs in order; none when it is no such object.
std::optional<std::vector<std::pair<std::string, std::string>>> ReadMediaList(
    std::string_view json);

}  // namespace anthora
