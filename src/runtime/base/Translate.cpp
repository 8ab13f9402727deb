#include "runtime/base/Translate.h"

#include <libintl.h>
#include <sys/stat.h>

#include <clocale>

#include "runtime/base/System.h"

namespace anthora {

namespace {

constexpr char kDomain[] = "anthora";

bool IsFolder(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

std::string CatalogueFolder(const std::string& program) {
  const std::size_t slash = program.rfind('/');
  if (slash == std::string::npos) return {};
  const std::string folder = program.substr(0, slash + 1);
  // An installed bin/ has no folder named locale (the system's locale is a program); the
  // commands for question sets are installed one folder deeper, in libexec/anthora/.
  for (const std::string& candidate :
       {folder + "locale", folder + "../share/locale", folder + "../../share/locale"})
    if (IsFolder(candidate)) return candidate;
  return {};
}

void StartTranslation() {
  // Not LC_ALL: LC_NUMERIC stays "C", so that "50.5%" and number cells read the same in
  // every language.
  std::setlocale(LC_CTYPE, "");
  std::setlocale(LC_MESSAGES, "");
  // A program with no catalogue beside it speaks as written: the system's default folder may
  // hold the catalogue of another build or version of the program.
  const std::string folder = CatalogueFolder(ProgramPath());
  bindtextdomain(kDomain, folder.empty() ? "/dev/null" : folder.c_str());
  // The tools write UTF-8 whatever the terminal's character set, as they write file names.
  bind_textdomain_codeset(kDomain, "UTF-8");
  textdomain(kDomain);
}

const char* Tr(const char* message) {
  return gettext(message);
}

std::string ToolsLanguage() {
  // TRANSLATORS: the code of the language of this translation, "en" or "ru": worksheets and
  // decks are made in it unless --language says otherwise.
  return Tr("en");
}

const char* TrN(const char* singular, const char* plural, unsigned long count) {
  return ngettext(singular, plural, count);
}

}  // namespace anthora
