#include "authoring/SetBuilder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <system_error>
#include <thread>

#include "authoring/Photo.h"
#include "sheet/QuestionTable.h"
#include "sheet/Sheet.h"
#include "picture/Jpeg.h"
#include "platform/Utf8.h"
#include "platform/posix/DeferredTermination.h"
#include "quiz/QuestionSet.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Exceptions.h"
#include "runtime/files/Files.h"
#include "runtime/files/SafeWrite.h"
#include "runtime/files/Stream.h"
#include "runtime/graphics/Bitmap.h"

namespace anthora {

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kMaxPhotoBytes = std::uintmax_t{256} << 20;

// A file's bytes, read straight into memory of their own: nothing fills it first and nothing
// copies it after.
struct FileBytes {
  std::unique_ptr<char[]> Data;
  std::size_t Size = 0;
  std::string_view View() const { return {Data.get(), Size}; }
};

// The bytes of a regular file, or none with the reason ("cannot be read: ...").
std::optional<FileBytes> ReadWholeFile(const std::string& path, std::uintmax_t limit,
                                       std::string& why) {
  int error = 0;
  const int handle = OpenForSharedReading(path, error);
  if (handle < 0) {
    why = "cannot be read: " + std::string(error == kNotRegularFile ? "it is not a regular file"
                                           : error == EISDIR ? "it is a folder, not a regular file"
                                           : error == EWOULDBLOCK ? "it is being written"
                                                                  : std::strerror(error));
    return std::nullopt;
  }
  struct stat status {};
  FileBytes bytes;
  if (fstat(handle, &status) == 0 && static_cast<std::uintmax_t>(status.st_size) > limit) {
    why = "is larger than " + std::to_string(limit >> 20) + " MB";
  } else {
    bytes.Size = static_cast<std::size_t>(status.st_size);
    bytes.Data = std::make_unique_for_overwrite<char[]>(bytes.Size);
    std::size_t done = 0;
    while (done < bytes.Size) {
      const ssize_t got = read(handle, bytes.Data.get() + done, bytes.Size - done);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      done += static_cast<std::size_t>(got);
    }
    if (done < bytes.Size) why = "cannot be read: it changed while it was read";
  }
  close(handle);
  if (!why.empty()) return std::nullopt;
  return bytes;
}

// The Latin letters of a lower-case Cyrillic letter, or none.
const char* Transliterated(char32_t c) {
  static constexpr const char* kRussian[] = {
      "a", "b", "v", "g", "d", "e",  "zh", "z",  "i",  "y",    "k", "l", "m", "n", "o",  "p",
      "r", "s", "t", "u", "f", "kh", "ts", "ch", "sh", "shch", "",  "y", "",  "e", "yu", "ya"};
  if (c >= 0x0430 && c <= 0x044F) return kRussian[c - 0x0430];
  switch (c) {
    case 0x0451:
      return "e";  // ё
    case 0x0456:
      return "i";  // і
    case 0x0457:
      return "yi";  // ї
    case 0x0454:
      return "ye";  // є
    case 0x0491:
      return "g";  // ґ
    case 0x045E:
      return "u";  // ў
    default:
      return nullptr;
  }
}

// Whether a picture cell names a file outside the folder it is read from.
bool LeavesFolder(std::string_view cell) {
  if (cell.starts_with('/')) return true;
  for (std::size_t start = 0; start <= cell.size();) {
    const std::size_t end = std::min(cell.find('/', start), cell.size());
    if (cell.substr(start, end - start) == "..") return true;
    start = end + 1;
  }
  return false;
}

// The files a table's picture cell may name under SOURCE: the file of that exact name, or else
// every file whose name differs only in letter case; a name without an extension finds a JPEG
// or PNG file.
std::vector<std::string> FindPhotos(const std::string& source, const std::string& cell) {
  const std::string path = JoinPath(source, cell);
  std::vector<std::string> found = FindFilesIgnoringCase(path);
  const std::string_view name = std::string_view(cell).substr(cell.rfind('/') + 1);
  if (found.empty() && name.find('.') == std::string_view::npos) {
    for (const char* extension : {".jpg", ".jpeg", ".png"}) {
      found = FindFilesIgnoringCase(path + extension);
      if (!found.empty()) break;
    }
  }
  return found;
}

std::string SetFileText(const std::vector<TableQuestion>& questions,
                        const std::vector<std::string>& pictureNames,
                        std::array<std::string, 4> TableQuestion::*answers) {
  std::string text = std::to_string(questions.size()) + "\r\n";
  for (std::size_t i = 0; i < questions.size(); ++i) {
    text += pictureNames[i] + "\r\n";
    for (const std::string& answer : questions[i].*answers) text += answer + "\r\n";
  }
  return text;
}

std::string EncodedJpeg(TBitmap& bitmap) {
  TJPEGImage jpeg;
  jpeg.Assign(bitmap);
  TMemoryStream stream;
  jpeg.SaveToStream(stream);
  return {reinterpret_cast<const char*>(stream.Memory()), stream.Length()};
}

// A folder as the file system takes it: the current one when none is named.
fs::path FolderPath(const std::string& folder) {
  return folder.empty() ? fs::path(".") : fs::path(folder);
}

bool Within(const fs::path& inner, const fs::path& outer) {
  const auto [end, rest] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
  return end == outer.end();
}

// OUTPUT/ris may neither hold SOURCE nor lie in it.
bool CheckOutput(const std::string& source, const std::string& output, SetBuild& build) {
  std::error_code sourceError;
  std::error_code outputError;
  const fs::path sourcePath = fs::weakly_canonical(FolderPath(source), sourceError);
  const fs::path ris = fs::weakly_canonical(FolderPath(output) / "ris", outputError);
  if (const std::error_code& error = sourceError ? sourceError : outputError) {
    build.Problems.Error(build.SetFolder, 0, "cannot be reached: " + error.message());
    return false;
  }
  if (Within(sourcePath, ris) || Within(ris, sourcePath)) {
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

// Calls work(i) once for every i below count, on up to `threads` threads (0: one per core);
// stops early when a termination signal waits.
void ForEach(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& work) {
  constexpr std::size_t kMaxThreads = 16;  // each holds a decoded photo
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  threads = static_cast<unsigned>(std::min<std::size_t>({threads, count, kMaxThreads}));
  std::atomic<std::size_t> next = 0;
  const auto run = [&] {
    for (std::size_t i = next++; i < count && !DeferredTermination::Pending(); i = next++) work(i);
  };
  std::vector<std::jthread> helpers;
  for (std::size_t k = 1; k < threads; ++k) {
    try {
      helpers.emplace_back(run);
    } catch (const std::system_error&) {
      break;  // fewer threads do the same work
    }
  }
  run();
}

class SetMaker {
 public:
  SetMaker(const std::string& source, unsigned threads, MadeSet& set)
      : FSource(source), FThreads(threads), FSet(set) {}

  void Run() {
    std::string why;
    const std::optional<std::string> sheet = FindSheet(FSource, FSet.Problems);
    if (!sheet) return;
    FTableName = *sheet;
    const std::optional<FileBytes> text = ReadWholeFile(FTableName, kMaxSheetBytes, why);
    if (!text) return FSet.Problems.Error(FTableName, 0, why);
    const QuestionTable table =
        ReadQuestionTable(ReadSheet(text->View(), FTableName, FSet.Problems), FSet.Problems);
    std::error_code error;
    FSourceFolder = fs::canonical(FolderPath(FSource), error);
    MakePictures(table);
    if (DeferredTermination::Pending())
      return FSet.Problems.Error(FTableName, 0, "not made: the build was interrupted");
    FSet.Problems.SortByLine();
    if (FSet.Problems.Count(Finding::Level::Error) > 0) return;
    AddSetFiles(table);
  }

 private:
  // The photos are found in the order of the table, then made into pictures on all cores.
  void MakePictures(const QuestionTable& table) {
    // found photo and its framing -> picture name
    std::map<std::pair<std::string, PhotoFraming>, std::string> namesByPhoto;
    std::set<std::string> usedNames;
    std::vector<PictureJob> jobs;
    for (const TableQuestion& question : table.Questions) {
      const std::string photo = FindSourcePhoto(question);
      if (photo.empty()) {
        FPictureNames.emplace_back();
        continue;
      }
      auto [entry, added] = namesByPhoto.try_emplace({photo, question.Framing});
      if (added) {
        entry->second = UniqueName(SafePictureName(question.Photo), usedNames);
        jobs.push_back({photo, question.Framing, entry->second, question.Line, {}, {}});
      }
      FPictureNames.push_back(entry->second);
    }
    // The largest photos first, so that the cores run out of work at about the same time.
    std::vector<std::pair<std::uintmax_t, std::size_t>> order;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
      std::error_code error;
      const std::uintmax_t size = fs::file_size(jobs[i].Photo, error);
      order.emplace_back(error ? 0 : size, i);
    }
    std::sort(order.begin(), order.end(), std::greater<>());
    ForEach(jobs.size(), FThreads, [&](std::size_t k) { MakePicture(jobs[order[k].second]); });
    for (PictureJob& job : jobs) {
      if (job.Error.empty()) {
        FSet.Files.push_back({job.Name + ".jpg", std::move(job.Jpeg)});
      } else {
        FSet.Problems.Error(FTableName, job.Line,
                            "photo " + QuotedName(job.Photo) + " " + job.Error);
      }
    }
  }

  // The photo a question names, in SOURCE or below it; empty, with the error, when there is none.
  std::string FindSourcePhoto(const TableQuestion& question) {
    const std::string shown = "photo " + QuotedName(JoinPath(FSource, question.Photo));
    const auto outside = [&] {
      FSet.Problems.Error(FTableName, question.Line,
                          shown +
                              " lies outside the source folder; a photo must be in it or "
                              "in a folder below it");
      return std::string();
    };
    if (LeavesFolder(question.Photo)) return outside();
    const std::vector<std::string> photos = FindPhotos(FSource, question.Photo);
    if (photos.empty()) {
      FSet.Problems.Error(FTableName, question.Line, shown + " not found");
      return {};
    }
    if (photos.size() > 1) {
      // Which one was meant cannot be told: taking either could put the wrong flower in.
      constexpr std::size_t kNamed = 5;
      std::string names;
      for (std::size_t i = 0; i < std::min(photos.size(), kNamed); ++i) {
        names += i == 0 ? "" : i + 1 == photos.size() ? " and " : ", ";
        names += QuotedName(photos[i].substr(photos[i].rfind('/') + 1));
      }
      if (photos.size() > kNamed)
        names += " and " + std::to_string(photos.size() - kNamed) + " more";
      FSet.Problems.Error(FTableName, question.Line,
                          shown + " matches " + names +
                              ", which differ only in letter case; write the name exactly as "
                              "the photo's file has it");
      return {};
    }
    const std::string& photo = photos.front();
    std::error_code error;
    const fs::path real = fs::canonical(photo, error);
    if (error || FSourceFolder.empty() || !Within(real, FSourceFolder)) return outside();
    return photo;
  }

  static std::string UniqueName(const std::string& name, std::set<std::string>& used) {
    std::string unique = name;
    for (int n = 2; !used.insert(unique).second; ++n) unique = name + "-" + std::to_string(n);
    return unique;
  }

  static void MakePicture(PictureJob& job) {
    const std::optional<FileBytes> bytes = ReadWholeFile(job.Photo, kMaxPhotoBytes, job.Error);
    if (!bytes) return;
    try {
      job.Jpeg = EncodedJpeg(*MakeSquarePicture(bytes->View(), kPictureSide, job.Framing));
    } catch (const Exception& error) {
      job.Error = "cannot be read: " + Cp1251ToUtf8(error.Message());
    } catch (const std::bad_alloc&) {
      job.Error = "cannot be read: it needs more memory than there is";
    }
  }

  void AddSetFiles(const QuestionTable& table) {
    FSet.Pictures = static_cast<int>(FSet.Files.size());
    FSet.Questions = static_cast<int>(table.Questions.size());
    FSet.Sheet = FTableName;
    for (const TableQuestion& question : table.Questions) FSet.Rows.push_back(question.Line);
    // The quiz starts only when both set files exist, so a language the table leaves out
    // gets the other language's questions.
    const auto english = table.HasEnglish ? &TableQuestion::English : &TableQuestion::Russian;
    const auto russian = table.HasRussian ? &TableQuestion::Russian : &TableQuestion::English;
    FSet.Files.push_back({"fen.ani", SetFileText(table.Questions, FPictureNames, english)});
    FSet.Files.push_back({"fru.ani", SetFileText(table.Questions, FPictureNames, russian)});
  }

  const std::string& FSource;
  std::string FTableName;
  const unsigned FThreads;
  MadeSet& FSet;
  fs::path FSourceFolder;                  // resolved, links and all
  std::vector<std::string> FPictureNames;  // per question
};

}  // namespace

std::string SafePictureName(std::string_view photoName) {
  std::string_view stem = photoName.substr(photoName.rfind('/') + 1);
  if (const std::size_t dot = stem.rfind('.'); dot != std::string_view::npos && dot > 0)
    stem = stem.substr(0, dot);
  std::string name;
  const auto add = [&name](std::string_view part) {
    if (part == "-" && (name.empty() || name.back() == '-')) return;
    name += part;
  };
  for (char32_t c : DecodeUtf8(stem)) {
    c = cp1251::ToLower(c);
    if ((c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9')) {
      add(std::string(1, static_cast<char>(c)));
    } else if (const char* latin = Transliterated(c)) {
      add(latin);
    } else {
      add("-");
    }
    if (name.size() >= 40) break;
  }
  while (!name.empty() && name.back() == '-') name.pop_back();
  return name.empty() ? "photo" : name;
}

bool IsSetFile(std::string_view name) {
  if (name == "fen.ani" || name == "fru.ani") return true;
  if (name.size() <= 4) return false;
  std::string extension(name.substr(name.size() - 4));
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; });
  return extension == ".jpg";
}

MadeSet MakeQuestionSet(const std::string& source, unsigned threads) {
  MadeSet set;
  SetMaker(source, threads, set).Run();
  return set;
}

SetBuild BuildQuestionSet(const std::string& source, const std::string& output, bool replace) {
  SetBuild build;
  build.SetFolder = JoinPath(output, "ris");
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
