#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/base/Color.h"
#include "runtime/base/Events.h"

namespace anthora {

// One property value of a window description, with the line it stood on for error texts.
class PropertyValue {
 public:
  enum class Kind : std::uint8_t { Integer, String, Identifier, Set, Binary };

  Kind Type = Kind::Integer;
  std::int64_t Integer = 0;
  std::string Text;                // a string (Windows-1251), an identifier or binary bytes
  std::vector<std::string> Items;  // the members of a set
  int Line = 0;
  std::string Property;                     // the property's name, for error texts
  const EventHandlers* Handlers = nullptr;  // the form's handler methods

  std::int32_t AsInteger() const;
  const std::string& AsString() const;
  bool AsBoolean() const;
  const std::string& AsIdentifier() const;
  TColor AsColor() const;  // a number or a colour name such as clWhite
  const std::vector<std::string>& AsSet() const;
  const std::string& AsBinary() const;
  TNotifyEvent AsNotifyEvent() const;
  TMouseMoveEvent AsMouseMoveEvent() const;

  template <typename Enum>
  Enum AsEnum(std::initializer_list<std::pair<std::string_view, Enum>> names) const {
    for (const auto& [name, value] : names) {
      if (AsIdentifier() == name) return value;
    }
    Fail("an unknown value " + Text);
  }

  // EReadError naming the line and the property.
  [[noreturn]] void Fail(const std::string& what) const;

 private:
  void Expect(Kind kind, const char* what) const;
  const EventHandlers::Handler& Handler() const;
};

}  // namespace anthora
