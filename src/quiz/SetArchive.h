#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace anthora {

// A set file (NAME.anthora) is a zip archive of the set's ris/ folder and, optionally, the
// photos' credits at its top. These are its bounds: packing keeps to them, unpacking refuses
// what goes beyond them.
inline constexpr std::uint64_t kMaxSetEntries = 10'000;
inline constexpr std::uint64_t kMaxSetBytes = 256u << 20;  // unpacked, per entry and in total
// Photos hardly shrink when packed and question files by a few times. An entry of more than a
// mebibyte that packs a hundred times smaller is made to fill a disk, not to teach flowers.
inline constexpr std::uint64_t kMaxPackingRatio = 100;
inline constexpr std::uint64_t kRatioFloor = 1u << 20;
inline constexpr std::string_view kSetFileExtension = ".anthora";
inline constexpr std::string_view kCreditsNames[] = {"CREDITS.md", "CREDITS.txt"};

// Whether a path names a set file rather than a folder, by its name alone: NAME.anthora in
// any letter case.
bool IsSetFileName(std::string_view path);

// A set file that is refused; the message names the file and the reason.
class SetFileError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Why a set file may not hold an entry of this name (a folder's name ends in "/"), in words
// that follow "the set file holds"; empty when it may.
std::string RefusedEntryName(std::string_view name);

// Unpacks the set file into an open folder of ours, empty and private: its ris/ and its
// credits, every file and folder made relative to it and never through a link.
// Every entry is checked against the rules above before anything is written, and the bytes
// are counted again as they are unpacked. Throws SetFileError; what was written then stays in
// the folder for its owner to remove.
void UnpackSetFile(const std::string& file, int folder);

}  // namespace anthora
