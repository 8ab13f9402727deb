#include "sheet/SheetArchive.h"

#include <algorithm>

#include "runtime/base/Findings.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "sheet/Sheet.h"

namespace anthora {

SheetArchive::SheetArchive(std::string_view bytes) {
  // A workbook saved with a password is a compound file that holds the encrypted archive.
  if (bytes.starts_with(std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))) {
    Fail(
        Tr("it is protected by a password (or saved in an old format): open it and save it "
           "again without a password, as .xlsx or .ods"));
    return;
  }
  try {
    FArchive.emplace(bytes, kMaxBytes);
  } catch (const ZipError& error) {
    // TRANSLATORS: %s says why, from the zip reader.
    Fail(Format(Tr("it is not a spreadsheet archive (%s)"), {error.what()}));
  }
}

bool SheetArchive::Fail(std::string why) {
  FWhy = std::move(why);
  return false;
}

bool SheetArchive::Encrypted() {
  pugi::xml_document manifest;
  if (!Has("META-INF/manifest.xml") || !ReadXml("META-INF/manifest.xml", manifest)) return false;
  bool encrypted = false;
  WalkXml(manifest, [&](const pugi::xml_node& node) {
    encrypted = encrypted || LocalName(node) == "encryption-data";
    return !encrypted;
  });
  if (encrypted)
    Fail(Tr("it is protected by a password: open it and save it again without a password"));
  return encrypted;
}

const ZipEntry* SheetArchive::Find(std::string_view name) const {
  if (!FArchive) return nullptr;
  if (const ZipEntry* entry = FArchive->Find(name)) return entry;
  const auto& entries = FArchive->Entries();
  const auto found = std::find_if(entries.begin(), entries.end(), [&](const ZipEntry& entry) {
    return SameName(entry.Name, name);
  });
  return found == entries.end() ? nullptr : &*found;
}

bool SheetArchive::ReadXml(std::string_view name, pugi::xml_document& document) {
  const ZipEntry* entry = Find(name);
  if (!entry)
    return Fail(Format(Tr("it has no part %s, which every such file has"), {QuotedName(name)}));
  std::string bytes;
  try {
    bytes = FArchive->Read(*entry);
  } catch (const ZipError& error) {
    return Fail(error.what());
  }
  const auto marks =
      std::count_if(bytes.begin(), bytes.end(), [](char c) { return c == '<' || c == '='; });
  if (static_cast<std::size_t>(marks) > kMaxXmlMarks)
    return Fail(Format(Tr("%s has more elements than any sheet of questions"), {QuotedName(name)}));
  // Text made only of blanks is kept: a space in a formatted piece of its own separates words.
  const pugi::xml_parse_result parsed = document.load_buffer(
      bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_ws_pcdata, pugi::encoding_utf8);
  if (!parsed) {
    // TRANSLATORS: %2$s is the XML reader's own words, in English; %3$d is a byte's place.
    return Fail(Format(Tr("%1$s is not well-formed XML (%2$s at byte %3$d)"),
                       {QuotedName(name), parsed.description(), parsed.offset}));
  }
  return true;
}

std::string_view LocalName(const pugi::xml_node& node) {
  const std::string_view name = node.name();
  return name.substr(name.find(':') + 1);
}

std::string_view LocalName(const pugi::xml_attribute& attribute) {
  const std::string_view name = attribute.name();
  return name.substr(name.find(':') + 1);
}

pugi::xml_attribute AttributeOf(const pugi::xml_node& node, std::string_view localName) {
  for (const pugi::xml_attribute attribute : node.attributes()) {
    if (LocalName(attribute) == localName) return attribute;
  }
  return {};
}

}  // namespace anthora
