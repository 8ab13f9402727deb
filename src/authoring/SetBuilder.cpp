#include "authoring/SetBuilder.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <system_error>

#include "authoring/DeckSource.h"
#include "authoring/ParallelWork.h"
#include "authoring/PhotoLookup.h"
#include "authoring/PictureName.h"
#include "picture/Jpeg.h"
#include "picture/Photo.h"
#include "platform/posix/DeferredTermination.h"
#include "quiz/QuestionSet.h"
#include "quiz/SetFile.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Exceptions.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "runtime/files/Files.h"
#include "runtime/files/Paths.h"
#include "runtime/files/SafeWrite.h"
#include "runtime/files/WholeFile.h"
#include "runtime/graphics/Bitmap.h"
#include "sheet/SheetLookup.h"

namespace anthora {

namespace fs = std::filesystem;

namespace {

// OUTPUT/ris may neither hold SOURCE nor lie in it.
bool CheckOutput(const std::string& source, const std::string& output, SetBuild& build) {
  std::error_code sourceError;
  std::error_code outputError;
  const fs::path sourcePath = fs::weakly_canonical(FolderPath(source), sourceError);
  const fs::path ris = fs::weakly_canonical(FolderPath(output) / kSetFolderName, outputError);
  if (const std::error_code& error = sourceError ? sourceError : outputError) {
    build.Problems.Error(build.SetFolder, 0,
                         Format(Tr("cannot be reached: %s"), {error.message()}));
    return false;
  }
  if (IsWithin(sourcePath, ris) || IsWithin(ris, sourcePath)) {
    build.Problems.Error(build.SetFolder, 0,
                         Tr("would be written inside the source folder "
                            "or over it; choose another output folder"));
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
  PhotoSize Size;     // as MakeSquarePicture tells it
};

void MakePicture(PictureJob& job) {
  try {
    const FileBytes bytes = ReadWholeFile(job.Photo, kMaxPhotoBytes);
    job.Jpeg =
        JpegFileBytes(*MakeSquarePicture(bytes.View(), kPictureSide, job.Framing, &job.Size));
  } catch (const FileReadError& error) {
    job.Error = error.what();
  } catch (const Exception& error) {
    job.Error = Format(Tr("cannot be read: %s"), {Cp1251ToUtf8(error.Message())});
  } catch (const std::bad_alloc&) {
    job.Error = Tr("cannot be read: it needs more memory than there is");
  }
}

// "2, 5 and 7", naming at most ten rows.
std::string RowList(const std::vector<int>& rows) {
  std::vector<std::string> numbers;
  for (const int row : rows) numbers.push_back(std::to_string(row));
  return Enumerated(numbers, 10);
}

// One photo file on rows with different right answers: at least one of those rows is wrong.
// The file counts, however the rows spell its name; two files are two photos, however alike
// their names.
void ReportSharedPhotos(const SourceSheet& sheet, const std::vector<std::string>& files,
                        Findings& findings) {
  std::map<std::string, std::vector<const TableQuestion*>> byFile;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!files[i].empty()) byFile[files[i]].push_back(&sheet.Table.Questions[i]);
  }
  for (const auto& entry : byFile) {
    const std::vector<const TableQuestion*>& questions = entry.second;
    const auto differs = [&](std::array<std::string, 4> TableQuestion::*answers) {
      return std::any_of(questions.begin(), questions.end(), [&](const TableQuestion* q) {
        return (q->*answers)[0] != (questions.front()->*answers)[0];
      });
    };
    if (questions.size() < 2 ||
        !(differs(&TableQuestion::English) || differs(&TableQuestion::Russian)))
      continue;
    std::vector<int> rows;
    for (const TableQuestion* question : questions) rows.push_back(question->Line);
    findings.Warning(sheet.Name, rows.front(),
                     // TRANSLATORS: %2$s is a list of row numbers: "2, 5 and 7".
                     Format(Tr("photo %1$s is on rows %2$s with different right answers: one of "
                               "them is wrong"),
                            {QuotedName(questions.front()->Photo), RowList(rows)}));
  }
}

// A photo the new sheet would not list: hidden, or in a hidden folder.
bool IsHiddenPath(const std::string& relative) {
  return relative.starts_with('.') || relative.find("/.") != std::string::npos;
}

// The photos of the folder that are none of the rows' photo files, named with a warning: a
// photo added after the sheet was made would be left out of the set without a word.
void ReportPhotosWithoutRows(const std::string& source, const SourceSheet& sheet,
                             PhotoLookup& photos, const std::vector<std::string>& files,
                             MadeSet& set) {
  const std::set<std::string> named(files.begin(), files.end());
  const fs::path folder = FolderPath(source);
  for (const std::string& photo : photos.Photos()) {
    if (IsHiddenPath(photo)) continue;
    std::error_code error;
    const fs::path file = fs::canonical(folder / photo, error);
    if (!named.contains(error ? (folder / photo).string() : file.string()))
      set.PhotosWithoutRows.push_back(photo);
  }
  const std::size_t count = set.PhotosWithoutRows.size();
  if (count == 0) return;
  set.Problems.Warning(
      sheet.Name, 0,
      // TRANSLATORS: %d is the number of photos, %s a list of their names: "a.jpg and b.heic".
      Format(
          TrN("%d photo has no row: %s; add a row for it or move it out of the folder",
              "%d photos have no row: %s; add rows for them or move them out of the folder", count),
          {count, Enumerated(set.PhotosWithoutRows, 10)}));
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
  std::vector<std::string> files;  // each question's photo file, resolved; empty when none
  std::vector<PictureJob> jobs;
  for (const TableQuestion& question : sheet.Table.Questions) {
    const std::string photo = photos.Find(question.Photo, question.Line);
    std::error_code error;
    const fs::path file = photo.empty() ? fs::path() : fs::canonical(photo, error);
    files.push_back(error ? photo : file.string());
    if (photo.empty()) {
      pictureNames.emplace_back();
      continue;
    }
    auto [entry, added] = namesByPhoto.try_emplace({files.back(), question.Framing});
    if (added) {
      entry->second = names.Add(question.Photo);
      jobs.push_back({photo, question.Framing, entry->second, question.Line, {}, {}, {}});
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
  std::set<std::string> enlarged;  // each photo is named once, however it is framed
  for (PictureJob& job : jobs) {
    if (!job.Error.empty()) {
      // TRANSLATORS: %2$s says what is wrong with the photo: "cannot be read: ...".
      set.Problems.Error(sheet.Name, job.Line,
                         Format(Tr("photo %1$s %2$s"), {QuotedName(job.Photo), job.Error}));
      continue;
    }
    set.Files.push_back({job.Name + ".jpg", std::move(job.Jpeg)});
    if (std::min(job.Size.Width, job.Size.Height) < kPictureSide &&
        enlarged.insert(job.Photo).second) {
      set.Problems.Warning(
          sheet.Name, job.Line,
          Format(Tr("photo %s is only %d x %d pixels: its square is enlarged to %d x %d and "
                    "looks blurred; a photo at least %d pixels on its shorter side looks sharp"),
                 {QuotedName(job.Photo), job.Size.Width, job.Size.Height, kPictureSide,
                  kPictureSide, kPictureSide}));
    }
  }
  ReportSharedPhotos(sheet, files, set.Problems);
  ReportPhotosWithoutRows(source, sheet, photos, files, set);
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
  // A flashcard deck stands for the sheet and its photos: its pictures are unpacked into a
  // private folder that is read as the source's folder.
  std::optional<DeckSource> deck;
  std::optional<SourceSheet> sheet;
  std::string photos = source;
  if (const std::optional<std::string> deckPath = FindSourceDeck(source, set.Problems)) {
    if (deckPath->empty()) return set;
    deck.emplace(*deckPath, set.Problems);
    if (!deck->Read()) return set;
    sheet = std::move(deck->Questions());
    photos = deck->PhotoFolder();
  } else {
    sheet = ReadSourceSheet(source, set.Problems);
  }
  if (!sheet) return set;
  set.Chosen = ChooseWrongAnswers(sheet->Table, sheet->Name, set.Problems);
  std::vector<std::string> pictureNames = MakePictures(photos, *sheet, threads, progress, set);
  if (deck) {
    // The pictures are named as files of the deck, not of the folder they were unpacked into.
    for (Finding& finding : set.Problems.All)
      finding.Text = RenamedIn(std::move(finding.Text), photos, sheet->Name);
  }
  if (DeferredTermination::Pending()) {
    set.Problems.Error(sheet->Name, 0, Tr("not made: the build was interrupted"));
    return set;
  }
  set.Problems.SortByLine();
  if (set.Problems.Count(Finding::Level::Error) > 0) return set;
  set.Pictures = static_cast<int>(set.Files.size());
  set.Questions = static_cast<int>(sheet->Table.Questions.size());
  set.Sheet = sheet->Name;
  for (const TableQuestion& question : sheet->Table.Questions) {
    set.Rows.push_back(question.Line);
    set.Photos.push_back(question.Photo);
  }
  AddSetFiles(sheet->Table, pictureNames, set);
  return set;
}

SetBuild BuildQuestionSet(const std::string& source, const std::string& output, bool replace) {
  SetBuild build;
  build.SetFolder = JoinPath(output, kSetFolderName);
  const FolderWrite request{output, "ris", replace, {"fen.ani", "fru.ani"}, IsSetFile, {}};
  try {
    if (!CheckOutput(source, output, build)) return build;
    CheckFolderWrite(request);
    MadeSet set = MakeQuestionSet(source);
    build.Problems = std::move(set.Problems);
    build.PhotosWithoutRows = std::move(set.PhotosWithoutRows);
    if (build.Problems.Count(Finding::Level::Error) > 0) return build;
    for (std::string& warning : WriteFolder(request, set.Files))
      build.Problems.Warning(build.SetFolder, 0, std::move(warning));
    build.Questions = set.Questions;
    build.Pictures = set.Pictures;
    build.Sheet = std::move(set.Sheet);
    build.Rows = std::move(set.Rows);
    build.Photos = std::move(set.Photos);
    build.Chosen = std::move(set.Chosen);
  } catch (const WriteError& error) {
    build.Problems.Error(error.Path(), 0, error.Reason());
  }
  return build;
}

}  // namespace anthora
