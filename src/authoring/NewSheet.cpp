#include "authoring/NewSheet.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "authoring/ParallelWork.h"
#include "authoring/SetBuilder.h"
#include "picture/Jpeg.h"
#include "picture/Photo.h"
#include "platform/Utf8.h"
#include "quiz/SetArchive.h"
#include "runtime/base/Exceptions.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "runtime/files/Files.h"
#include "runtime/files/Paths.h"
#include "runtime/files/SafeWrite.h"
#include "runtime/files/WholeFile.h"
#include "runtime/graphics/Bitmap.h"
#include "sheet/QuestionTable.h"
#include "sheet/Sheet.h"

namespace anthora {

namespace fs = std::filesystem;

namespace {

constexpr std::array<std::string_view, kSheetColumns.size()> kExample = {
    "rose.jpg", "Rose",    "Tulip", "Daisy",  "Poppy", "Роза",
    "Тюльпан",  "Ромашка", "Мак",   "centre", "0"};

// The side of a new sheet's pictures of the photos, in pixels.
constexpr std::int32_t kSheetPictureSide = 96;
// The sheet's cells must still fit beside the pictures in what a sheet may weigh to be read.
static_assert(kMaxNewSheetPictureBytes <= kMaxSheetBytes / 2);

// Whether every form of sheet can hold the name: UTF-8 without control characters or the
// noncharacters U+FFFE and U+FFFF, which XML cannot hold.
bool FitsSheet(std::string_view name) {
  return IsUtf8(name) &&
         std::none_of(name.begin(), name.end(),
                      [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }) &&
         name.find("\xEF\xBF\xBE") == std::string_view::npos &&
         name.find("\xEF\xBF\xBF") == std::string_view::npos;
}

}  // namespace

std::vector<std::string> PhotosForSheet(const std::string& source, Findings& findings) {
  std::vector<std::string> photos;
  const fs::path top(source.empty() ? "." : source);
  std::vector<fs::path> folders = {top};
  while (!folders.empty()) {
    const fs::path folder = std::move(folders.back());
    folders.pop_back();
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      const std::string name = it->path().filename().string();
      // A broken link or an entry that vanished is no photo; it does not end the listing.
      std::error_code ignored;
      if (name.starts_with('.')) continue;
      if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
        folders.push_back(it->path());
        continue;
      }
      if (!IsPhotoName(name) || !it->is_regular_file(ignored)) continue;
      const std::string relative = it->path().lexically_relative(top).generic_string();
      if (!FitsSheet(relative)) {
        findings.Warning(JoinPath(source, relative), 0,
                         Tr("left out of the new sheet: a sheet cannot hold its name; rename the "
                            "photo and write the sheet again, or add its row by hand"));
        continue;
      }
      // More than a set file holds: the folder is surely not one set's photos.
      if (photos.size() == kMaxSetEntries) {
        findings.Error(source, 0,
                       Format(Tr("holds more than %d photos, more than one set can show; choose "
                                 "the folder of one set's photos"),
                              {kMaxSetEntries}));
        return {};
      }
      photos.push_back(relative);
    }
    if (!error) continue;
    // The folder itself must be read; a folder in it that cannot be is passed over.
    if (folder == top) {
      findings.Error(source, 0, Format(Tr("cannot be read: %s"), {error.message()}));
    } else {
      const std::string relative = folder.lexically_relative(top).generic_string();
      findings.Warning(JoinPath(source, relative), 0,
                       // TRANSLATORS: %s says why, from the system.
                       Format(Tr("cannot be read, so its photos are left out of the new sheet "
                                 "(%s)"),
                              {error.message()}));
    }
  }
  std::sort(photos.begin(), photos.end());
  return photos;
}

