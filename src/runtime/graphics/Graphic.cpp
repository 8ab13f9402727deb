#include "runtime/graphics/Graphic.h"

#include <algorithm>

#include "runtime/base/Exceptions.h"
#include "runtime/base/Format.h"
#include "runtime/files/FileStream.h"

namespace anthora {

bool TGraphic::Equals(TGraphic& other) {
  if (&other == this) return true;
  if (&other.ClassType() != &ClassType() || other.Empty() != Empty()) return false;
  if (Empty()) return true;
  TMemoryStream mine;
  TMemoryStream theirs;
  WriteData(mine);
  other.WriteData(theirs);
  return std::equal(mine.Memory(), mine.Memory() + mine.Length(), theirs.Memory(),
                    theirs.Memory() + theirs.Length());
}

void TGraphic::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Changed();
}

void TGraphic::SetModified(bool value) {
  if (value) {
    Changed();
  } else {
    FModified = false;
  }
}

void TGraphic::LoadFromFile(std::string_view fileName) {
  TFileStream stream(fileName, TFileStream::Mode::OpenRead);
  if (const std::int64_t size = stream.Size(); size > kMaxFileSize) {
    throw EInvalidGraphic(Format("Picture file too large to load (%d bytes, at most %d): \"%s\"",
                                 {size, kMaxFileSize, fileName}));
  }
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(std::string_view fileName) {
  TFileStream stream(fileName, TFileStream::Mode::Create);
  SaveToStream(stream);
}

void TGraphic::Changed() {
  FModified = true;
  if (OnChange) OnChange(this);
}

void TGraphic::Progress(TProgressStage stage, std::uint8_t percentDone, bool redrawNow,
                        const TRect& rect, const std::string& message) {
  if (OnProgress) OnProgress(this, stage, percentDone, redrawNow, rect, message);
}

}  // namespace anthora
