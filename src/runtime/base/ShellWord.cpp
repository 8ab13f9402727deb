#include "runtime/base/ShellWord.h"

namespace anthora {

namespace {

constexpr std::string_view kPlain =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._/-+,:@%=";

}  // namespace

std::string ShellWord(std::string_view word) {
  if (!word.empty() && word.find_first_not_of(kPlain) == std::string_view::npos)
    return std::string(word);
  std::string quoted = "'";
  for (const char c : word)
    quoted += c == '\'' ? std::string_view("'\\''") : std::string_view(&c, 1);
  return quoted + "'";
}

std::string ShellPath(std::string_view path) {
  if (path.starts_with('-')) return ShellWord("./" + std::string(path));
  return ShellWord(path);
}

}  // namespace anthora
