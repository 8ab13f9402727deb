#include "runtime/files/PropertyValue.h"

#include <limits>

#include "runtime/base/Exceptions.h"
#include "runtime/base/Format.h"

namespace anthora {

namespace {

struct NamedColor {
  std::string_view Name;
  TColor Value;
};

constexpr NamedColor kColorNames[] = {
    {"clBlack", clBlack},       {"clMaroon", clMaroon},   {"clGreen", clGreen},
    {"clOlive", clOlive},       {"clNavy", clNavy},       {"clPurple", clPurple},
    {"clTeal", clTeal},         {"clGray", clGray},       {"clSilver", clSilver},
    {"clRed", clRed},           {"clLime", clLime},       {"clYellow", clYellow},
    {"clBlue", clBlue},         {"clFuchsia", clFuchsia}, {"clAqua", clAqua},
    {"clWhite", clWhite},       {"clBtnFace", clBtnFace}, {"clWindowText", clWindowText},
    {"clWindow", clWindow},     {"clBtnText", clBtnText}, {"clHighlight", clHighlight},
    {"clGrayText", clGrayText},
};

}  // namespace

void PropertyValue::Fail(const std::string& what) const {
  throw EReadError(Format("Line %d: property %s: %s", {Line, Property, what}));
}

void PropertyValue::Expect(Kind kind, const char* what) const {
  if (Type != kind) Fail(std::string("expected ") + what);
}

std::int32_t PropertyValue::AsInteger() const {
  Expect(Kind::Integer, "a number");
  if (Integer < std::numeric_limits<std::int32_t>::min() ||
      Integer > std::numeric_limits<std::uint32_t>::max()) {
    Fail("number out of range");
  }
  return static_cast<std::int32_t>(Integer);  // 0x80000000 and above wrap, as colours need
}

const std::string& PropertyValue::AsString() const {
  Expect(Kind::String, "a string");
  return Text;
}

const std::string& PropertyValue::AsIdentifier() const {
  Expect(Kind::Identifier, "a name");
  return Text;
}

bool PropertyValue::AsBoolean() const {
  if (AsIdentifier() == "true") return true;
  if (Text == "false") return false;
  Fail("expected true or false");
}

TColor PropertyValue::AsColor() const {
  if (Type == Kind::Integer) return AsInteger();
  for (const auto& color : kColorNames) {
    if (AsIdentifier() == color.Name) return color.Value;
  }
  Fail("an unknown colour " + Text);
}

const std::vector<std::string>& PropertyValue::AsSet() const {
  Expect(Kind::Set, "a set in brackets");
  return Items;
}

const std::string& PropertyValue::AsBinary() const {
  Expect(Kind::Binary, "binary data in braces");
  return Text;
}

const EventHandlers::Handler& PropertyValue::Handler() const {
  const EventHandlers::Handler* handler = Handlers ? Handlers->Find(AsIdentifier()) : nullptr;
  if (!handler) Fail("the form has no handler " + Text);
  return *handler;
}

TNotifyEvent PropertyValue::AsNotifyEvent() const {
  const auto* event = std::get_if<TNotifyEvent>(&Handler());
  if (!event) Fail("the handler " + Text + " does not take a sender only");
  return *event;
}

TMouseMoveEvent PropertyValue::AsMouseMoveEvent() const {
  const auto* event = std::get_if<TMouseMoveEvent>(&Handler());
  if (!event) Fail("the handler " + Text + " is not a mouse-move handler");
  return *event;
}

}  // namespace anthora
