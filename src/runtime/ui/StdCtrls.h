#pragma once

#include <string_view>

#include "runtime/ui/Controls.h"

namespace anthora {

enum class TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

// A line of text painted on its parent. With AutoSize it takes the size of its text; with
// Transparent the parent shows around the letters.
class TLabel : public TGraphicControl {
  ANTHORA_CLASS(TLabel, TGraphicControl)

 public:
  explicit TLabel(TComponent* owner);

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool autoSize);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool transparent);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment alignment);
  // Applies a changed font: sizes an auto-sized label again and repaints it at once.
  void FontChanged();

  bool SetProperty(std::string_view name, const PropertyValue& value) override;
  // Sizes an auto-sized label once its caption and font are all known.
  void Loaded() override;
  // The second press of a double click is no new press, so a double click clicks once.
  void WMLButtonDblClk(TShiftState, std::int32_t, std::int32_t) override {}

 protected:
  void Paint() override;
  void CaptionChanged() override;

 private:
  void AdjustSize();

  bool FAutoSize = true;
  bool FTransparent = false;
  TAlignment FAlignment = TAlignment::taLeftJustify;
};

enum class TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised };

// A rectangle in its own colour with up to two one-pixel bevels and a centred caption.
class TPanel : public TCustomControl {
  ANTHORA_CLASS(TPanel, TCustomControl)

 public:
  explicit TPanel(TComponent* owner);

  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut bevel);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut bevel);
  // The client area inside the bevels, where client-aligned children go.
  TRect InnerRect() const;

  bool SetProperty(std::string_view name, const PropertyValue& value) override;

 protected:
  void Paint() override;
  TRect AlignRect() const override { return InnerRect(); }

 private:
  TBevelCut FBevelInner = TBevelCut::bvNone;
  TBevelCut FBevelOuter = TBevelCut::bvRaised;
};

// A smooth progress bar from Min to Max.
class TProgressBar : public TCustomControl {
  ANTHORA_CLASS(TProgressBar, TCustomControl)

 public:
  explicit TProgressBar(TComponent* owner);

  std::int32_t Min() const { return FMin; }
  std::int32_t Max() const { return FMax; }
  // A maximum below the minimum raises EInvalidOperation "TProgressBar property out of range".
  void SetMax(std::int32_t max);
  void SetMin(std::int32_t min);
  std::int32_t Position() const { return FPosition; }
  void SetPosition(std::int32_t position);  // kept between Min and Max
  std::int32_t Step() const { return FStep; }
  void SetStep(std::int32_t step) { FStep = step; }
  // Advances by the step, stopping at the maximum.
  void StepIt() { SetPosition(FPosition + FStep); }
  void StepBy(std::int32_t delta) { SetPosition(FPosition + delta); }

  bool SetProperty(std::string_view name, const PropertyValue& value) override;

 protected:
  void Paint() override;

 private:
  std::int32_t FMin = 0;
  std::int32_t FMax = 100;
  std::int32_t FPosition = 0;
  std::int32_t FStep = 10;
};

}  // namespace anthora
