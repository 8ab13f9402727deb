// Runs the quiz's main window on the headless backend in the current folder, driven by
// commands on standard input, one a line, and reports as JSON lines on standard output:
//
//   click NAME | dblclick NAME | rclick NAME | down NAME | up NAME   the left (or right)
//       button at the control's centre, the pointer moved there first
//   move NAME | move X Y        the pointer to a control's centre or a client point
//   key KEY | keydown KEY | keyup KEY   KEY: Enter, Space, Tab, Shift+Tab, Escape, Left,
//       Right, Up, Down, or one character
//   char C                      a typed character, offered to the controls as accelerator
//   counter N                   the value of the high-resolution counter from now on
//   shot FILE                   the client area as a PNG file
//   dump                        every control, then the quiz's counters
//
// Each message box that opens is reported and answered OK at once; each address handed to
// the desktop is reported. Unknown commands and names end the run with status 1.
#include <cstdio>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "app/Program.h"
#include "app/Unit1.h"
#include "controls/xpCheckBox.h"
#include "platform/PngWriter.h"
#include "platform/Utf8.h"
#include "platform/headless/HeadlessPlatform.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Exceptions.h"
#include "runtime/ui/StdCtrls.h"

using namespace anthora;

namespace {

constexpr std::size_t kMainWindow = 0;

class UsageError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::string Json(std::string_view utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + '"';
}

std::string JsonText(std::string_view cp1251) {
  return Json(Cp1251ToUtf8(cp1251));
}
const char* JsonBool(bool value) {
  return value ? "true" : "false";
}

std::string ColorText(TColor color) {
  char text[16];
  std::snprintf(text, sizeof text, "\"0x%08X\"", static_cast<std::uint32_t>(color));
  return text;
}

struct KeyStroke {
  TKey Key = 0;
  TShiftState Shift = 0;
  char32_t Character = 0;  // typed by the key, if any
};

KeyStroke ParseKey(const std::string& name) {
  if (name == "Enter") return {VK_RETURN, 0, 0};
  if (name == "Space") return {VK_SPACE, 0, U' '};
  if (name == "Tab") return {VK_TAB, 0, 0};
  if (name == "Shift+Tab") return {VK_TAB, ssShift, 0};
  if (name == "Escape") return {VK_ESCAPE, 0, 0};
  if (name == "Left") return {VK_LEFT, 0, 0};
  if (name == "Right") return {VK_RIGHT, 0, 0};
  if (name == "Up") return {VK_UP, 0, 0};
  if (name == "Down") return {VK_DOWN, 0, 0};
  const std::u32string characters = DecodeUtf8(name);
  if (characters.size() != 1) throw UsageError("unknown key " + name);
  const char32_t c = characters[0];
  const TKey key = c >= U'a' && c <= U'z' ? TKey(c - U'a' + 'A') : c < 0x80 ? TKey(c) : 0;
  return {key, 0, c};
}

class Driver {
 public:
  Driver() {
    InitializeProgram(FPlatform);
    FApplication.Title = "Anthora 1.0";
    FApplication.OnDialog = [this](const DialogRecord& dialog) {
      std::cout << "{\"dialog\": " << JsonText(dialog.Title)
                << ", \"text\": " << JsonText(dialog.Text) << ", \"icon\": \""
                << (dialog.ErrorIcon ? "error" : "none") << "\"}\n";
      FPlatform.KeyDown(FPlatform.WindowCount() - 1, VK_RETURN);
    };
    FForm = std::make_unique<TForm1>(nullptr);
    FForm->Show();
    Settle();
  }

  ~Driver() {
    FForm.reset();
    FinalizeProgram();
  }

