#include "authoring/SetBuilder.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "authoring/Photo.h"
#include "authoring/QuestionTable.h"
#include "authoring/Sheet.h"
#include "picture/Jpeg.h"
#include "platform/Utf8.h"
#include "quiz/QuestionSet.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Exceptions.h"
#include "runtime/files/Files.h"
#include "runtime/files/Stream.h"
#include "runtime/graphics/Bitmap.h"

namespace anthora {

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kMaxPhotoBytes = std::uintmax_t{256} << 20;

// The bytes of a file, or none with the reason.
std::optional<std::string> ReadWholeFile(const std::string& path, std::uintmax_t limit,
                                         std::string& why) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(path, error);
  if (error) {
    why = error.message();
    return std::nullopt;
  }
  if (size > limit) {
    why = "larger than " + std::to_string(limit >> 20) + " MB";
    return std::nullopt;
  }
  std::ifstream in(path, std::ios::binary);
  std::string bytes(size, '\0');
  if (!in.read(bytes.data(), static_cast<std::streamsize>(size))) {
    why = "cannot be read";
    return std::nullopt;
  }
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

// The file a table's picture cell names under SOURCE, letter case aside; a name without an
// extension finds a JPEG or PNG file.
std::string FindPhoto(const std::string& source, const std::string& cell) {
  const std::string path = JoinPath(source, cell);
  std::string found = FindFileIgnoringCase(path);
  const std::string_view name = std::string_view(cell).substr(cell.rfind('/') + 1);
  if (found.empty() && name.find('.') == std::string_view::npos) {
    for (const char* extension : {".jpg", ".jpeg", ".png"}) {
      found = FindFileIgnoringCase(path + extension);
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

class Builder {
 public:
  Builder(const std::string& source, const std::string& output, bool replace, SetBuild& build)
      : FSource(source), FOutput(output), FReplace(replace), FBuild(build) {
    FBuild.SetFolder = JoinPath(output, "ris");
  }

  void Run() {
    if (!CheckOutput()) return;
    const std::optional<std::string> sheet = FindSheet(FSource, FBuild.Problems);
    if (!sheet) return;
    FTableName = *sheet;
    std::string why;
    const std::optional<std::string> text = ReadWholeFile(FTableName, kMaxSheetBytes, why);
    if (!text) return FBuild.Problems.Error(FTableName, 0, "cannot be read: " + why);
    const QuestionTable table =
        ReadQuestionTable(ReadSheet(*text, FTableName, FBuild.Problems), FBuild.Problems);
    MakePictures(table);
    FBuild.Problems.SortByLine();
    if (FBuild.Problems.Count(Finding::Level::Error) > 0) return;
    Write(table);
  }

 private:
  // OUTPUT/ris may neither hold SOURCE nor lie in it, and replaces an old one only when asked.
  bool CheckOutput() {
    std::error_code sourceError;
    std::error_code outputError;
    const fs::path source = fs::weakly_canonical(FolderPath(FSource), sourceError);
    const fs::path ris = fs::weakly_canonical(FolderPath(FOutput) / "ris", outputError);
    if (const std::error_code& error = sourceError ? sourceError : outputError) {
      FBuild.Problems.Error(FBuild.SetFolder, 0, "cannot be reached: " + error.message());
      return false;
    }
    if (Within(source, ris) || Within(ris, source)) {
      FBuild.Problems.Error(FBuild.SetFolder, 0,
                            "would be written inside the source folder "
                            "or over it; choose another output folder");
      return false;
    }
    if (fs::exists(fs::symlink_status(ris)) && !FReplace) {
      FBuild.Problems.Error(FBuild.SetFolder, 0, "already exists; add --force to replace it");
      return false;
    }
    return true;
  }

  void MakePictures(const QuestionTable& table) {
    // found photo and its framing -> picture name
    std::map<std::pair<std::string, PhotoFraming>, std::string> namesByPhoto;
    std::set<std::string> usedNames;
    for (const TableQuestion& question : table.Questions) {
      const std::string photo = FindPhoto(FSource, question.Photo);
      if (photo.empty()) {
        FBuild.Problems.Error(FTableName, question.Line,
                              "photo '" + JoinPath(FSource, question.Photo) + "' not found");
        FPictureNames.emplace_back();
        continue;
      }
      auto [entry, added] = namesByPhoto.try_emplace({photo, question.Framing});
      if (added) {
        entry->second = UniqueName(SafePictureName(question.Photo), usedNames);
        MakePicture(photo, question.Framing, entry->second, question.Line);
      }
      FPictureNames.push_back(entry->second);
    }
  }

  static std::string UniqueName(const std::string& name, std::set<std::string>& used) {
    std::string unique = name;
    for (int n = 2; !used.insert(unique).second; ++n) unique = name + "-" + std::to_string(n);
    return unique;
  }

  void MakePicture(const std::string& photo, const PhotoFraming& framing, const std::string& name,
                   int line) {
    std::string why;
    const std::optional<std::string> bytes = ReadWholeFile(photo, kMaxPhotoBytes, why);
    if (!bytes) {
      FBuild.Problems.Error(FTableName, line, "photo '" + photo + "' " + why);
      return;
    }
    try {
      const std::unique_ptr<TBitmap> square = MakeSquarePicture(*bytes, kPictureSide, framing);
      FPictures.emplace_back(name + ".jpg", EncodedJpeg(*square));
    } catch (const Exception& error) {
      FBuild.Problems.Error(
          FTableName, line,
          "photo '" + photo + "' cannot be read: " + Cp1251ToUtf8(error.Message()));
    }
  }

  // Writes the set into a new folder beside the old one, then puts it in the old one's place.
  void Write(const QuestionTable& table) {
    std::vector<std::pair<std::string, std::string>> files = FPictures;
    // The quiz starts only when both set files exist, so a language the table leaves out
    // gets the other language's questions.
    const auto english = table.HasEnglish ? &TableQuestion::English : &TableQuestion::Russian;
    const auto russian = table.HasRussian ? &TableQuestion::Russian : &TableQuestion::English;
    files.emplace_back("fen.ani", SetFileText(table.Questions, FPictureNames, english));
    files.emplace_back("fru.ani", SetFileText(table.Questions, FPictureNames, russian));

    const fs::path output = FolderPath(FOutput);
    const fs::path ris = output / "ris";
    fs::path fresh;
    try {
      fs::create_directories(output);
      std::string pattern = (output / ".ris-new-XXXXXX").string();
      if (!mkdtemp(pattern.data()))
        throw fs::filesystem_error("cannot make a folder", pattern,
                                   std::error_code(errno, std::generic_category()));
      fresh = pattern;
      const mode_t mask = umask(0);  // the folder gets the usual permissions, not mkdtemp's
      umask(mask);
      fs::permissions(fresh, static_cast<fs::perms>(0777 & ~mask));
      for (const auto& [name, bytes] : files) {
        std::ofstream out(fresh / name, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush())
          throw fs::filesystem_error("cannot write", fresh / name,
                                     std::error_code(errno, std::generic_category()));
      }
      if (fs::exists(fs::symlink_status(ris))) {
        const fs::path old = fresh.string() + "-old";
        fs::rename(ris, old);
        fs::rename(fresh, ris);
        fs::remove_all(old);
      } else {
        fs::rename(fresh, ris);
      }
    } catch (const fs::filesystem_error& error) {
      std::error_code ignored;
      if (!fresh.empty()) fs::remove_all(fresh, ignored);
      FBuild.Problems.Error(FBuild.SetFolder, 0, std::string("cannot be written: ") + error.what());
      return;
    }
    FBuild.Questions = static_cast<int>(table.Questions.size());
    FBuild.Pictures = static_cast<int>(FPictures.size());
  }

  const std::string& FSource;
  std::string FTableName;
  const std::string& FOutput;
  const bool FReplace;
  SetBuild& FBuild;
  std::vector<std::string> FPictureNames;                      // per question
  std::vector<std::pair<std::string, std::string>> FPictures;  // file name, JPEG bytes
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

SetBuild BuildQuestionSet(const std::string& source, const std::string& output, bool replace) {
  SetBuild build;
  Builder(source, output, replace, build).Run();
  return build;
}

}  // namespace anthora
