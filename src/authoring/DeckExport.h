#pragma once

#include <string>

#include "runtime/files/SafeWrite.h"

namespace anthora {

struct DeckExport {
  std::string SetFolder;  // the folder that holds ris/; empty for the current folder
  std::string DeckName;   // UTF-8
  bool Russian = false;   // the Russian set file's questions, else the English one's
};

struct ExportedDeck {
  int Notes = 0;
  int Pictures = 0;
};

// Writes the set as a flashcard deck into `file` (made, not yet put in place): one note a
// question whose front holds the picture and the four answers as a list in alphabetical order,
// so that the first is not always the right one, and whose back holds the right answer; one
// card a note, new, in a deck of the name. The collection is made in the file's private folder.
// Throws CollectionError, ZipError or SetFileError.
ExportedDeck WriteDeck(const DeckExport& request, AtomicFile& file);

}  // namespace anthora