  void Run(const std::string& line) {
    std::istringstream words(line);
    std::string command;
    if (!(words >> command)) return;
    std::string argument;
    std::getline(words >> std::ws, argument);

    if (command == "click") {
      const TPoint p = Centre(argument);
      FPlatform.Click(kMainWindow, p.X, p.Y);
    } else if (command == "dblclick") {
      const TPoint p = Centre(argument);
      FPlatform.DoubleClick(kMainWindow, p.X, p.Y);
    } else if (command == "rclick") {
      const TPoint p = Centre(argument);
      FPlatform.Click(kMainWindow, p.X, p.Y, MouseButton::Right);
    } else if (command == "down" || command == "up") {
      const TPoint p = Centre(argument);
      FPlatform.MouseMove(kMainWindow, p.X, p.Y);
      if (command == "down") FPlatform.MouseDown(kMainWindow, p.X, p.Y);
      if (command == "up") FPlatform.MouseUp(kMainWindow, p.X, p.Y);
    } else if (command == "move") {
      const TPoint p = MoveTarget(argument);
      FPlatform.MouseMove(kMainWindow, p.X, p.Y);
    } else if (command == "key" || command == "keydown" || command == "keyup") {
      const KeyStroke stroke = ParseKey(argument);
      if (command != "keyup") FPlatform.KeyDown(kMainWindow, stroke.Key, stroke.Shift);
      if (command == "key" && stroke.Character) {
        FPlatform.Char(kMainWindow, stroke.Character, stroke.Shift);
      }
      if (command != "keydown") FPlatform.KeyUp(kMainWindow, stroke.Key, stroke.Shift);
    } else if (command == "char") {
      const std::u32string characters = DecodeUtf8(argument);
      if (characters.size() != 1) throw UsageError("char needs one character");
      FPlatform.Char(kMainWindow, characters[0]);
    } else if (command == "counter") {
      FPlatform.SetPerformanceCounter(std::stoull(argument));
    } else if (command == "shot") {
      if (argument.empty()) throw UsageError("shot needs a file name");
      Settle();
      WritePng(argument, FPlatform.Window(kMainWindow).Screen());
    } else if (command == "dump") {
      Dump();
    } else {
      throw UsageError("unknown command " + command);
    }
    Settle();
  }

  bool Ended() const { return FApplication.Terminated(); }

 private:
  // Handles the input in the script, then paints, as the real loop does when idle.
  void Settle() {
    FApplication.ProcessMessages();
    const auto& addresses = FPlatform.OpenedAddresses();
    for (; FReportedAddresses < addresses.size(); ++FReportedAddresses) {
      std::cout << "{\"open\": " << Json(addresses[FReportedAddresses]) << "}\n";
    }
    std::cout.flush();
  }

  TControl& Control(const std::string& name) {
    if (auto* control = dynamic_cast<TControl*>(FForm->FindComponent(name))) return *control;
    throw UsageError("unknown control " + name);
  }

  TPoint Centre(const std::string& name) {
    const TRect rect = Control(name).FormRect();
    return {rect.Left + rect.Width() / 2, rect.Top + rect.Height() / 2};
  }

  TPoint MoveTarget(const std::string& argument) {
    std::istringstream numbers(argument);
    TPoint point;
    if (numbers >> point.X >> point.Y) return point;
    return Centre(argument);
  }

  void Dump() {
    for (TComponent* component : FForm->Components()) {
      auto* control = dynamic_cast<TControl*>(component);
      if (!control) continue;
      const TRect r = control->FormRect();
      std::cout << "{\"name\": " << Json(control->Name())
                << ", \"class\": " << Json(control->ClassName())
                << ", \"caption\": " << JsonText(control->Caption())
                << ", \"visible\": " << JsonBool(control->Visible())
                << ", \"enabled\": " << JsonBool(control->Enabled())
                << ", \"focused\": " << JsonBool(FForm->ActiveControl() == control)
                << ", \"fontColor\": " << ColorText(control->Font().Color()) << ", \"bounds\": ["
                << r.Left << ", " << r.Top << ", " << r.Width() << ", " << r.Height() << "]";
      if (auto* box = dynamic_cast<TxpCheckBox*>(control)) {
        std::cout << ", \"checked\": " << JsonBool(box->Checked());
      }
      if (auto* bar = dynamic_cast<TProgressBar*>(control)) {
        std::cout << ", \"position\": " << bar->Position() << ", \"max\": " << bar->Max();
      }
      std::cout << "}\n";
    }
    const QuizState& quiz = FForm->Quiz;
    std::cout << "{\"QuestionCount\": " << quiz.QuestionCount
              << ", \"RightCount\": " << quiz.RightCount << ", \"WrongCount\": " << quiz.WrongCount
              << ", \"AnswerAllowed\": " << JsonBool(quiz.AnswerAllowed) << "}\n";
  }

  HeadlessPlatform FPlatform;
  TApplication FApplication{FPlatform};
  std::unique_ptr<TForm1> FForm;
  std::size_t FReportedAddresses = 0;
};

}  // namespace

int main() {
  try {
    Driver driver;
    for (std::string line; !driver.Ended() && std::getline(std::cin, line);) driver.Run(line);
    return 0;
  } catch (const UsageError& error) {
    std::cerr << "anthora-drive: " << error.what() << "\n";
  } catch (const Exception& error) {
    std::cerr << "anthora-drive: " << Cp1251ToUtf8(error.Message()) << "\n";
  } catch (const std::exception& error) {
    std::cerr << "anthora-drive: " << error.what() << "\n";
  }
  return 1;
}
