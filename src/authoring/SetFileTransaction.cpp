#include "authoring/SetFileTransaction.h"

#include <cstdio>
#include <cstdlib>

#include "picture/Photo.h"
#include "platform/PngWriter.h"
#include "quiz/SetArchive.h"
#include "quiz/SetFile.h"
#include "quiz/SetPacker.h"
#include "runtime/base/Translate.h"
#include "runtime/files/Files.h"
#include "runtime/files/Paths.h"
#include "runtime/files/SystemCalls.h"
#include "runtime/files/WholeFile.h"
#include "runtime/files/ZipArchive.h"

namespace anthora {

namespace {

// The mark comes before the pictures' pixels, within the file's first bytes.
constexpr std::size_t kMarkReach = 4096;

// An old set file may be replaced; any other file in its place is the teacher's.
std::string RefuseAllButSetFile(const std::string& path) {
  try {
    const ZipArchive archive = ZipArchive::OpenFile(path, kMaxSetBytes);
    if (archive.Find(kEnglishSetPath) || archive.Find(kRussianSetPath)) return {};
  } catch (const ZipError&) {
  }
  return Tr("is there and is not a quiz file, so it is not replaced");
}

std::string RefuseAllButPreview(const std::string& path) {
  return IsDrawnPreview(path) ? std::string()
                              : Tr("is there and is not a preview this program drew, so it is "
                                   "not replaced");
}

std::uint32_t BigEndian(std::string_view bytes) {
  std::uint32_t value = 0;
  for (const char byte : bytes.substr(0, 4)) value = value << 8 | static_cast<unsigned char>(byte);
  return value;
}

}  // namespace

bool IsDrawnPreview(const std::string& path) {
  ErrorOr<FileHandle> file = OpenForSharedReading(path);
  if (!file) return false;
  std::string start(kMarkReach, '\0');
  start.resize(ReadFully(file.Value().Get(), start.data(), start.size()));
  return HasPreviewMark(start);
}

bool HasPreviewMark(std::string_view start) {
  if (!start.starts_with(kPngSignature)) return false;
  const std::string text = "Software" + std::string(1, '\0') + std::string(kPreviewMark);
  // The chunks before the pixels: length, type, data, check sum.
  for (std::size_t at = kPngSignature.size(); at + 8 <= start.size();) {
    const std::uint32_t length = BigEndian(start.substr(at));
    const std::string_view type = start.substr(at + 4, 4);
    if (type == "IDAT" || length > start.size() - at - 8) break;
    if (type == "tEXt" && start.substr(at + 8, length) == text) return true;
    at += 12 + std::size_t{length};
  }
  return false;
}

void AsOneFile(Finding& finding, const std::string& folder, const std::string& file) {
  if (Renamed(finding.File, folder, file) != finding.File) finding.File = file;
}

void ShowAs(SetCheck& check, const std::string& from, const std::string& to) {
  const auto show = [&](Finding& finding) {
    finding.File = Renamed(finding.File, from, to);
    finding.Text = RenamedIn(std::move(finding.Text), from, to);
  };
  for (Finding& finding : check.Problems.All) show(finding);
  for (CheckedSetFile* file : {&check.English, &check.Russian}) {
    for (Finding& finding : file->AboutTheFile) show(finding);
    for (CheckedQuestion& question : file->First) {
      for (Finding& finding : question.Problems) show(finding);
    }
  }
}

SetFileTransaction::SetFileTransaction(const SetFileRequest& request)
    : FRequest(request),
      FSetFile(request.Output, request.Replace,
               request.OnlySetFiles ? ReplaceRefusal(RefuseAllButSetFile) : ReplaceRefusal()),
      FBuilt(JoinPath(FSetFile.Folder(), "set")) {
  if (!request.Preview.empty()) FPreview.emplace(request.Preview, true, RefuseAllButPreview);
}

void SetFileTransaction::ShowAsOutput(Findings& findings) const {
  for (Finding& finding : findings.All) AsOneFile(finding, FBuilt, FRequest.Output);
}

void SetFileTransaction::Pack(const std::string& sheet) {
  // The first day a zip archive can date, when the sheet cannot be looked at.
  constexpr std::time_t kEarliest = 315532800 + 12 * 3600;
  const ErrorOr<struct stat> status = sys::StatAt(sys::kHere, sheet);
  PackSetFolder(FBuilt, FSetFile, status ? status.Value().st_mtime : kEarliest);
}

SetCheck SetFileTransaction::Check(const AnswerFace& face, std::size_t kept) const {
  SetCheck check = CheckQuestionSets(FBuilt, face, kept, SetPlace::SetFile);
  ShowAs(check, FBuilt, FRequest.Output);
  return check;
}

void SetFileTransaction::DrawPreview(const SetCheck& check, const TFont& font,
                                     const PreviewOrigin* origin) {
  if (!FPreview) return;
  SetPreview preview = DrawSetPreview(FRequest.Output, check, font, nullptr, origin);
  char* data = nullptr;
  std::size_t size = 0;
  std::FILE* memory = open_memstream(&data, &size);
  if (memory == nullptr) throw WriteError(FRequest.Preview, SystemReason(errno));
  const bool drawn = WritePng(memory, preview.Surface(), kPreviewMark);
  std::fclose(memory);
  const std::string bytes(data, size);
  std::free(data);
  if (!drawn) throw WriteError(FRequest.Preview, Tr("the picture could not be made"));
  if (!WriteAll(FPreview->Create().Get(), bytes))
    throw WriteError(FRequest.Preview, SystemReason(errno));
  FPreviewDrawn = true;
}

void SetFileTransaction::Commit(bool withSet) {
  if (withSet) {
    FSetFile.Commit();
    FWritten.push_back(FRequest.Output);
  }
  if (FPreviewDrawn) {
    FPreview->Commit();
    FWritten.push_back(FRequest.Preview);
  }
}

}  // namespace anthora
