#pragma once

#include <memory>

#include "picture/DestinationRect.h"
#include "picture/Picture.h"
#include "runtime/graphics/Graphic.h"
#include "runtime/ui/Controls.h"

namespace anthora {

// An image box: a windowless control that draws its container's picture into its area,
// stretched and centred as asked.
class TImage : public TGraphicControl {
  ANTHORA_CLASS(TImage, TGraphicControl)

 public:
  explicit TImage(TComponent* owner);
  ~TImage() override;

  TPicture& Picture() { return *FPicture; }
  bool Stretch() const { return FLayout.Stretch; }
  void SetStretch(bool stretch);
  bool Center() const { return FLayout.Center; }
  void SetCenter(bool center);
  bool Proportional() const { return FLayout.Proportional; }
  void SetProportional(bool proportional);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool transparent);
  bool IncrementalDisplay = false;
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool autoSize);
  TProgressEvent OnProgress;

  // Where the picture is drawn, in the box's client coordinates.
  TRect DestRect() const;
  // A picture that is not transparent and covers the whole box hides the parent beneath.
  bool Opaque() const override;

  bool SetProperty(std::string_view name, const PropertyValue& value) override;

 protected:
  void Paint() override;

 private:
  void PictureChanged();
  void Progress(TObject* sender, TProgressStage stage, std::uint8_t percentDone, bool redrawNow,
                const TRect& rect, const std::string& message);

  std::unique_ptr<TPicture> FPicture;
  TImageLayout FLayout;
  bool FTransparent = false;
  bool FAutoSize = false;
  bool FDrawing = false;
};

}  // namespace anthora
