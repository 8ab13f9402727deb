#include <gtest/gtest.h>

#include <filesystem>

#include "picture/DestinationRect.h"
#include "picture/GraphicFormats.h"
#include "picture/Image.h"
#include "picture/Jpeg.h"
#include "picture/OtherGraphics.h"
#include "picture/Picture.h"
#include "runtime/graphics/Bitmap.h"
#include "support/JpegBytes.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

class PictureFiles : public testing::Test {
 protected:
  void SetUp() override { InitializeJpegUnit(); }

  std::string Jpeg(std::string_view name, std::int32_t width = 12) {
    return FDir.Write(name, test::JpegBytes(width, 9));
  }

  test::TempDir FDir;
};

TEST_F(PictureFiles, TheRegistryHoldsTheBuiltInKindsThenJpeg) {
  std::vector<std::string> extensions;
  for (const TFileFormat& format : FileFormats().Entries()) extensions.push_back(format.Extension);
  ASSERT_GE(extensions.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(extensions.begin(), extensions.begin() + 6),
            (std::vector<std::string>{"wmf", "emf", "ico", "bmp", "jpeg", "jpg"}));
  EXPECT_EQ(FileFormats().FindExt("JPG")->Meta, &TJPEGImage::StaticClass());
  EXPECT_EQ(FileFormats().FindClassName("TJPEGImage")->Meta, &TJPEGImage::StaticClass());
  EXPECT_EQ(FileFormats().FindClassName("tjpegimage"), nullptr);
}

TEST_F(PictureFiles, TheLatestRegistrationWinsAndUnregisteringTakesDerivedKinds) {
  TFileFormatsList list;
  list.Add("JPG", "Mine", 0, TGraphicClass::Of<TBitmap>());
  list.Add("jpg", "JPEG Image File", 0, TGraphicClass::Of<TJPEGImage>());
  EXPECT_EQ(list.FindExt("jpg")->Meta, &TJPEGImage::StaticClass());
  list.Remove(TUnsupportedGraphic::StaticClass());
  EXPECT_EQ(list.FindExt("wmf"), nullptr);
  EXPECT_EQ(list.FindExt("ico"), nullptr);
  EXPECT_NE(list.FindExt("bmp"), nullptr);
}

TEST_F(PictureFiles, TheJpegKindsComeBackWhenTheUnitStartsAgain) {
  const std::string file = Jpeg("again.jpg");
  FinalizeJpegUnit();
  TPicture picture;
  EXPECT_THROW(picture.LoadFromFile(file), EInvalidGraphic);
  InitializeJpegUnit();
  picture.LoadFromFile(file);
  EXPECT_EQ(picture.Width(), 12);
}

TEST_F(PictureFiles, LoadsByExtensionWhateverItsCase) {
  for (const char* name : {"rose.jpg", "rose.JPG", "rose.Jpeg"}) {
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TObject* sender) {
      EXPECT_EQ(sender, &picture);
      ++changes;
    };
    picture.LoadFromFile(Jpeg(name));
    EXPECT_EQ(picture.Graphic()->ClassName(), "TJPEGImage");
    EXPECT_EQ(picture.Width(), 12);
    EXPECT_EQ(picture.Height(), 9);
    EXPECT_EQ(changes, 1);
  }
}

TEST_F(PictureFiles, AFailedLoadKeepsTheOldPicture) {
  TPicture picture;
  picture.LoadFromFile(Jpeg("old.jpg"));
  const TGraphic* old = picture.Graphic();
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };

  const auto expectError = [&](const std::string& name, const std::string& message) {
    try {
      picture.LoadFromFile(name);
      FAIL() << name << " must not load";
    } catch (const Exception& error) {
      EXPECT_EQ(error.Message(), message);
    }
    EXPECT_EQ(picture.Graphic(), old);
  };
  expectError("rose.png", "Unknown picture file extension (.png)");
  expectError("ris.d/rose", "Unknown picture file extension (.)");
  const std::string missing = (FDir.Path() / "missing.jpg").string();
  expectError(missing, "Cannot open file \"" + missing + "\". No such file or directory");
  expectError(FDir.Write("text.jpg", "just text"), "JPEG error #53");
  expectError(FDir.Write("empty.bmp", ""), "Stream read error");
  expectError(FDir.Write("drawing.wmf", "x"), "Cannot read pictures of kind TMetafile");
  const std::string huge = FDir.Write("huge.jpg", "");
  std::filesystem::resize_file(huge, TGraphic::kMaxFileSize + 1);  // sparse: nothing written
  expectError(huge, "Picture file too large to load (268435457 bytes, at most 268435456): \"" +
                        huge + "\"");
  EXPECT_EQ(changes, 0);
}

