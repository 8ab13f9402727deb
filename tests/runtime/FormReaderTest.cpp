#include <gtest/gtest.h>

#include "platform/headless/HeadlessPlatform.h"
#include "runtime/base/Exceptions.h"
#include "runtime/ui/FormReader.h"
#include "runtime/ui/Forms.h"
#include "runtime/ui/StdCtrls.h"

namespace anthora {
namespace {

// A form with two fields and two handlers, as a program's main window declares them.
class TSampleForm : public TForm {
  ANTHORA_CLASS(TSampleForm, TForm)

 public:
  explicit TSampleForm(std::string_view description) : TForm(nullptr) {
    DeclareField("Panel1", Panel1);
    DeclareField("Label1", Label1);
    MutableHandlers().Add("Panel1Click", TNotifyEvent([this](TObject*) { ++Clicks; }));
    MutableHandlers().Add("Label1MouseMove",
                          TMouseMoveEvent([this](TObject*, TShiftState, int, int) { ++Moves; }));
    ReadFormDescription(*this, description);
  }

  TPanel* Panel1 = nullptr;
  TLabel* Label1 = nullptr;
  int Clicks = 0;
  int Moves = 0;
};

class FormReaderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterComponentClass("TPanel", [](TComponent* owner) { return new TPanel(owner); });
    RegisterComponentClass("TLabel", [](TComponent* owner) { return new TLabel(owner); });
  }

  std::string ErrorOf(std::string_view description) {
    try {
      TSampleForm form(description);
    } catch (const EReadError& error) {
      return error.Message();
    }
    return "no error";
  }

  HeadlessPlatform platform;
  TApplication application{platform};
};

constexpr std::string_view kDescription = R"(# a comment
Main: TSampleForm {
  Caption = "Тест \"1\""
  ClientWidth = 200
  ClientHeight = 0x64
  Color = clWhite
  Panel1: TPanel {
    Left = 10  Top = 20  Width = 50  Height = 30
    BevelOuter = bvLowered
    Font.Style = [fsBold, fsUnderline]
    Font.Color = 0x0080FFFF
    OnClick = Panel1Click
    Label1: TLabel {
      Caption = "x"
      OnMouseMove = Label1MouseMove
    }
  }
}
)";

TEST_F(FormReaderTest, BuildsTheFormItsControlsAndTheirWiring) {
  TSampleForm form(kDescription);
  EXPECT_EQ(form.Name(), "Main");
  EXPECT_EQ(form.Caption(), "\xD2\xE5\xF1\xF2 \"1\"");  // Windows-1251
  EXPECT_EQ(form.ClientWidth(), 200);
  EXPECT_EQ(form.ClientHeight(), 100);
  ASSERT_NE(form.Panel1, nullptr);
  ASSERT_NE(form.Label1, nullptr);
  EXPECT_EQ(form.Panel1->Parent(), &form);
  EXPECT_EQ(form.Label1->Parent(), form.Panel1);
  EXPECT_EQ(form.Label1->Owner(), &form);
  EXPECT_EQ(form.Panel1->BoundsRect(), Bounds(10, 20, 50, 30));
  EXPECT_EQ(form.Panel1->BevelOuter(), TBevelCut::bvLowered);
  EXPECT_TRUE(form.Panel1->Font().Style().Contains(fsUnderline));
  EXPECT_EQ(form.Panel1->Font().Color(), 0x0080FFFF);
  form.Panel1->OnClick(form.Panel1);
  form.Label1->OnMouseMove(form.Label1, 0, 1, 1);
  EXPECT_EQ(form.Clicks, 1);
  EXPECT_EQ(form.Moves, 1);
}

TEST_F(FormReaderTest, NamesWhatItCannotRead) {
  EXPECT_EQ(ErrorOf("Main: TSampleForm {\n  Panel9: TButton {\n  }\n}"),
            "Window description, line 2: unknown class TButton of Panel9");
  EXPECT_EQ(ErrorOf("Main: TSampleForm {\n\n  OnActivate = Missing\n}"),
            "Line 3: property OnActivate: the form has no handler Missing");
  EXPECT_EQ(ErrorOf("Main: TSampleForm {\n  Panel1: TPanel { OnMouseMove = Panel1Click }\n}"),
            "Line 2: property OnMouseMove: the handler Panel1Click is not a mouse-move handler");
  EXPECT_EQ(ErrorOf("Main: TSampleForm { Colour = 1 }"),
            "Line 1: property Colour: TSampleForm has no such property");
  EXPECT_EQ(ErrorOf("Main: TSampleForm { Color = \"red\" }"),
            "Line 1: property Color: expected a name");
  EXPECT_EQ(ErrorOf("Main: TOther { }"),
            "Window description, line 1: the description is of TOther, not of TSampleForm");
  EXPECT_EQ(ErrorOf("Main: TSampleForm { Caption = \"open"),
            "Window description, line 1: unterminated string");
  EXPECT_EQ(ErrorOf("Main: TSampleForm {"),
            "Window description, line 1: expected a property or a control");
  EXPECT_EQ(ErrorOf("Main: TSampleForm { Label1: TLabel { L: TLabel { } } }"),
            "Window description, line 1: L cannot lie on Label1");
  EXPECT_EQ(ErrorOf("Main: TSampleForm { Label1: TPanel { } }"),
            "Field Label1 does not hold a TPanel");
  EXPECT_EQ(ErrorOf("Main: TSampleForm { Icon.Data = <00 1> }"),
            "Window description, line 1: binary data with an odd number of digits");
  EXPECT_EQ(ErrorOf("Main: TSampleForm {\n Icon.Data = <00\n 0g> }"),
            "Window description, line 3: a character that is no hexadecimal digit in binary data");
  EXPECT_EQ(ErrorOf("Main: TSampleForm { Icon.Data = <00 }"),
            "Window description, line 1: binary data without its closing >");
  EXPECT_EQ(ErrorOf("Main: TSampleForm { Icon.Data = <=3:ab> }"),
            "Window description, line 1: binary data without its closing >");
  EXPECT_EQ(ErrorOf("Main: TSampleForm { Icon.Data = <=9:ab> }"),
            "Window description, line 1: binary data longer than the description");
}

}  // namespace
}  // namespace anthora
