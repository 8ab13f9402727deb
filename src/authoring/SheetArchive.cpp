#include "authoring/SheetArchive.h"

#include <zip.h>

#include <algorithm>
#include <memory>

#include "authoring/Findings.h"

namespace anthora {

namespace {

constexpr std::size_t kLooseRatioBelow = std::size_t{1} << 20;  // small parts may pack tightly

std::string Mebibytes(std::size_t bytes) {
  return std::to_string(bytes >> 20) + " MB";
}

}  // namespace

SheetArchive::SheetArchive(std::string_view bytes) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  if (source) FArchive = zip_open_from_source(source, ZIP_RDONLY, &error);
  if (!FArchive) {
    Fail(std::string("it is not a spreadsheet archive (") + zip_error_strerror(&error) + ")");
    if (source) zip_source_free(source);
  }
  zip_error_fini(&error);
}

SheetArchive::~SheetArchive() {
  if (FArchive) zip_discard(FArchive);
}

bool SheetArchive::Fail(std::string why) {
  FWhy = std::move(why);
  return false;
}

bool SheetArchive::Has(const std::string& name) const {
  return FArchive && zip_name_locate(FArchive, name.c_str(), 0) >= 0;
}

std::optional<std::string> SheetArchive::Read(const std::string& name) {
  const zip_int64_t index = FArchive ? zip_name_locate(FArchive, name.c_str(), 0) : -1;
  zip_stat_t stat;
  if (index < 0 || zip_stat_index(FArchive, static_cast<zip_uint64_t>(index), 0, &stat) != 0) {
    Fail("it has no part " + Printable(name) + ", which every such file has");
    return std::nullopt;
  }
  if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) {
    Fail("it is protected by a password; save it without one");
    return std::nullopt;
  }
  const std::size_t room = std::min(kMaxPartBytes, kMaxTotalBytes - FTotal);
  if ((stat.valid & ZIP_STAT_SIZE) && stat.size > room) {
    Fail("its part " + Printable(name) + " unpacks to more than " + Mebibytes(room) +
         ", more than any sheet of questions");
    return std::nullopt;
  }
  if ((stat.valid & ZIP_STAT_SIZE) && (stat.valid & ZIP_STAT_COMP_SIZE) &&
      stat.size > kLooseRatioBelow &&
      stat.size / std::max<zip_uint64_t>(stat.comp_size, 1) > kMaxRatio) {
    Fail("its part " + Printable(name) + " is packed " +
         std::to_string(stat.size / std::max<zip_uint64_t>(stat.comp_size, 1)) +
         " times over, as no sheet is");
    return std::nullopt;
  }
  const std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(
      zip_fopen_index(FArchive, static_cast<zip_uint64_t>(index), 0), zip_fclose);
  if (!file) {
    Fail("its part " + Printable(name) + " cannot be unpacked (" + zip_strerror(FArchive) + ")");
    return std::nullopt;
  }
  // The sizes the archive states are not trusted: the reading itself stops at the bound.
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const zip_int64_t count = zip_fread(file.get(), buffer, sizeof buffer);
    if (count < 0) {
      Fail("its part " + Printable(name) + " is damaged (" + zip_file_strerror(file.get()) + ")");
      return std::nullopt;
    }
    if (count == 0) break;
    if (bytes.size() + static_cast<std::size_t>(count) > room) {
      Fail("its part " + Printable(name) + " unpacks to more than " + Mebibytes(room) +
           ", more than any sheet of questions");
      return std::nullopt;
    }
    bytes.append(buffer, static_cast<std::size_t>(count));
  }
  FTotal += bytes.size();
  return bytes;
}

bool SheetArchive::ReadXml(const std::string& name, pugi::xml_document& document) {
  std::optional<std::string> bytes = Read(name);
  if (!bytes) return false;
  const auto marks =
      std::count_if(bytes->begin(), bytes->end(), [](char c) { return c == '<' || c == '='; });
  if (static_cast<std::size_t>(marks) > kMaxXmlMarks)
    return Fail("its part " + Printable(name) + " has more elements than any sheet of questions");
  const pugi::xml_parse_result parsed =
      document.load_buffer(bytes->data(), bytes->size(), pugi::parse_default, pugi::encoding_utf8);
  if (!parsed) {
    return Fail("its part " + Printable(name) + " is not well-formed XML (" + parsed.description() +
                " at byte " + std::to_string(parsed.offset) + ")");
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
