// Arbitrary bytes as a JPEG file and as the stored form of a picture: each is loaded and,
// when it loads, decoded at both output depths, as drawing would, and as bare pixels.
#include <cstddef>
#include <cstdint>

#include "PictureLimit.h"
#include "picture/Jpeg.h"
#include "picture/Picture.h"
#include "runtime/base/Exceptions.h"

namespace {

void Decode(anthora::TGraphic* graphic) {
  auto* jpeg = dynamic_cast<anthora::TJPEGImage*>(graphic);
  if (!jpeg || anthora::TooLargeToFuzz(*jpeg)) return;
  try {
    jpeg->Bitmap();
  } catch (const anthora::Exception&) {
  }
  jpeg->Bitmap();  // a failed decode is not repeated
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  anthora::InitializeJpegUnit();
  for (const auto depth : {anthora::TJPEGOutputDepth::od24Bit, anthora::TJPEGOutputDepth::od8Bit}) {
    anthora::TMemoryStream stream;
    stream.WriteBuffer(data, size);
    stream.SetPosition(0);
    auto picture = std::make_unique<anthora::TJPEGImage>();
    anthora::TJPEGOptions options = picture->Options();
    options.OutputDepth = depth;
    options.ShowPasses = depth == anthora::TJPEGOutputDepth::od8Bit;
    picture->SetOptions(options);
    try {
      picture->LoadFromStream(stream);
      Decode(picture.get());
    } catch (const anthora::Exception&) {
    }
    if (depth == anthora::TJPEGOutputDepth::od24Bit && picture->Data()->Data &&
        !anthora::TooLargeToFuzz(*picture)) {
      try {
        anthora::DecodeJpegPixels({data, size}, picture->Width() / 3);
      } catch (const anthora::Exception&) {
      }
    }
  }

  anthora::TMemoryStream stored;
  stored.WriteBuffer("\x0ATJPEGImage", 11);
  stored.WriteBuffer(data, size);
  stored.SetPosition(0);
  anthora::TPicture container;
  try {
    container.ReadData(stored);
    Decode(container.Graphic());
  } catch (const anthora::Exception&) {
  }
  return 0;
}
