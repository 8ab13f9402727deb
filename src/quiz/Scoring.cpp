#include "quiz/Scoring.h"

#include <array>
#include <string_view>

#include "runtime/base/Arithmetic.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Format.h"

namespace anthora {

namespace {

struct Rank {
  std::int64_t Highest;  // the largest status value of the rank
  std::string_view English;
  std::string_view Russian;
};

constexpr std::array<Rank, 6> kRanks = {{
    {3, "Little root", "Корешок"_cp1251},
    {5, "Pedicle", "Стебелек"_cp1251},
    {7, "Leaf", "Листик"_cp1251},
    {9, "Stamen", "Тычинка"_cp1251},
    {10, "Petal", "Лепесток"_cp1251},
    {11, "Flower", "Цветок"_cp1251},
}};

}  // namespace

std::int64_t StatusValue(std::int32_t rightCount, std::int32_t questionCount) {
  const auto scaled = static_cast<std::int64_t>(rightCount) * 11;
  return Round(FloatDivide(static_cast<double>(scaled), questionCount));
}

std::string StatusText(std::int32_t rightCount, std::int32_t questionCount, bool russian) {
  const std::int64_t status = StatusValue(rightCount, questionCount);
  for (const Rank& rank : kRanks) {
    if (status <= rank.Highest) {
      const std::string_view prefix = russian ? "Ваш статус: "_cp1251 : "Your status: ";
      return std::string(prefix) + '"' + std::string(russian ? rank.Russian : rank.English) + '"';
    }
  }
  return IntToStr(rightCount);
}

std::string GradeText(std::int32_t rightCount, std::int32_t questionCount) {
  if (rightCount == questionCount) return "5";
  const auto scaled = static_cast<std::int64_t>(rightCount) * 4;
  return IntToStr(Round(FloatDivide(static_cast<double>(scaled), questionCount)));
}

}  // namespace anthora
