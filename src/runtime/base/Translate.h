#pragma once

// The messages of the command-line tools in the user's language. English is written in the
// source; the catalogues of other languages ship with the program. Only messages and
// character handling follow the locale: numbers are read and written in one format whatever
// the language, so sheets, crop points, set files and reports mean the same everywhere.

#include <string>

namespace anthora {

// Takes the language from LANGUAGE, LC_ALL, LC_MESSAGES and LANG, and the catalogue from
// beside the program: the locale folder next to it in the build tree, or share/locale of the
// prefix it is installed under; without either the messages stay as written. Call once at
// start, before any message is made.
void StartTranslation();

// The message in the user's language, or as written when it has no translation.
const char* Tr(const char* message);

// The form of a message that suits the count, in the user's language.
const char* TrN(const char* singular, const char* plural, unsigned long count);

// The language the tools speak, "en" or "ru": worksheets and decks are made in it unless the
// command line names another.
std::string ToolsLanguage();

// Where the program looks for its catalogues, given its own path; empty when nowhere.
std::string CatalogueFolder(const std::string& program);

}  // namespace anthora
