#include "runtime/base/EditDistance.h"

#include <algorithm>
#include <vector>

namespace anthora {

std::size_t EditDistance(std::string_view a, std::string_view b, std::size_t limit) {
  const std::size_t apart = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
  if (apart > limit) return limit + 1;
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    std::size_t least = row[0];
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
      diagonal = above;
      least = std::min(least, row[j]);
    }
    if (least > limit) return limit + 1;  // no later row is below its least
  }
  return std::min(row[b.size()], limit + 1);
}

}  // namespace anthora
