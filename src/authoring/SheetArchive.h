#pragma once

#include <cstddef>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>

struct zip;

namespace anthora {

// The parts of a spreadsheet saved as a zip archive of XML files (.ods, .xlsx). The archive is
// untrusted: each part read and all of them together are bounded, a part packed more tightly
// than any real sheet is refused, and names inside the archive only name its parts, never a
// path on disk.
class SheetArchive {
 public:
  static constexpr std::size_t kMaxPartBytes = std::size_t{32} << 20;
  static constexpr std::size_t kMaxTotalBytes = std::size_t{64} << 20;
  static constexpr std::size_t kMaxRatio = 200;  // unpacked size to packed, for large parts
  static constexpr std::size_t kMaxXmlMarks = 2'000'000;  // elements and attributes of a part

  // Opens the archive in the bytes, which must outlive it; Why() says what failed if not.
  explicit SheetArchive(std::string_view bytes);
  SheetArchive(const SheetArchive&) = delete;
  SheetArchive& operator=(const SheetArchive&) = delete;
  ~SheetArchive();

  bool IsOpen() const { return FArchive != nullptr; }
  bool Has(const std::string& name) const;
  // The part parsed as XML into the document; false with the reason in Why() when it is
  // missing, too large, protected, damaged or not XML.
  bool ReadXml(const std::string& name, pugi::xml_document& document);
  const std::string& Why() const { return FWhy; }

 private:
  std::optional<std::string> Read(const std::string& name);
  bool Fail(std::string why);

  zip* FArchive = nullptr;
  std::size_t FTotal = 0;
  std::string FWhy;
};

// An element's name without its namespace prefix: "table-row" for "table:table-row".
std::string_view LocalName(const pugi::xml_node& node);
std::string_view LocalName(const pugi::xml_attribute& attribute);

// The attribute of the local name, whatever its prefix; an empty one when there is none.
pugi::xml_attribute AttributeOf(const pugi::xml_node& node, std::string_view localName);

}  // namespace anthora
