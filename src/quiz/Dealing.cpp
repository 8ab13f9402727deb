#include "quiz/Dealing.h"

#include <algorithm>

#include "runtime/base/Random.h"

namespace anthora {

std::array<int, 4> DealAnswerSlots(RandomGenerator& generator) {
  std::array<int, 4> slots{};
  for (std::size_t button = 0; button < 3; ++button) {
    const auto first = slots.begin();
    const auto taken = first + static_cast<std::ptrdiff_t>(button);
    int slot;
    do {
      slot = generator.Random(5);
    } while (slot == 0 || std::find(first, taken, slot) != taken);
    slots[button] = slot;
  }
  slots[3] = 10 - slots[0] - slots[1] - slots[2];
  return slots;
}

}  // namespace anthora
