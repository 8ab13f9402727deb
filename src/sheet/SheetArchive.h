#pragma once

#include <cstddef>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "runtime/files/ZipArchive.h"

namespace anthora {

// The parts of a spreadsheet saved as a zip archive of XML files (.ods, .xlsx), read within the
// limits every zip archive is held to, and each part within a bound of XML elements.
class SheetArchive {
 public:
  static constexpr std::uint64_t kMaxBytes = std::uint64_t{64} << 20;  // all parts read
  static constexpr std::size_t kMaxXmlMarks = 2'000'000;  // elements and attributes of a part

  // Opens the archive in the bytes, which must outlive it; Why() says what failed if not.
  explicit SheetArchive(std::string_view bytes);

  bool IsOpen() const { return FArchive.has_value(); }
  // Whether there is a part of the name, in any letter case as the format allows.
  bool Has(std::string_view name) const { return Find(name) != nullptr; }
  // The part parsed as XML into the document; false with the reason in Why() when it is
  // missing, too large, damaged or not XML.
  bool ReadXml(std::string_view name, pugi::xml_document& document);
  const std::string& Why() const { return FWhy; }
  // Whether the manifest says the parts are encrypted, as an OpenDocument file saved with a
  // password has them; Why() then says so.
  bool Encrypted();

 private:
  const ZipEntry* Find(std::string_view name) const;
  bool Fail(std::string why);

  std::optional<ZipArchive> FArchive;
  std::string FWhy;
};

// An element's name without its namespace prefix: "table-row" for "table:table-row".
std::string_view LocalName(const pugi::xml_node& node);
std::string_view LocalName(const pugi::xml_attribute& attribute);

// The attribute of the local name, whatever its prefix; an empty one when there is none.
pugi::xml_attribute AttributeOf(const pugi::xml_node& node, std::string_view localName);

// Visits the nodes under the root in document order, going into a node's children when the
// visit returns true; without recursion, so that no depth of nesting exhausts the stack.
template <typename Visit>
void WalkXml(const pugi::xml_node& root, Visit visit) {
  pugi::xml_node node = root.first_child();
  while (node) {
    if (visit(node) && node.first_child()) {
      node = node.first_child();
      continue;
    }
    while (node != root && !node.next_sibling()) node = node.parent();
    if (node == root) return;
    node = node.next_sibling();
  }
}

}  // namespace anthora
