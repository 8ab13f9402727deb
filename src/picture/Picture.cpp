#include "picture/Picture.h"

#include <string>

#include "picture/GraphicFormats.h"
#include "runtime/base/Exceptions.h"
#include "runtime/base/Format.h"
#include "runtime/files/Stream.h"

namespace anthora {

namespace {

constexpr std::size_t kMaxStoredClassName = 63;

}  // namespace

std::string_view ExtractFileExt(std::string_view fileName) {
  const std::size_t last = fileName.find_last_of(".\\:/");
  if (last == std::string_view::npos || fileName[last] != '.') return {};
  return fileName.substr(last + 1);
}

TPicture::TPicture() {
  FileFormats();
  ClipboardFormats();
}

TPicture::~TPicture() = default;

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
  if (graphic) ForwardProgress(*graphic);
  Install(std::move(graphic));
}

void TPicture::LoadFromFile(std::string_view fileName) {
  const std::string_view extension = ExtractFileExt(fileName);
  const TGraphicClass* graphicClass = FileFormats().FindExt(extension);
  if (!graphicClass) {
    throw EInvalidGraphic(Format("Unknown picture file extension (.%s)", {extension}));
  }
  std::unique_ptr<TGraphic> graphic = graphicClass->Create();
  ForwardProgress(*graphic);
  graphic->LoadFromFile(fileName);
  Install(std::move(graphic));
}

void TPicture::SaveToFile(std::string_view fileName) {
  if (FGraphic) FGraphic->SaveToFile(fileName);
}

void TPicture::ReadData(TStream& stream) {
  std::uint8_t length = 0;
  stream.ReadBuffer(&length, 1);
  std::string className(length, '\0');
  stream.ReadBuffer(className.data(), className.size());
  std::unique_ptr<TGraphic> graphic;
  if (const TGraphicClass* graphicClass = FileFormats().FindClassName(className)) {
    graphic = graphicClass->Create();
    graphic->ReadData(stream);
    ForwardProgress(*graphic);
  }
  Install(std::move(graphic));
}

void TPicture::WriteData(TStream& stream) {
  const std::string_view className =
      FGraphic ? FGraphic->ClassName().substr(0, kMaxStoredClassName) : std::string_view{};
  const auto length = static_cast<std::uint8_t>(className.size());
  stream.WriteBuffer(&length, 1);
  stream.WriteBuffer(className.data(), className.size());
  if (FGraphic) FGraphic->WriteData(stream);
}

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

void TPicture::Install(std::unique_ptr<TGraphic> graphic) {
  FGraphic = std::move(graphic);
  if (FGraphic) FGraphic->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

void TPicture::ForwardProgress(TGraphic& graphic) {
  graphic.OnProgress = [this](TObject* sender, TProgressStage stage, std::uint8_t percentDone,
                              bool redrawNow, const TRect& rect, const std::string& message) {
    if (OnProgress) OnProgress(sender, stage, percentDone, redrawNow, rect, message);
  };
}

}  // namespace anthora
