#include <gtest/gtest.h>

#include "runtime/base/EditDistance.h"

namespace anthora {
namespace {

// Exact within the limit, and one past it for anything farther, however long the texts.
TEST(EditDistance, CountsEditsUpToTheLimit) {
  EXPECT_EQ(EditDistance("IMG_101532.jpg", "IMG_101523.jpg", 5), 2u);
  EXPECT_EQ(EditDistance("rose", "roses", 5), 1u);
  EXPECT_EQ(EditDistance("", "abc", 5), 3u);
  EXPECT_EQ(EditDistance("kitten", "sitting", 2), 3u);
  EXPECT_EQ(EditDistance("short", std::string(100'000, 'x'), 4), 5u);
  EXPECT_EQ(EditDistance(std::string(5000, 'a'), std::string(5000, 'b'), 3), 4u);
}

}  // namespace
}  // namespace anthora
