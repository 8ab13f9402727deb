#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "runtime/graphics/Graphic.h"

namespace anthora {

class TStream;

// The container of an image box's picture: loads picture files by extension and reads the
// stored form of a picture. It owns its picture; a failed load keeps the old one.
class TPicture : public TPersistent {
  ANTHORA_CLASS(TPicture, TPersistent)

 public:
  TPicture();
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;
  ~TPicture() override;

  TGraphic* Graphic() const { return FGraphic.get(); }
  // Installs the picture (or none) and reports a change.
  void SetGraphic(std::unique_ptr<TGraphic> graphic);
  std::int32_t Width() const { return FGraphic ? FGraphic->Width() : 0; }
  std::int32_t Height() const { return FGraphic ? FGraphic->Height() : 0; }

  // Picks the kind by the file name's extension (case does not count) and loads the file.
  // EInvalidGraphic "Unknown picture file extension (.<ext>)" for an extension that is not
  // registered; EFOpenError when the file cannot be opened; the kind's own errors.
  void LoadFromFile(std::string_view fileName);
  void SaveToFile(std::string_view fileName);

  // The stored form: one byte n, n bytes of class name, then the picture's own data. A
  // class name that is not registered leaves the container empty without an error.
  void ReadData(TStream& stream);
  void WriteData(TStream& stream);

  TNotifyEvent OnChange;
  TProgressEvent OnProgress;

 protected:
  void Changed();

 private:
  void Install(std::unique_ptr<TGraphic> graphic);
  void ForwardProgress(TGraphic& graphic);

  std::unique_ptr<TGraphic> FGraphic;
};

// The extension of a file name: the text after the last ".", when no folder separator or
// drive colon follows it; otherwise empty.
std::string_view ExtractFileExt(std::string_view fileName);

}  // namespace anthora
