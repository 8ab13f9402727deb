#pragma once

#include <optional>
#include <string>
#include <vector>

#include "authoring/SetChecker.h"
#include "authoring/SetPreview.h"
#include "runtime/files/SafeWrite.h"

namespace anthora {

// What a preview's name adds to its set's name.
inline constexpr std::string_view kPreviewSuffix = "-preview.png";
// The Software text every preview carries: a file of a preview's name without it is the
// teacher's own and is never replaced.
inline constexpr std::string_view kPreviewMark = "Anthora set preview";

// Making NAME.anthora as one transaction: the set is built in a private folder beside the file,
// packed, checked and its preview drawn there, and nothing is put in place before all of it is
// made. The set file is named NAME.anthora and its preview NAME-preview.png. An old set file is
// replaced only when allowed, and with OnlySetFiles only when it is a set file; a preview only
// replaces a preview this program drew.
struct SetFileRequest {
  std::string Output;  // NAME.anthora
  bool Replace = false;
  bool OnlySetFiles = false;
  std::string Preview;  // NAME-preview.png, empty for none
};

class SetFileTransaction {
 public:
  // Refuses at once what could not be put in place. Throws WriteError.
  explicit SetFileTransaction(const SetFileRequest& request);

  // The folder the set is built in: its ris/ goes there.
  const std::string& BuildFolder() const { return FBuilt; }
  // Findings about anything in the private folder name the set file instead.
  void ShowAsOutput(Findings& findings) const;
  // Packs the set built in BuildFolder() into the set file, still in private, its entries dated
  // as the sheet it was built from was last saved: a rebuild from the same sheet and photos
  // gives the same bytes.
  void Pack(const std::string& sheet);
  // Checks the set built, keeping the first `kept` questions; the findings name the set file.
  SetCheck Check(const AnswerFace& face, std::size_t kept) const;
  // Draws the checked set's preview, to be put in place with the set file.
  // The origin, when given, names each card's sheet row and marks the answers the program chose.
  void DrawPreview(const SetCheck& check, const TFont& font, const PreviewOrigin* origin = nullptr);
  // Puts in place the set file when `withSet`, and the preview when one was drawn, in that
  // order. Throws WriteError; Written() then says what was put in place before it failed.
  void Commit(bool withSet);
  const std::vector<std::string>& Written() const { return FWritten; }

 private:
  SetFileRequest FRequest;
  AtomicFile FSetFile;
  std::optional<AtomicFile> FPreview;
  std::string FBuilt;
  bool FPreviewDrawn = false;
  std::vector<std::string> FWritten;
};

// Names the files and texts of a check's findings under the folder `from` as under `to`.
void ShowAs(SetCheck& check, const std::string& from, const std::string& to);

// A finding about the folder or anything in it names the file instead: the set file as one.
void AsOneFile(Finding& finding, const std::string& folder, const std::string& file);

// Whether the file at the path is a preview this program drew (by the mark it writes in it).
bool IsDrawnPreview(const std::string& path);
// The same of a file's first bytes.
bool HasPreviewMark(std::string_view start);

}  // namespace anthora
