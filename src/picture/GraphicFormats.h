#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/graphics/Graphic.h"

namespace anthora {

// A kind of picture that can be made by name: its class and how to create one.
struct TGraphicClass {
  const TMetaClass* Meta = nullptr;
  std::unique_ptr<TGraphic> (*Create)() = nullptr;

  template <class Kind>
  static TGraphicClass Of() {
    return {&Kind::StaticClass(), [] { return std::unique_ptr<TGraphic>(new Kind); }};
  }
};

struct TFileFormat {
  TGraphicClass GraphicClass;
  std::string Extension;  // lower case, without the dot
  std::string Description;
  int DescriptionResource = 0;
};

// The picture kinds by file extension, in the order registered; the latest registration of
// an extension wins the lookup. Starts with metafiles, icons and bitmaps.
class TFileFormatsList {
 public:
  TFileFormatsList();

  void Add(std::string_view extension, std::string_view description, int descriptionResource,
           TGraphicClass graphicClass);
  // Removes every entry whose class is this class or derives from it.
  void Remove(const TMetaClass& graphicClass);
  // The extension is lower-cased and compared exactly.
  const TGraphicClass* FindExt(std::string_view extension) const;
  // The class name is compared exactly, case counting.
  const TGraphicClass* FindClassName(std::string_view className) const;
  const std::vector<TFileFormat>& Entries() const { return FEntries; }

 private:
  std::vector<TFileFormat> FEntries;
};

// The clipboard formats that pictures can be pasted from, with the kind each makes.
struct TClipboardFormat {
  unsigned Format = 0;
  TGraphicClass GraphicClass;
};

// The process-wide registries, created on first use.
TFileFormatsList& FileFormats();
std::vector<TClipboardFormat>& ClipboardFormats();

void RegisterFileFormat(std::string_view extension, std::string_view description,
                        TGraphicClass graphicClass);
// Removes the class and the classes derived from it from both registries; a registry not
// created yet stays uncreated.
void UnregisterGraphicClass(const TMetaClass& graphicClass);

}  // namespace anthora
