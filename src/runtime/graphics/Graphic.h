#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "runtime/base/Persistent.h"
#include "runtime/base/Rect.h"
#include "runtime/graphics/Palette.h"

namespace anthora {

class TCanvas;
class TStream;

enum class TProgressStage : std::uint8_t { psStarting, psRunning, psEnding };

// A report of a long operation such as decoding: how far it got and which rectangle of the
// picture may be shown now.
using TProgressEvent =
    std::function<void(TObject* sender, TProgressStage stage, std::uint8_t percentDone,
                       bool redrawNow, const TRect& rect, const std::string& message)>;

// The base of every kind of picture: size, palette, drawing, and the stored form.
class TGraphic : public TPersistent {
  ANTHORA_CLASS(TGraphic, TPersistent)

 public:
  // Draws the whole picture scaled into the rectangle.
  virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;
  virtual bool Empty() const = 0;
  // Same kind and the same stored data, byte for byte.
  virtual bool Equals(TGraphic& other);

  virtual std::int32_t Width() const = 0;
  virtual std::int32_t Height() const = 0;
  virtual void SetWidth(std::int32_t width) = 0;
  virtual void SetHeight(std::int32_t height) = 0;

  // The palette to realise when drawing on a palette display; none for most pictures.
  virtual HPALETTE Palette() { return nullptr; }
  virtual void SetPalette(HPALETTE) {}

  virtual bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool value);

  bool Modified() const { return FModified; }
  // Setting it reports a change; clearing it does not.
  void SetModified(bool value);
  bool PaletteModified() const { return FPaletteModified; }
  void SetPaletteModified(bool value) { FPaletteModified = value; }

  TNotifyEvent OnChange;
  TProgressEvent OnProgress;

  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) = 0;
  // Opens the file read-only (others may read it) and loads all of it. A file larger than
  // kMaxFileSize is refused with EInvalidGraphic before anything is read.
  void LoadFromFile(std::string_view fileName);
  // Larger than any picture the program decodes.
  static constexpr std::int64_t kMaxFileSize = std::int64_t{256} << 20;
  void SaveToFile(std::string_view fileName);

  // The picture's own part of its stored form; by default the whole stream form.
  virtual void ReadData(TStream& stream) { LoadFromStream(stream); }
  virtual void WriteData(TStream& stream) { SaveToStream(stream); }

 protected:
  // Sets the modified flag and calls the change handler.
  virtual void Changed();
  void Progress(TProgressStage stage, std::uint8_t percentDone, bool redrawNow, const TRect& rect,
                const std::string& message);

 private:
  bool FModified = false;
  bool FTransparent = false;
  bool FPaletteModified = false;
};

}  // namespace anthora
