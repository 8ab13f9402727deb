#include "authoring/FlowerTable.h"

#include <optional>

#include "runtime/base/Cp1251.h"

namespace anthora {

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t at = 0;;) {
    const std::size_t end = text.find(separator, at);
    parts.push_back(text.substr(at, end == std::string_view::npos ? end : end - at));
    if (end == std::string_view::npos) return parts;
    at = end + 1;
  }
}

// The Windows-1251 names of a list field; none when one cannot be written there or is empty.
std::optional<std::vector<std::string>> Names(std::string_view field) {
  std::vector<std::string> names;
  if (field.empty()) return names;
  for (const std::string_view name : Split(field, '|')) {
    std::optional<std::string> converted = Utf8ToCp1251(name);
    if (!converted || converted->empty()) return std::nullopt;
    names.push_back(std::move(*converted));
  }
  return names;
}

std::optional<Flower> ReadFlower(std::string_view line) {
  const std::vector<std::string_view> fields = Split(line, '\t');
  if (fields.size() != 7) return std::nullopt;
  const auto english = Names(fields[0]);
  const auto russian = Names(fields[1]);
  const auto otherEnglish = Names(fields[4]);
  const auto otherRussian = Names(fields[5]);
  if (!english || english->size() != 1 || !russian || russian->size() != 1 || !otherEnglish ||
      !otherRussian || fields[2].empty() || fields[3].empty() || fields[6].empty())
    return std::nullopt;
  return Flower{english->front(),       russian->front(),         std::string(fields[2]),
                std::string(fields[3]), std::move(*otherEnglish), std::move(*otherRussian),
                std::string(fields[6])};
}

}  // namespace

const FlowerTable& FlowerTable::Shipped() {
  static const FlowerTable table = Read(ShippedFlowerTableText());
  return table;
}

FlowerTable FlowerTable::Read(std::string_view text) {
  FlowerTable table;
  int number = 0;
  for (std::string_view line : Split(text, '\n')) {
    ++number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty() || line.starts_with('#')) continue;
    std::optional<Flower> flower = ReadFlower(line);
    if (!flower) {
      table.FRejected.push_back(number);
      continue;
    }
    const std::size_t index = table.FFlowers.size();
    table.FFlowers.push_back(std::move(*flower));
    const Flower& added = table.FFlowers.back();
    // A name given twice keeps the first flower it names; the table's test finds it.
    table.FByName.try_emplace(Key(added.English), index);
    table.FByName.try_emplace(Key(added.Russian), index);
    for (const auto* names : {&added.OtherEnglish, &added.OtherRussian}) {
      for (const std::string& name : *names) table.FByName.try_emplace(Key(name), index);
    }
  }
  return table;
}

const Flower* FlowerTable::Find(std::string_view name) const {
  const auto found = FByName.find(Key(name));
  return found == FByName.end() ? nullptr : &FFlowers[found->second];
}

std::string FlowerTable::Key(std::string_view name) {
  std::string key;
  for (const char c : LowerCp1251(name)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == 0xB8) {
      key += '\xE5';  // "ё" as "е", as most people write it
    } else if ((byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') || byte >= 0xC0) {
      key += c;
    }
  }
  return key;
}

}  // namespace anthora