SheetCells NewSheetRows(const std::vector<std::string>& photos) {
  SheetCells rows;
  rows.emplace_back(kSheetColumns.begin(), kSheetColumns.end());
  if (photos.empty()) rows.emplace_back(kExample.begin(), kExample.end());
  for (const std::string& photo : photos) {
    rows.emplace_back(kSheetColumns.size());
    rows.back().front() = photo;
  }
  return rows;
}

std::vector<SheetPicture> NewSheetPictures(const std::string& source,
                                           const std::vector<std::string>& photos,
                                           std::size_t maxBytes) {
  std::vector<std::string> made(photos.size());
  ForEachInParallel(photos.size(), 0, [&](std::size_t i) {
    // A photo that cannot be read is named when the set is built; here it only shows nothing.
    try {
      const FileBytes bytes = ReadWholeFile(JoinPath(source, photos[i]), kMaxPhotoBytes);
      made[i] = JpegFileBytes(*MakeSquarePicture(bytes.View(), kSheetPictureSide));
    } catch (const FileReadError&) {
    } catch (const Exception&) {
    } catch (const std::bad_alloc&) {
    }
  });
  std::vector<SheetPicture> pictures;
  std::size_t bytes = 0;
  for (std::size_t i = 0; i < made.size(); ++i) {
    if (made[i].empty()) continue;
    bytes += made[i].size();
    if (bytes > maxBytes) break;
    // The header row comes first.
    pictures.push_back({i + 1, std::move(made[i]), kSheetPictureSide, kSheetPictureSide});
  }
  return pictures;
}

SheetCells NewSheetNote() {
  return {{Tr("Only the names are needed.")},
          {Tr("On the sheet questions, fill in a row for each photo: the flower's name in "
              "English (column en) and in Russian (column ru), or in one of them.")},
          {Tr("Leave the wrong answers (en_wrong1 to en_wrong3, ru_wrong1 to ru_wrong3) empty, "
              "and the program chooses them among the flowers of the other rows, look-alikes "
              "first; a wrong answer you type is kept as you typed it.")},
          {Tr("This sheet is not read.")}};
}

NewSheet WriteNewSheet(const std::string& source, const std::string& name, Findings& findings) {
  const std::string path = JoinPath(source, name);
  // The builder looks for the sheet by this name, in SOURCE itself.
  const std::optional<SheetForm> form = SheetFormOf(name);
  const std::size_t dot = name.rfind('.');
  if (!form || name.find('/') != std::string::npos || !SameName(name.substr(0, dot), "questions")) {
    findings.Error(path, 0,
                   Tr("a new sheet is named questions.ods, questions.xlsx, questions.csv or "
                      "questions.tsv, so that building the set finds it"));
    return {};
  }
  std::error_code error;
  if (!source.empty()) fs::create_directories(source, error);
  const SheetFiles files = ListSheetFiles(source);
  if (error || files.Error) {
    findings.Error(source, 0,
                   Format(Tr("cannot be used: %s"), {(error ? error : files.Error).message()}));
    return {};
  }
  if (!files.Sheets.empty()) {
    findings.Error(JoinPath(source, files.Sheets.front()), 0,
                   Tr("already exists; a new sheet is never written over one"));
    return {};
  }
  const int errors = findings.Count(Finding::Level::Error);
  const std::vector<std::string> photos = PhotosForSheet(source, findings);
  if (findings.Count(Finding::Level::Error) > errors) return {};
  // Written whole in private, then put in place, which fails if anything is there.
  try {
    AtomicFile file(path, false);
    const bool pictures = *form == SheetForm::Ods || *form == SheetForm::Xlsx;
    WriteSheet(file, NewSheetRows(photos), *form, NewSheetNote(),
               pictures ? NewSheetPictures(source, photos) : std::vector<SheetPicture>{});
    file.Commit();
  } catch (const WriteError& failed) {
    findings.Error(path, 0,
                   failed.Exists() ? Tr("already exists; a new sheet is never written over one")
                                   : failed.Reason());
    return {};
  }
  return {path, photos.size()};
}

}  // namespace anthora
