#pragma once

#include <string>

#include "authoring/Findings.h"

namespace anthora {

struct SetBuild {
  Findings Problems;  // nothing was written when one of them is an error
  int Questions = 0;
  int Pictures = 0;
  std::string SetFolder;  // OUTPUT/ris
};

// Makes OUTPUT/ris from SOURCE/questions.tsv and the photos it names: fen.ani and fru.ani in
// Windows-1251 with CR LF (a language the table lacks takes the other one's answers, since
// the quiz needs both files), and one 230 x 230 JPEG per photo under a safe name. Everything is
// checked and made before anything is written; the new folder then takes the place of an old one
// only when replacing is allowed. SOURCE is only read.
SetBuild BuildQuestionSet(const std::string& source, const std::string& output, bool replace);

// A file name made of lower-case ASCII letters, digits and "-" from a photo's name: Cyrillic
// transliterated, anything else a "-"; "photo" when nothing is left.
std::string SafePictureName(std::string_view photoName);

}  // namespace anthora
