#pragma once

#include "runtime/graphics/Graphic.h"

namespace anthora {

// Picture kinds that are registered but that this program never shows: loading one fails
// with EInvalidGraphic, and an empty one draws nothing.
class TUnsupportedGraphic : public TGraphic {
  ANTHORA_CLASS(TUnsupportedGraphic, TGraphic)

 public:
  void Draw(TCanvas&, const TRect&) override {}
  bool Empty() const override { return true; }
  std::int32_t Width() const override { return 0; }
  std::int32_t Height() const override { return 0; }
  void SetWidth(std::int32_t) override {}
  void SetHeight(std::int32_t) override {}
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
};

class TMetafile : public TUnsupportedGraphic {
  ANTHORA_CLASS(TMetafile, TUnsupportedGraphic)
};

class TIcon : public TUnsupportedGraphic {
  ANTHORA_CLASS(TIcon, TUnsupportedGraphic)
};

}  // namespace anthora
