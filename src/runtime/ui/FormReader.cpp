#include "runtime/ui/FormReader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <map>
#include <string>

#include "runtime/base/Cp1251.h"
#include "runtime/base/Exceptions.h"
#include "runtime/base/Format.h"
#include "runtime/files/PropertyValue.h"
#include "runtime/ui/Controls.h"
#include "runtime/ui/Forms.h"

namespace anthora {

namespace {

std::map<std::string, ComponentFactory, std::less<>>& ComponentClasses() {
  static std::map<std::string, ComponentFactory, std::less<>> classes;
  return classes;
}

bool IsNameStart(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.';
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// The value of each byte as a hexadecimal digit, -1 for the others: looked up rather than
// compared, since the digits of binary data follow no pattern a branch could predict.
constexpr std::array<std::int8_t, 256> kHexDigits = [] {
  std::array<std::int8_t, 256> digits{};
  digits.fill(-1);
  for (int i = 0; i < 10; ++i) digits['0' + i] = static_cast<std::int8_t>(i);
  for (int i = 0; i < 6; ++i) {
    digits['a' + i] = static_cast<std::int8_t>(10 + i);
    digits['A' + i] = static_cast<std::int8_t>(10 + i);
  }
  return digits;
}();

int HexDigit(char c) {
  return kHexDigits[static_cast<unsigned char>(c)];
}

// Deeper nesting than any window needs is refused rather than risking the stack.
constexpr int kMaxDepth = 32;

class Parser {
 public:
  Parser(std::string_view text, TCustomForm& form) : FText(text), FForm(form) {}

  void ReadForm() {
    const std::string name = ReadName("the form's name");
    Expect(':');
    const std::string className = ReadName("the form's class");
    if (className != FForm.ClassName()) {
      Fail("the description is of " + className + ", not of " + std::string(FForm.ClassName()));
    }
    FForm.SetName(name);
    Expect('{');
    FForm.BeginLoading();
    ReadBody(FForm);
    FForm.Loaded();
    SkipBlanks();
    if (FPosition < FText.size()) Fail("text after the form's closing brace");
  }

 private:
  // Properties and children up to the closing brace.
  void ReadBody(TComponent& component) {
    for (;;) {
      SkipBlanks();
      if (Peek() == '}') {
        ++FPosition;
        return;
      }
      const int line = FLine;
      const std::string name = ReadName("a property or a control");
      SkipBlanks();
      if (Peek() == ':') {
        ++FPosition;
        ReadChild(component, name, line);
      } else {
        Expect('=');
        PropertyValue value = ReadValue();
        value.Line = line;
        value.Property = name;
        value.Handlers = &FForm.Handlers();
        if (!component.SetProperty(name, value)) {
          value.Fail(std::string(component.ClassName()) + " has no such property");
        }
      }
    }
  }

  void ReadChild(TComponent& parent, const std::string& name, int line) {
    if (++FDepth > kMaxDepth) Fail("controls nested too deeply");
    const std::string className = ReadName("a class name");
    const auto factory = ComponentClasses().find(className);
    if (factory == ComponentClasses().end()) {
      FLine = line;
      Fail("unknown class " + className + " of " + name);
    }
    TComponent* child = factory->second(&FForm);
    child->SetName(name);
    if (auto* control = dynamic_cast<TControl*>(child)) {
      auto* container = dynamic_cast<TWinControl*>(&parent);
      if (!container) Fail(name + " cannot lie on " + parent.Name());
      control->SetParent(container);
    }
    FForm.AssignField(name, child);
    Expect('{');
    child->BeginLoading();
    ReadBody(*child);
    child->Loaded();
    --FDepth;
  }

  PropertyValue ReadValue() {
    SkipBlanks();
    PropertyValue value;
    const char c = Peek();
    if (c == '"') {
      value.Type = PropertyValue::Kind::String;
      value.Text = ReadString();
    } else if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) {
      value.Type = PropertyValue::Kind::Integer;
      value.Integer = ReadInteger();
    } else if (c == '[') {
      ++FPosition;
      value.Type = PropertyValue::Kind::Set;
      SkipBlanks();
      while (Peek() != ']') {
        value.Items.push_back(ReadName("a set member"));
        SkipBlanks();
        if (Peek() == ',') ++FPosition;
        SkipBlanks();
      }
      ++FPosition;
    } else if (c == '<') {
      ++FPosition;
      value.Type = PropertyValue::Kind::Binary;
      value.Text = Peek() == '=' ? ReadRawBytes() : ReadHex();
    } else {
      value.Type = PropertyValue::Kind::Identifier;
      value.Text = ReadName("a value");
    }
    return value;
  }

  std::string ReadString() {
    ++FPosition;  // the opening quote
    std::string utf8;
    for (;;) {
      if (FPosition >= FText.size() || FText[FPosition] == '\n') Fail("unterminated string");
      char c = FText[FPosition++];
      if (c == '"') break;
      if (c == '\\') {
        if (FPosition >= FText.size()) Fail("unterminated string");
        c = FText[FPosition++];
        if (c == 'n') c = '\n';
      }
      utf8 += c;
    }
    std::optional<std::string> text = Utf8ToCp1251(utf8);
    if (!text) Fail("a character without a Windows-1251 byte");
    return *text;
  }

  std::int64_t ReadInteger() {
    const bool negative = Peek() == '-';
    if (negative) ++FPosition;
    int base = 10;
    if (FText.substr(FPosition, 2) == "0x") {
      base = 16;
      FPosition += 2;
    }
    std::int64_t value = 0;
    const std::size_t start = FPosition;
    for (int digit;
         FPosition < FText.size() && (digit = HexDigit(FText[FPosition])) >= 0 && digit < base;
         ++FPosition) {
      value = value * base + digit;
      if (value > 0xFFFFFFFFLL) Fail("number out of range");
    }
    if (FPosition == start) Fail("a number without digits");
    return negative ? -value : value;
  }

  // Takes "=N:" and then N bytes as they are, up to the closing '>': the cheapest form of the
  // artwork that a built-in description carries.
  std::string ReadRawBytes() {
    ++FPosition;  // the '='
    const std::int64_t length = ReadInteger();
    if (Peek() != ':') Fail("expected :");
    ++FPosition;
    if (length < 0 || static_cast<std::uint64_t>(length) >= FText.size() - FPosition)
      Fail("binary data longer than the description");
    const std::string_view bytes = FText.substr(FPosition, static_cast<std::size_t>(length));
    FLine += static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n'));
    FPosition += bytes.size();
    if (Peek() != '>') Fail("binary data without its closing >");
    ++FPosition;
    return std::string(bytes);
  }

  // Decodes up to the closing '>' in one pass into a string of the final size: the artwork
  // is most of a description.
  std::string ReadHex() {
    const std::size_t end = FText.find('>', FPosition);
    if (end == std::string_view::npos) Fail("binary data without its closing >");
    std::string bytes;
    bytes.reserve((end - FPosition) / 2);
    int high = -1;
    for (; FPosition < end; ++FPosition) {
      const char c = FText[FPosition];
      const int digit = HexDigit(c);
      if (digit < 0) {
        if (c == '\n') ++FLine;
        if (!IsBlank(c)) Fail("a character that is no hexadecimal digit in binary data");
      } else if (high < 0) {
        high = digit;
      } else {
        bytes += static_cast<char>(high * 16 + digit);
        high = -1;
      }
    }
    ++FPosition;  // the '>'
    if (high >= 0) Fail("binary data with an odd number of digits");
    return bytes;
  }

  std::string ReadName(const char* what) {
    SkipBlanks();
    const std::size_t start = FPosition;
    if (FPosition < FText.size() && IsNameStart(FText[FPosition])) {
      while (FPosition < FText.size() && IsNameChar(FText[FPosition])) ++FPosition;
    }
    if (FPosition == start) Fail(std::string("expected ") + what);
    return std::string(FText.substr(start, FPosition - start));
  }

  void Expect(char c) {
    SkipBlanks();
    if (Peek() != c) Fail(std::string("expected ") + c);
    ++FPosition;
  }

  char Peek() const { return FPosition < FText.size() ? FText[FPosition] : '\0'; }

  void SkipBlanks() {
    while (FPosition < FText.size()) {
      const char c = FText[FPosition];
      if (c == '#') {
        while (FPosition < FText.size() && FText[FPosition] != '\n') ++FPosition;
      } else if (std::isspace(static_cast<unsigned char>(c))) {
        if (c == '\n') ++FLine;
        ++FPosition;
      } else {
        return;
      }
    }
  }

  [[noreturn]] void Fail(const std::string& what) const {
    throw EReadError(Format("Window description, line %d: %s", {FLine, what}));
  }

  std::string_view FText;
  TCustomForm& FForm;
  std::size_t FPosition = 0;
  int FLine = 1;
  int FDepth = 0;
};

}  // namespace

void RegisterComponentClass(std::string_view className, ComponentFactory factory) {
  ComponentClasses()[std::string(className)] = std::move(factory);
}

void ReadFormDescription(TCustomForm& form, std::string_view description) {
  Parser(description, form).ReadForm();
}

}  // namespace anthora
