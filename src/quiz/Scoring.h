#pragma once

#include <cstdint>
#include <string>

namespace anthora {

// The status value: RightCount * 11 / QuestionCount in floating point, rounded half to even.
// A count of 0 raises the runtime's floating-point errors.
std::int64_t StatusValue(std::int32_t rightCount, std::int32_t questionCount);

// The status line: the rank named after a part of a flower, or the bare number of right
// answers when no rank applies (a status of 12 or more). Windows-1251.
std::string StatusText(std::int32_t rightCount, std::int32_t questionCount, bool russian);

// The final grade: "5" for every answer right, else 4 * RightCount / QuestionCount rounded
// half to even.
std::string GradeText(std::int32_t rightCount, std::int32_t questionCount);

}  // namespace anthora
