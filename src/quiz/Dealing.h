#pragma once

#include <array>

namespace anthora {

class RandomGenerator;

// Which answer slot (1 to 4) goes onto each of the four answer buttons: three draws from 0
// to 4 that skip 0 and the slots taken, the fourth button getting the slot left over.
std::array<int, 4> DealAnswerSlots(RandomGenerator& generator);

}  // namespace anthora
