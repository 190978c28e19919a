// Labels read from a form measure their captions when their size is first asked for, not
// while the form is read; every way of asking, and every setter that builds on the size,
// ends with the size the label had when it measured at once.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/vcl/formreader.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace {

class TLabelForm : public TForm {
public:
    explicit TLabelForm(TComponent* owner) : TForm(owner) {
        BindField("Plain", Plain);
        BindField("Wrapped", Wrapped);
        BindField("Fixed", Fixed);
    }
    std::string ClassName() const override { return "TLabelForm"; }
    TLabel* Plain = nullptr;
    TLabel* Wrapped = nullptr;
    TLabel* Fixed = nullptr;
};

struct Init : ::testing::Environment {
    void SetUp() override {
        Application->Initialize();
        TClassReg<TLabelForm>("TLabelForm", "TForm", false);
    }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

const char* const kForm = R"(object LabelForm: TLabelForm
  ClientHeight = 200
  ClientWidth = 300
  object Plain: TLabel
    Left = 8
    Top = 8
    Width = 3
    Height = 3
    Caption = '&Source folder 源文件夹'
  end
  object Wrapped: TLabel
    Left = 8
    Top = 40
    Width = 60
    Height = 3
    Caption = 'a caption long enough to wrap over several lines 换行'
    WordWrap = True
  end
  object Fixed: TLabel
    Left = 8
    Top = 120
    Width = 33
    Height = 7
    AutoSize = False
    Caption = 'does not size itself'
  end
end
)";

std::unique_ptr<TLabelForm> Read() {
    auto form = std::make_unique<TLabelForm>(nullptr);
    ReadForm(form.get(), kForm);
    return form;
}

std::string Bounds(TLabel* l) {
    const TRect r = l->BoundsRect();
    return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) +
           "," + std::to_string(r.Bottom);
}

}  // namespace

TEST(LabelSizeWhenAsked, EveryWayOfAskingGivesTheSizeMeasuredAtOnce) {
    // The reference: each label measured right after the form was read.
    auto eager = Read();
    for (TLabel* l : {eager->Plain, eager->Wrapped, eager->Fixed}) l->AdjustSize();
    const std::string plain = Bounds(eager->Plain), wrapped = Bounds(eager->Wrapped);
    ASSERT_GT(eager->Plain->Width(), 3);      // measured: wider than the form says
    ASSERT_GT(eager->Wrapped->Height(), 13);  // several lines
    EXPECT_EQ(eager->Wrapped->Width(), 60);   // a wrapped label keeps its width
    EXPECT_EQ(Bounds(eager->Fixed), "8,120,41,127");

    const struct Row {
        const char* asking;
        std::function<void(TLabel*)> ask;
    } rows[] = {
        {"Width", [](TLabel* l) { (void)l->Width(); }},
        {"Height", [](TLabel* l) { (void)l->Height(); }},
        {"BoundsRect", [](TLabel* l) { (void)l->BoundsRect(); }},
        {"ClientRect", [](TLabel* l) { (void)l->ClientRect(); }},
        {"Invalidate", [](TLabel* l) { l->Invalidate(); }},
        {"a mouse release on it", [](TLabel* l) { l->Perform(WM_LBUTTONUP, 0, 0); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.asking);
        auto form = Read();
        row.ask(form->Plain);
        row.ask(form->Wrapped);
        row.ask(form->Fixed);
        EXPECT_EQ(Bounds(form->Plain), plain);
        EXPECT_EQ(Bounds(form->Wrapped), wrapped);
        EXPECT_EQ(Bounds(form->Fixed), "8,120,41,127");
    }
}

// A setter that changes what the size is worked out from, or sets it, acts on the measured
// size, as it would have had the label measured while the form was read.
TEST(LabelSizeWhenAsked, SettersActOnTheMeasuredSize) {
    const struct Row {
        const char* change;
        std::function<void(TLabel*)> apply;
    } rows[] = {
        {"auto size switched off", [](TLabel* l) { l->SetAutoSize(false); }},
        {"word wrap switched on", [](TLabel* l) { l->SetWordWrap(true); }},
        {"moved", [](TLabel* l) { l->SetLeft(30); }},
        {"sized by hand", [](TLabel* l) { l->SetBounds(8, 8, 10, 10); }},
        {"width set", [](TLabel* l) { l->SetWidth(20); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.change);
        auto eager = Read(), lazy = Read();
        eager->Plain->AdjustSize();
        row.apply(eager->Plain);
        row.apply(lazy->Plain);
        EXPECT_EQ(Bounds(lazy->Plain), Bounds(eager->Plain));
        // Asked again later, the size stays what the change made it.
        lazy->Plain->Invalidate();
        EXPECT_EQ(Bounds(lazy->Plain), Bounds(eager->Plain));
    }
}
