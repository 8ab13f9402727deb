#include "authoring/SetBuilder.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <system_error>

#include "authoring/ParallelWork.h"
#include "authoring/PhotoLookup.h"
#include "authoring/PictureName.h"
#include "sheet/SheetLookup.h"
#include "picture/Jpeg.h"
#include "picture/Photo.h"
#include "platform/posix/DeferredTermination.h"
#include "quiz/QuestionSet.h"
#include "quiz/SetFile.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Exceptions.h"
#include "runtime/files/Files.h"
#include "runtime/files/SafeWrite.h"
#include "runtime/files/WholeFile.h"
#include "runtime/graphics/Bitmap.h"

namespace anthora {

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kMaxPhotoBytes = std::uintmax_t{256} << 20;

// OUTPUT/ris may neither hold SOURCE nor lie in it.
bool CheckOutput(const std::string& source, const std::string& output, SetBuild& build) {
  std::error_code sourceError;
  std::error_code outputError;
  const fs::path sourcePath = fs::weakly_canonical(FolderPath(source), sourceError);
  const fs::path ris = fs::weakly_canonical(FolderPath(output) / kSetFolderName, outputError);
  if (const std::error_code& error = sourceError ? sourceError : outputError) {
    build.Problems.Error(build.SetFolder, 0, "cannot be reached: " + error.message());
    return false;
  }
  if (IsWithin(sourcePath, ris) || IsWithin(ris, sourcePath)) {
    build.Problems.Error(build.SetFolder, 0,
                         "would be written inside the source folder "
                         "or over it; choose another output folder");
    return false;
  }
  return true;
}

// One photo to make into a picture, and what came of it.
struct PictureJob {
  std::string Photo;
  PhotoFraming Framing;
  std::string Name;  // without ".jpg"
  int Line = 0;
  std::string Jpeg;
  std::string Error;  // "cannot be read: ..."; empty when it was made
};

void MakePicture(PictureJob& job) {
  const std::optional<FileBytes> bytes = ReadWholeFile(job.Photo, kMaxPhotoBytes, job.Error);
  if (!bytes) return;
  try {
    job.Jpeg = JpegFileBytes(*MakeSquarePicture(bytes->View(), kPictureSide, job.Framing));
  } catch (const Exception& error) {
    job.Error = "cannot be read: " + Cp1251ToUtf8(error.Message());
  } catch (const std::bad_alloc&) {
    job.Error = "cannot be read: it needs more memory than there is";
  }
}

// The photos are found in the order of the table, each found photo and framing made once, the
// largest first on all cores so that they run out of work at about the same time. The picture
// name of each question; empty where it has no photo.
std::vector<std::string> MakePictures(const std::string& source, const SourceSheet& sheet,
                                      unsigned threads, const BuildProgress& progress,
                                      MadeSet& set) {
  PhotoLookup photos(source, sheet.Name, set.Problems);
  PictureNames names;
  std::map<std::pair<std::string, PhotoFraming>, std::string> namesByPhoto;
  std::vector<std::string> pictureNames;
  std::vector<PictureJob> jobs;
  for (const TableQuestion& question : sheet.Table.Questions) {
    const std::string photo = photos.Find(question.Photo, question.Line);
    if (photo.empty()) {
      pictureNames.emplace_back();
      continue;
    }
    auto [entry, added] = namesByPhoto.try_emplace({photo, question.Framing});
    if (added) {
      entry->second = names.Add(question.Photo);
      jobs.push_back({photo, question.Framing, entry->second, question.Line, {}, {}});
    }
    pictureNames.push_back(entry->second);
  }
  std::vector<std::pair<std::uintmax_t, std::size_t>> order;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(jobs[i].Photo, error);
    order.emplace_back(error ? 0 : size, i);
  }
  std::sort(order.begin(), order.end(), std::greater<>());
  if (progress) progress(0, jobs.size());
  std::atomic<std::size_t> done = 0;
  ForEachInParallel(jobs.size(), threads, [&](std::size_t k) {
    MakePicture(jobs[order[k].second]);
    if (progress) progress(++done, jobs.size());
  });
  for (PictureJob& job : jobs) {
    if (job.Error.empty()) {
      set.Files.push_back({job.Name + ".jpg", std::move(job.Jpeg)});
    } else {
      set.Problems.Error(sheet.Name, job.Line, "photo " + QuotedName(job.Photo) + " " + job.Error);
    }
  }
  return pictureNames;
}

// The quiz starts only when both set files exist, so a language the table leaves out gets the
// other language's questions.
void AddSetFiles(const QuestionTable& table, const std::vector<std::string>& pictureNames,
                 MadeSet& set) {
  const auto english = table.HasEnglish ? &TableQuestion::English : &TableQuestion::Russian;
  const auto russian = table.HasRussian ? &TableQuestion::Russian : &TableQuestion::English;
  for (const auto& [name, answers] :
       {std::pair(kEnglishSetFileName, english), std::pair(kRussianSetFileName, russian)}) {
    std::vector<SetRecord> records;
    for (std::size_t i = 0; i < table.Questions.size(); ++i)
      records.push_back({pictureNames[i], table.Questions[i].*answers});
    set.Files.push_back({std::string(name), SetFileText(records)});
  }
}

}  // namespace

MadeSet MakeQuestionSet(const std::string& source, unsigned threads,
                        const BuildProgress& progress) {
  MadeSet set;
  const std::optional<SourceSheet> sheet = ReadSourceSheet(source, set.Problems);
  if (!sheet) return set;
  const std::vector<std::string> pictureNames =
      MakePictures(source, *sheet, threads, progress, set);
  if (DeferredTermination::Pending()) {
    set.Problems.Error(sheet->Name, 0, "not made: the build was interrupted");
    return set;
  }
  set.Problems.SortByLine();
  if (set.Problems.Count(Finding::Level::Error) > 0) return set;
  set.Pictures = static_cast<int>(set.Files.size());
  set.Questions = static_cast<int>(sheet->Table.Questions.size());
  set.Sheet = sheet->Name;
  for (const TableQuestion& question : sheet->Table.Questions) set.Rows.push_back(question.Line);
  AddSetFiles(sheet->Table, pictureNames, set);
  return set;
}

SetBuild BuildQuestionSet(const std::string& source, const std::string& output, bool replace) {
  SetBuild build;
  build.SetFolder = JoinPath(output, std::string(kSetFolderName));
  const FolderWrite request{output, "ris", replace, {"fen.ani", "fru.ani"}, IsSetFile, {}};
  try {
    if (!CheckOutput(source, output, build)) return build;
    CheckFolderWrite(request);
    MadeSet set = MakeQuestionSet(source);
    build.Problems = std::move(set.Problems);
    if (build.Problems.Count(Finding::Level::Error) > 0) return build;
    for (std::string& warning : WriteFolder(request, set.Files))
      build.Problems.Warning(build.SetFolder, 0, std::move(warning));
    build.Questions = set.Questions;
    build.Pictures = set.Pictures;
    build.Sheet = std::move(set.Sheet);
    build.Rows = std::move(set.Rows);
  } catch (const WriteError& error) {
    build.Problems.Error(error.Path(), 0, error.Reason());
  }
  return build;
}

}  // namespace anthora
