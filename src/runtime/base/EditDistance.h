#pragma once

#include <cstddef>
#include <string_view>

namespace anthora {

// The edits (insertions, deletions, changes of one byte) that turn one text into the other,
// or limit + 1 as soon as it is sure to be more than `limit`: comparing a name with thousands
// of others costs little when most are far from it.
std::size_t EditDistance(std::string_view a, std::string_view b, std::size_t limit);

}  // namespace anthora
