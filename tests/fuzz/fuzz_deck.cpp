// Arbitrary bytes as a flashcard deck: read into questions or refused with findings, nothing
// thrown, and its private folder gone with it; the same bytes as a note's HTML field and as a
// media list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "authoring/Deck.h"
#include "authoring/DeckSource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string folder = [] {
    std::string made = std::filesystem::temp_directory_path().string() + "/fuzz-deck-XXXXXX";
    if (!mkdtemp(made.data())) __builtin_trap();
    setenv("TMPDIR", made.c_str(), 1);
    return made;
  }();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)anthora::HtmlText(bytes);
  (void)anthora::HtmlImages(bytes);
  (void)anthora::ReadMediaList(bytes);

  const std::string file = folder + "/in.apkg";
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  {
    anthora::Findings findings;
    const anthora::DeckSource deck(file, findings);
    if (!deck.Read() && findings.Count(anthora::Finding::Level::Error) == 0) __builtin_trap();
  }
  std::size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    (void)entry;
    ++entries;
  }
  if (entries != 1) __builtin_trap();  // only the input is left
  return 0;
}
