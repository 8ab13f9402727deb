#include "picture/Image.h"

#include "picture/OtherGraphics.h"
#include "runtime/files/PropertyValue.h"
#include "runtime/files/Stream.h"
#include "runtime/graphics/Canvas.h"

namespace anthora {

TImage::TImage(TComponent* owner) : TGraphicControl(owner), FPicture(std::make_unique<TPicture>()) {
  SetBounds(Left(), Top(), 105, 105);
  FPicture->OnChange = [this](TObject*) { PictureChanged(); };
  FPicture->OnProgress = [this](TObject* sender, TProgressStage stage, std::uint8_t percentDone,
                                bool redrawNow, const TRect& rect, const std::string& message) {
    Progress(sender, stage, percentDone, redrawNow, rect, message);
  };
}

TImage::~TImage() = default;

void TImage::SetStretch(bool stretch) {
  if (stretch == FLayout.Stretch) return;
  FLayout.Stretch = stretch;
  PictureChanged();
}

void TImage::SetCenter(bool center) {
  if (center == FLayout.Center) return;
  FLayout.Center = center;
  PictureChanged();
}

void TImage::SetProportional(bool proportional) {
  if (proportional == FLayout.Proportional) return;
  FLayout.Proportional = proportional;
  PictureChanged();
}

void TImage::SetTransparent(bool transparent) {
  if (transparent == FTransparent) return;
  FTransparent = transparent;
  PictureChanged();
}

void TImage::SetAutoSize(bool autoSize) {
  FAutoSize = autoSize;
  PictureChanged();
}

TRect TImage::DestRect() const {
  return DestinationRect(FPicture->Width(), FPicture->Height(), Width(), Height(), FLayout);
}

bool TImage::Opaque() const {
  const TGraphic* graphic = FPicture->Graphic();
  return graphic && !graphic->Transparent() &&
         IntersectRect(DestRect(), ClientRect()) == ClientRect();
}

void TImage::Paint() {
  TGraphic* graphic = FPicture->Graphic();
  if (!graphic) return;
  // A picture without pixels, such as one whose decode failed before it made a row, hides
  // what lies beneath the box as any opaque picture does: the box shows its parent's colour,
  // never what the surface held before.
  if ((graphic->Width() <= 0 || graphic->Height() <= 0) && Parent() && Opaque())
    Canvas().FillRectWithColor(ClientRect(), Parent()->Color());
  const bool wasDrawing = FDrawing;
  FDrawing = true;
  struct Restore {
    bool& Flag;
    bool Value;
    ~Restore() { Flag = Value; }
  } restore{FDrawing, wasDrawing};
  graphic->Draw(Canvas(), DestRect());
}

void TImage::PictureChanged() {
  TGraphic* graphic = FPicture->Graphic();
  if (FAutoSize && graphic && graphic->Width() > 0 && graphic->Height() > 0) {
    SetBounds(Left(), Top(), graphic->Width(), graphic->Height());
  }
  const bool keepsOwnTransparency = graphic && (graphic->InheritsFrom(TMetafile::StaticClass()) ||
                                                graphic->InheritsFrom(TIcon::StaticClass()));
  if (graphic && !keepsOwnTransparency) graphic->SetTransparent(FTransparent);
  if (!FDrawing) Invalidate();
}

void TImage::Progress(TObject* sender, TProgressStage stage, std::uint8_t percentDone,
                      bool redrawNow, const TRect& rect, const std::string& message) {
  if (redrawNow && IncrementalDisplay) Repaint();
  if (OnProgress) OnProgress(sender, stage, percentDone, redrawNow, rect, message);
}

bool TImage::SetProperty(std::string_view name, const PropertyValue& value) {
  if (name == "Picture.Data") {
    TMemoryStream stream;
    const std::string& bytes = value.AsBinary();
    stream.WriteBuffer(bytes.data(), bytes.size());
    stream.Seek(0, TSeekOrigin::soBeginning);
    FPicture->ReadData(stream);
  } else if (name == "Stretch") {
    SetStretch(value.AsBoolean());
  } else if (name == "Center") {
    SetCenter(value.AsBoolean());
  } else if (name == "Proportional") {
    SetProportional(value.AsBoolean());
  } else if (name == "Transparent") {
    SetTransparent(value.AsBoolean());
  } else if (name == "IncrementalDisplay") {
    IncrementalDisplay = value.AsBoolean();
  } else if (name == "AutoSize") {
    SetAutoSize(value.AsBoolean());
  } else {
    return TGraphicControl::SetProperty(name, value);
  }
  return true;
}

}  // namespace anthora
