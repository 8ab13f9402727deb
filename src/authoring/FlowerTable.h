#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace anthora {

// One flower of the table shipped with the program. Names are in Windows-1251, as the answers
// of a set are; family and colour are plain English words.
struct Flower {
  std::string English;
  std::string Russian;
  std::string Family;
  std::string Colour;
  std::vector<std::string> OtherEnglish;
  std::vector<std::string> OtherRussian;
  std::string Reference;
};

// Common flowers with their names in both languages, their family and main colour, so that
// wrong answers can be chosen among look-alikes.
class FlowerTable {
 public:
  // The table compiled into the program from data/flowers.tsv.
  static const FlowerTable& Shipped();

  // The table of a text in the form of data/flowers.tsv (UTF-8, a flower a line, seven fields
  // separated by tabs, "#" starting a comment line). A line that is not such an entry, or whose
  // names cannot be written in Windows-1251, is left out and its line number kept.
  static FlowerTable Read(std::string_view text);

  const std::vector<Flower>& Flowers() const { return FFlowers; }
  const std::vector<int>& Rejected() const { return FRejected; }

  // The flower any of whose names, in either language, is the Windows-1251 name given, with
  // letter case, "ё" for "е", blanks and punctuation aside; null when the table has none.
  const Flower* Find(std::string_view name) const;

  // A name as Find compares it.
  static std::string Key(std::string_view name);

 private:
  std::vector<Flower> FFlowers;
  std::vector<int> FRejected;
  std::map<std::string, std::size_t, std::less<>> FByName;
};

// The text of data/flowers.tsv, made part of the program when it is built.
std::string_view ShippedFlowerTableText();

}  // namespace anthora
