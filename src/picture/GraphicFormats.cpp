#include "picture/GraphicFormats.h"

#include <algorithm>

#include "picture/OtherGraphics.h"
#include "runtime/base/Cp1251.h"
#include "runtime/graphics/Bitmap.h"

namespace anthora {

namespace {

constexpr unsigned CF_BITMAP = 2;
constexpr unsigned CF_METAFILEPICT = 3;
constexpr unsigned CF_ENHMETAFILE = 14;

std::unique_ptr<TFileFormatsList>& FileFormatsInstance() {
  static std::unique_ptr<TFileFormatsList> instance;
  return instance;
}

std::unique_ptr<std::vector<TClipboardFormat>>& ClipboardFormatsInstance() {
  static std::unique_ptr<std::vector<TClipboardFormat>> instance;
  return instance;
}

}  // namespace

TFileFormatsList::TFileFormatsList() {
  Add("wmf", "Metafiles", 0, TGraphicClass::Of<TMetafile>());
  Add("emf", "Enhanced Metafiles", 0, TGraphicClass::Of<TMetafile>());
  Add("ico", "Icons", 0, TGraphicClass::Of<TIcon>());
  Add("bmp", "Bitmaps", 0, TGraphicClass::Of<TBitmap>());
}

void TFileFormatsList::Add(std::string_view extension, std::string_view description,
                           int descriptionResource, TGraphicClass graphicClass) {
  FEntries.push_back(
      {graphicClass, LowerCp1251(extension), std::string(description), descriptionResource});
}

void TFileFormatsList::Remove(const TMetaClass& graphicClass) {
  std::erase_if(FEntries, [&](const TFileFormat& entry) {
    return entry.GraphicClass.Meta->InheritsFrom(graphicClass);
  });
}

const TGraphicClass* TFileFormatsList::FindExt(std::string_view extension) const {
  const std::string lower = LowerCp1251(extension);
  for (auto entry = FEntries.rbegin(); entry != FEntries.rend(); ++entry) {
    if (entry->Extension == lower) return &entry->GraphicClass;
  }
  return nullptr;
}

const TGraphicClass* TFileFormatsList::FindClassName(std::string_view className) const {
  for (auto entry = FEntries.rbegin(); entry != FEntries.rend(); ++entry) {
    if (entry->GraphicClass.Meta->Name == className) return &entry->GraphicClass;
  }
  return nullptr;
}

TFileFormatsList& FileFormats() {
  auto& instance = FileFormatsInstance();
  if (!instance) instance = std::make_unique<TFileFormatsList>();
  return *instance;
}

std::vector<TClipboardFormat>& ClipboardFormats() {
  auto& instance = ClipboardFormatsInstance();
  if (!instance) {
    instance = std::make_unique<std::vector<TClipboardFormat>>(std::vector<TClipboardFormat>{
        {CF_METAFILEPICT, TGraphicClass::Of<TMetafile>()},
        {CF_ENHMETAFILE, TGraphicClass::Of<TMetafile>()},
        {CF_BITMAP, TGraphicClass::Of<TBitmap>()},
    });
  }
  return *instance;
}

void RegisterFileFormat(std::string_view extension, std::string_view description,
                        TGraphicClass graphicClass) {
  FileFormats().Add(extension, description, 0, graphicClass);
}

void UnregisterGraphicClass(const TMetaClass& graphicClass) {
  if (auto& formats = FileFormatsInstance()) formats->Remove(graphicClass);
  if (auto& clipboard = ClipboardFormatsInstance()) {
    std::erase_if(*clipboard, [&](const TClipboardFormat& entry) {
      return entry.GraphicClass.Meta->InheritsFrom(graphicClass);
    });
  }
}

}  // namespace anthora
