// Reading text form files: components, properties, handlers and fields bound by name.
#include <gtest/gtest.h>

#include "platform/vcl/formreader.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace {

class TTestForm : public TForm {
public:
    explicit TTestForm(TComponent* owner) : TForm(owner) {
        BindField("Button1", Button1);
        BindField("Label1", Label1);
        BindMethod<TNotifyEvent>("Button1Click", this, &TTestForm::Button1Click);
        BindMethod<TKeyEvent>("FormKeyDown", this, &TTestForm::FormKeyDown);
    }
    std::string ClassName() const override { return "TTestForm"; }
    void Button1Click(TObject*) { ++clicks; }
    void FormKeyDown(TObject*, WORD& key, TShiftState) { lastKey = key; }
    TSpeedButton* Button1 = nullptr;
    TLabel* Label1 = nullptr;
    int clicks = 0;
    WORD lastKey = 0;
};

struct Init : ::testing::Environment {
    void SetUp() override {
        Application->Initialize();
        TClassReg<TTestForm>("TTestForm", "TForm", false);
    }
};
// Set up once, after every global of the program exists.
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

const char* const kForm = R"(object TestForm: TTestForm
  Left = 10
  Top = 20
  BorderStyle = bsDialog
  Caption = 'It''s a '#26631#39064
  ClientHeight = 100
  ClientWidth = 200
  Font.Style = [fsBold, fsItalic]
  KeyPreview = True
  OnKeyDown = FormKeyDown
  object Panel1: TPanel
    Left = 5
    Top = 6
    Width = 150
    Height = 80
    object Button1: TSpeedButton
      Left = 1
      Top = 2
      Width = 30
      Height = 20
      Caption = 'Go'
      OnClick = Button1Click
    end
    object Label1: TLabel
      Left = 40
      Top = 2
      Caption = 'Text ' +
        'continued'
    end
  end
  object Combo: TComboBox
    Items.Strings = (
      'one'
      'two')
    ItemIndex = 1
  end
end
)";

}  // namespace

TEST(FormReader, BuildsTheTreeAndBindsByName) {
    TTestForm form(nullptr);
    ReadForm(&form, kForm);
    EXPECT_EQ(form.Name, "TestForm");
    EXPECT_EQ(form.Caption(), "It's a 标题");
    EXPECT_EQ(form.ClientWidth(), 200);
    EXPECT_EQ(form.ClientHeight(), 100);
    EXPECT_EQ(form.BorderStyle(), bsDialog);
    EXPECT_TRUE(form.KeyPreview);
    EXPECT_EQ(form.Font()->Style(), (TFontStyles{fsBold, fsItalic}));
    ASSERT_NE(form.Button1, nullptr);
    ASSERT_NE(form.Label1, nullptr);
    EXPECT_EQ(form.Label1->Caption(), "Text continued");
    auto* panel = dynamic_cast<TPanel*>(form.FindComponent("Panel1"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(form.Button1->Parent(), panel);
    EXPECT_EQ(panel->Parent(), &form);
    EXPECT_EQ(form.Button1->Owner(), &form);
    auto* combo = dynamic_cast<TComboBox*>(form.FindComponent("combo"));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->Items()->Count(), 2);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(combo->Text(), "two");
    // The handler bound by name runs on a click.
    form.Button1->Click();
    EXPECT_EQ(form.clicks, 1);
    // Fonts follow the parent unless set: the label inherits the bold italic font.
    EXPECT_EQ(form.Label1->Font()->Style(), (TFontStyles{fsBold, fsItalic}));
}

TEST(FormReader, ErrorsNameTheLine) {
    auto fails = [](const std::string& text, const std::string& part) {
        TTestForm form(nullptr);
        try {
            ReadForm(&form, text);
        } catch (const EReadError& e) {
            EXPECT_NE(e.Message.find(part), std::string::npos) << e.Message;
            return;
        }
        ADD_FAILURE() << "no error for: " << text;
    };
    fails("object F: TTestForm\n  Nonsense = 1\nend\n", "line 2");
    fails("object F: TTestForm\n  object X: TNoSuchClass\n  end\nend\n", "TNoSuchClass");
    fails("object F: TTestForm\n  OnKeyDown = Button1Click\nend\n", "wrong type");
    fails("object F: TTestForm\n  OnShow = Missing\nend\n", "Missing");
    fails("object F: TTestForm\n  Caption = 'open\nend\n", "unterminated");
    fails("thing", "'object' expected");
    // Published fields: each must find its component, of its class.
    fails("object F: TTestForm\n  object Button1: TSpeedButton\n  end\nend\n",
          "field Label1 not found");
    fails(
        "object F: TTestForm\n  object Button1: TButton\n  end\n  object Label1: TLabel\n  "
        "end\nend\n",
        "field Button1 is not of class TButton");
}

TEST(FormReader, Values) {
    EXPECT_EQ(ParseDfmValue("-12").AsInt(), -12);
    EXPECT_EQ(ParseDfmValue("$FF").AsInt(), 255);
    EXPECT_EQ(ParseDfmValue("clWhite").AsInt(), int(clWhite));
    EXPECT_TRUE(ParseDfmValue("True").AsBool());
    EXPECT_EQ(ParseDfmValue("{41 42 0a}").s, std::string("AB\n"));
    EXPECT_EQ(ParseDfmValue("'a'#13#10'b'").s, "a\r\nb");
    EXPECT_THROW(ParseDfmValue("Bogus").AsInt(), EReadError);
}

TEST(Components, OwnerFreesItsComponentsAndNotifies) {
    struct Probe : TComponent {
        using TComponent::TComponent;
        std::vector<std::string> removed;
        void Notification(TComponent* c, TOperation op) override {
            if (op == opRemove) removed.push_back(c->Name);
        }
    };
    Probe owner(nullptr);
    auto* a = new TComponent(&owner);
    a->Name = "A";
    auto* b = new TComponent(&owner);
    b->Name = "B";
    EXPECT_EQ(owner.ComponentCount(), 2);
    EXPECT_EQ(owner.FindComponent("a"), a);
    delete a;
    EXPECT_EQ(owner.removed, std::vector<std::string>{"A"});
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.FindComponent(""), nullptr);
}
