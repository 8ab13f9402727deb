#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace anthora {

// A flashcard deck in the common format (NAME.apkg): a zip archive holding the collection
// "collection.anki2", an SQLite database of notes and cards; "media", a JSON object from "0",
// "1", ... to the file names the notes use; and those files stored as 0, 1, ...
inline constexpr std::string_view kDeckExtension = ".apkg";
inline constexpr std::string_view kDeckCollection = "collection.anki2";
inline constexpr std::string_view kDeckNewerCollection = "collection.anki21b";
inline constexpr std::string_view kDeckMedia = "media";
// Fields of a note are joined by this character.
inline constexpr char kFieldSeparator = '\x1f';

// Whether a path names a deck by its name: NAME.apkg in any letter case.
bool IsDeckName(std::string_view path);

// Text with &, <, >, " and ' written as HTML entities.
std::string HtmlEscaped(std::string_view text);
// The text of an HTML field as a reader sees it: tags dropped, a line break or a block's end as a
// blank, entities decoded (named ones of Latin-1 and the common punctuation, and numeric ones),
// runs of blanks as one, and no blanks at the ends.
std::string HtmlText(std::string_view html);
// The sources of the <img> tags of an HTML field, entities decoded, in order.
std::vector<std::string> HtmlImages(std::string_view html);

// The checksum the format keeps of a note's first field: the first 32 bits of its SHA-1, as a
// number.
std::uint32_t FieldChecksum(std::string_view text);

}  // namespace anthora
