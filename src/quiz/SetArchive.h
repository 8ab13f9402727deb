#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/base/Exceptions.h"
#include "runtime/files/ZipArchive.h"

namespace anthora {

// A set file (NAME.anthora) is a zip archive of the set's ris/ folder and, optionally, the
// photos' credits at its top, read within the limits every zip archive is held to. Packing
// keeps to these bounds too.
inline constexpr std::uint64_t kMaxSetEntries = kZipMaxEntries;
inline constexpr std::uint64_t kMaxSetBytes = 256u << 20;  // unpacked, per entry and in total
inline constexpr std::string_view kSetFileExtension = ".anthora";
inline constexpr std::string_view kCreditsNames[] = {"CREDITS.md", "CREDITS.txt"};

// Whether a path names a set file rather than a folder, by its name alone: NAME.anthora in
// any letter case.
bool IsSetFileName(std::string_view path);

// A set file that is refused; the message names the file and the reason.
class SetFileError : public ERefusal {
 public:
  using ERefusal::ERefusal;
  // "FILE: REASON", for the file of the set (or of its folder) that is refused.
  SetFileError(const std::string& file, const std::string& reason)
      : ERefusal(file + ": " + reason) {}
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
