#include "app/SetArgument.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "app/RunFolder.h"
#include "quiz/QuestionSet.h"
#include "quiz/SetArchive.h"
#include "runtime/base/Findings.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "runtime/files/Files.h"
#include "runtime/files/Paths.h"

namespace anthora {

namespace {

bool HoldsSet(const std::string& folder) {
  return FileExists(JoinPath(folder, kEnglishSetPath)) &&
         FileExists(JoinPath(folder, kRussianSetPath));
}

// Of two set files, the one that is missing while the other is there; empty otherwise.
std::string LoneMissing(const std::string& english, const std::string& russian) {
  const bool hasEnglish = FileExists(english);
  if (hasEnglish == FileExists(russian)) return {};
  return hasEnglish ? russian : english;
}

// Why a folder that holds one of the two set files is no set.
std::string NeedsBoth(const std::string& missing) {
  // TRANSLATORS: %1$s is the missing file; %2$s and %3$s are ris/fen.ani and ris/fru.ani.
  return Format(Tr("%1$s is missing, and a set needs both %2$s and %3$s"),
                {missing, std::string(kEnglishSetPath), std::string(kRussianSetPath)});
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string NameOf(const std::string& folder) {
  const std::string path = WithoutTrailingSlashes(folder);
  return path.substr(path.rfind('/') + 1);
}

std::string ParentOf(const std::string& folder) {
  const std::string path = WithoutTrailingSlashes(folder);
  if (path == ".") return "..";
  if (NameOf(path) == "." || NameOf(path) == "..") return path + "/..";
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The name a folder has in its parent, also when it is named as "." or "..".
std::string RealNameOf(const std::string& folder) {
  std::error_code error;
  const std::filesystem::path real =
      std::filesystem::canonical(folder.empty() ? "." : folder, error);
  return error ? NameOf(folder) : real.filename().string();
}

// A set's ris/ folder itself: named so and holding the English set.
bool IsSetsRis(const std::string& folder) {
  return RealNameOf(folder) == kSetFolderName && FileExists(JoinPath(folder, kEnglishSetFileName));
}

// How many names of a folder are looked at for a photo: a folder of photos shows one early, and
// a huge folder is not read to its end.
constexpr int kNamesLookedAtForPhotos = 1000;

// Whether a folder holds a photo, so that a quiz could be made from it.
bool HoldsPhotos(const std::string& folder) {
  std::error_code error;
  std::filesystem::directory_iterator names(folder, error);
  for (int seen = 0;
       !error && names != std::filesystem::directory_iterator() && seen < kNamesLookedAtForPhotos;
       names.increment(error), ++seen)
    if (IsPhotoName(names->path().filename().string())) return true;
  return false;
}

// The folder that holds the set's ris/: the folder itself, or the parent of a ris/ folder.
std::string SetFolderOf(const std::string& argument) {
  if (HoldsSet(argument)) return argument;
  if (IsSetsRis(argument) && HoldsSet(ParentOf(argument))) return ParentOf(argument);
  std::string missing =
      LoneMissing(JoinPath(argument, kEnglishSetPath), JoinPath(argument, kRussianSetPath));
  if (missing.empty() && RealNameOf(argument) == kSetFolderName)
    missing = LoneMissing(JoinPath(argument, kEnglishSetFileName),
                          JoinPath(argument, kRussianSetFileName));
  if (!missing.empty())
    // TRANSLATORS: %1$s is the folder; %2$s the reason, a sentence of its own.
    throw SetFileError(
        Format(Tr("%1$s: no question set here: %2$s"), {argument, NeedsBoth(missing)}));
  if (RealNameOf(argument) == kSetFolderName) {
    // TRANSLATORS: %1$s is the folder; %2$s to %5$s are the set files looked for, two pairs.
    throw SetFileError(
        Format(Tr("%1$s: no question set here: looked for %2$s and %3$s or %4$s and %5$s"),
               {argument, JoinPath(argument, kEnglishSetPath), JoinPath(argument, kRussianSetPath),
                JoinPath(argument, kEnglishSetFileName), JoinPath(argument, kRussianSetFileName)}));
  }
  if (HoldsPhotos(argument)) {
    // TRANSLATORS: %1$s is the folder, %2$s and %3$s the set files looked for in it; the
    // action's name is the one the file managers show, "Сделать викторину Anthora".
    throw std::runtime_error(Format(
        Tr("%1$s: no question set here: looked for %2$s and %3$s. A quiz can be made from its "
           "photos: choose \"Make an Anthora quiz\" on the folder's menu in the file manager, or "
           "run anthora --make-quiz %1$s"),
        {argument, JoinPath(argument, kEnglishSetPath), JoinPath(argument, kRussianSetPath)}));
  }
  // TRANSLATORS: %1$s is the folder, %2$s and %3$s the set files looked for in it.
  throw SetFileError(
      Format(Tr("%1$s: no question set here: looked for %2$s and %3$s"),
             {argument, JoinPath(argument, kEnglishSetPath), JoinPath(argument, kRussianSetPath)}));
}

}  // namespace

OpenedSet::OpenedSet(const std::string& argument, Need need, const std::string& shownAs)
    : FShown(argument) {
  RemoveAbandonedRunFolders();  // whatever this run opens
  if (argument.empty()) {
    // The quiz reads ris/ in the current folder; a checker run inside ris/ itself says so
    // rather than report a set that is there as missing.
    if (need == Need::Anything && !HoldsSet("") && IsSetsRis(""))
      throw SetFileError(
          Tr("this looks like a set's ris folder, and the set is read from the folder above it: "
             "run anthora --check .. (or cd .. first)"));
    return;
  }
  struct stat status {};
  const bool found = stat(argument.c_str(), &status) == 0;
  if (need == Need::Anything && !IsSetFileName(argument) && (!found || S_ISDIR(status.st_mode))) {
    FFolder = IsSetsRis(argument) ? ParentOf(argument) : argument;
    FShown = FFolder;
    return;
  }
  if (!found) throw SetFileError(argument + ": " + std::strerror(errno));
  if (S_ISDIR(status.st_mode)) {
    FFolder = SetFolderOf(argument);
    FShown = FFolder;
    return;
  }
  FSignals.emplace();
  FUnpacked = std::make_unique<RunFolder>();
  UnpackSetFile(argument, FUnpacked->Get());
  const bool english = FileExists(JoinPath(FUnpacked->Path(), kEnglishSetPath));
  const bool russian = FileExists(JoinPath(FUnpacked->Path(), kRussianSetPath));
  if (!english && !russian)
    // TRANSLATORS: %1$s is the set file, %2$s and %3$s the files looked for in it.
    throw SetFileError(Format(Tr("%1$s: holds no question set: looked for %2$s and %3$s"),
                              {argument, kEnglishSetPath, kRussianSetPath}));
  // A checker reports the missing file with the rest of its findings.
  if ((!english || !russian) && need == Need::Set) {
    throw SetFileError(Format(Tr("%s: holds %s but not %s, and the quiz needs both; make the "
                                 "set file again"),
                              {argument, english ? kEnglishSetPath : kRussianSetPath,
                               english ? kRussianSetPath : kEnglishSetPath}));
  }
  FFolder = FUnpacked->Path();
  if (!shownAs.empty()) FShown = shownAs;
}

OpenedSet::~OpenedSet() = default;

}  // namespace anthora