TEST_F(PictureFiles, StoredPicturesRoundTrip) {
  TPicture original;
  original.LoadFromFile(Jpeg("title.jpg", 23));
  TMemoryStream stored;
  original.WriteData(stored);
  stored.WriteBuffer("tail", 4);
  EXPECT_EQ(stored.Memory()[0], 10);

  stored.SetPosition(0);
  TPicture copy;
  copy.ReadData(stored);
  EXPECT_EQ(copy.Width(), 23);
  EXPECT_EQ(stored.Remaining(), 4);
  EXPECT_TRUE(copy.Graphic()->Equals(*original.Graphic()));
}

TEST_F(PictureFiles, StoredPicturesOfUnknownKindsLeaveTheContainerEmpty) {
  TPicture picture;
  picture.LoadFromFile(Jpeg("old.jpg"));
  TMemoryStream stored;
  stored.WriteBuffer("\x06TThing\x05\0\0\0", 11);
  stored.SetPosition(0);
  picture.ReadData(stored);
  EXPECT_EQ(picture.Graphic(), nullptr);
  EXPECT_EQ(picture.Width(), 0);
}

TEST_F(PictureFiles, AStoredPictureThatFailsKeepsTheOldOne) {
  TPicture picture;
  picture.LoadFromFile(Jpeg("old.jpg"));
  const TGraphic* old = picture.Graphic();
  TMemoryStream stored;
  stored.WriteBuffer("\x0ATJPEGImage\x09\0\0\0", 15);
  stored.SetPosition(0);
  EXPECT_THROW(picture.ReadData(stored), EReadError);
  EXPECT_EQ(picture.Graphic(), old);
}

TEST(ImageBox, IsOpaqueWhenItsPictureIsNotTransparentAndCoversTheBox) {
  TImage image(nullptr);
  image.SetBounds(0, 0, 20, 20);
  EXPECT_FALSE(image.Opaque());
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(10, 10);
  image.Picture().SetGraphic(std::move(bitmap));
  EXPECT_FALSE(image.Opaque());  // drawn at its own size
  image.SetStretch(true);
  EXPECT_TRUE(image.Opaque());
  image.SetTransparent(true);
  EXPECT_FALSE(image.Opaque());
  image.SetTransparent(false);
  image.SetProportional(true);
  image.SetBounds(0, 0, 40, 20);  // square in a wide box
  EXPECT_FALSE(image.Opaque());
  image.Picture().SetGraphic(nullptr);
  EXPECT_FALSE(image.Opaque());
}

TEST(DestinationRect, StretchFillsTheBox) {
  const TImageLayout stretch{.Stretch = true, .Center = true};
  EXPECT_EQ(DestinationRect(530, 293, 509, 268, stretch), Rect(0, 0, 509, 268));
  EXPECT_EQ(DestinationRect(0, 0, 230, 230, stretch), Rect(0, 0, 230, 230));
}

TEST(DestinationRect, ProportionalKeepsTheAspect) {
  const TImageLayout proportional{.Center = true, .Proportional = true};
  EXPECT_EQ(DestinationRect(500, 250, 230, 230, proportional), Rect(0, 57, 230, 172));
  EXPECT_EQ(DestinationRect(250, 500, 230, 230, proportional), Rect(57, 0, 172, 230));
  EXPECT_EQ(DestinationRect(400, 300, 200, 100, proportional), Rect(33, 0, 166, 100));
  // Smaller pictures are not enlarged unless stretched.
  EXPECT_EQ(DestinationRect(50, 40, 230, 230, proportional), Rect(90, 95, 140, 135));
  EXPECT_EQ(DestinationRect(50, 40, 230, 230, {}), Rect(0, 0, 50, 40));
  EXPECT_EQ(DestinationRect(300, 40, 230, 230, {.Center = true}), Rect(-35, 95, 265, 135));
}

}  // namespace
}  // namespace anthora
