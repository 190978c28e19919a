// The class library's published properties beyond the basic ones: the layout and designer
// settings every control keeps, sub-objects reached through a dot, bitmaps stored in the
// form, and component references bound once the whole form is read.
#include <gtest/gtest.h>

#include "platform/vcl/menus.h"
#include "platform/vcl/stdctrls.h"
#include "tests/vcl/publishedRows.h"

namespace {

using published::BitmapData;
using published::Hex;
using published::Row;
using published::TRow;
using published::TRowsForm;

struct Init : ::testing::Environment {
    void SetUp() override {
        Application->Initialize();
        TClassReg<TRowsForm>("TRowsForm", "TForm", false);
    }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

std::vector<TRow> ControlRows() {
    std::vector<TRow> rows;
    for (const char* cls : {"TPanel", "TLabel", "TEdit"}) {
        rows.push_back(
            Row<TControl>(cls, {"Anchors = [akTop, akRight]"}, [](TControl* c, TRowsForm*) {
                EXPECT_EQ(c->Anchors, (1u << akTop) | (1u << akRight));
            }));
        rows.push_back(Row<TControl>(cls, {"Anchors = []"},
                                     [](TControl* c, TRowsForm*) { EXPECT_EQ(c->Anchors, 0u); }));
        rows.push_back(
            Row<TControl>(cls, {"BiDiMode = bdRightToLeftReadingOnly", "ParentBiDiMode = False"},
                          [](TControl* c, TRowsForm*) {
                              EXPECT_EQ(c->BiDiMode, bdRightToLeftReadingOnly);
                              EXPECT_FALSE(c->ParentBiDiMode);
                          }));
        rows.push_back(Row<TControl>(cls, {"DragKind = dkDock"}, [](TControl* c, TRowsForm*) {
            EXPECT_EQ(c->DragKind, dkDock);
        }));
        rows.push_back(Row<TControl>(cls,
                                     {"Constraints.MinWidth = 1", "Constraints.MaxHeight = 99"},
                                     [](TControl* c, TRowsForm*) {
                                         EXPECT_EQ(c->Constraints()->MinWidth, 1);
                                         EXPECT_EQ(c->Constraints()->MaxHeight, 99);
                                     }));
        rows.push_back(
            Row<TControl>(cls, {"ImeName = 'x'", "ImeMode = imOpen"}, [](TControl* c, TRowsForm*) {
                EXPECT_EQ(c->ImeName, "x");
                EXPECT_EQ(c->ImeMode, imOpen);
            }));
        rows.push_back(
            Row<TControl>(cls, {"HelpType = htKeyword", "HelpKeyword = 'k'", "HelpContext = 3"},
                          [](TControl* c, TRowsForm*) {
                              EXPECT_EQ(c->HelpType, htKeyword);
                              EXPECT_EQ(c->HelpKeyword, "k");
                              EXPECT_EQ(c->HelpContext, 3);
                          }));
        // A sub-object's property that no whole name registers.
        rows.push_back(Row<TControl>(cls, {"Font.Height = -20", "Font.Style = [fsItalic]"},
                                     [](TControl* c, TRowsForm*) {
                                         EXPECT_EQ(c->Font()->Height(), -20);
                                         EXPECT_EQ(c->Font()->Style(), TFontStyles{fsItalic});
                                     }));
        // Every font property goes through the Font sub-object.
        rows.push_back(Row<TControl>(cls,
                                     {"Font.Charset = GB2312_CHARSET", "Font.Color = clRed",
                                      "Font.Size = 12", "Font.Name = '宋体'"},
                                     [](TControl* c, TRowsForm*) {
                                         EXPECT_EQ(c->Font()->Charset, GB2312_CHARSET);
                                         EXPECT_EQ(c->Font()->Color(), clRed);
                                         EXPECT_EQ(c->Font()->Size(), 12);
                                         EXPECT_EQ(c->Font()->Name(), "宋体");
                                     }));
        rows.push_back(Row<TControl>(
            cls, {"PopupMenu = Menu", "OnEndDock = EndDock", "OnStartDock = StartDock"},
            [](TControl* c, TRowsForm* f) {
                EXPECT_EQ(c->PopupMenu(), f->FindComponent("Menu"));
                TDragDockObject* dock = nullptr;
                c->OnStartDock(c, dock);
                c->OnEndDock(c, nullptr, 0, 0);
                EXPECT_EQ(f->calls, 2);
            },
            "  object Menu: TPopupMenu\n    OnPopup = Clicked\n  end\n"));
    }
    return rows;
}

}  // namespace

TEST(PublishedProperties, ControlsKeepWhatTheFormSays) {
    for (const TRow& row : ControlRows()) published::ReadRow(row);
}

TEST(PublishedProperties, EachPropertyIsRegisteredOnce) {
    EXPECT_EQ(published::RegisteredTwice(), std::vector<std::string>{});
}

TEST(PublishedProperties, ReferencesBindAfterTheWholeFormIsRead) {
    TRowsForm form(nullptr);
    ReadForm(&form,
             "object RowsForm: TRowsForm\n"
             "  object Early: TPanel\n    PopupMenu = Late\n  end\n"
             "  object Self: TPanel\n    PopupMenu = nil\n  end\n"
             "  object Late: TPopupMenu\n  end\n"
             "end\n");
    auto* early = static_cast<TControl*>(form.FindComponent("Early"));
    EXPECT_EQ(early->PopupMenu(), form.FindComponent("Late"));
    EXPECT_EQ(static_cast<TControl*>(form.FindComponent("Self"))->PopupMenu(), nullptr);
    // The menu is freed first: the control lets go of it.
    delete form.FindComponent("Late");
    EXPECT_EQ(early->PopupMenu(), nullptr);
}

TEST(PublishedProperties, AReferenceMayNameAComponentOfAnotherForm) {
    TRowsForm other(nullptr);
    ReadForm(&other, "object MenuForm: TRowsForm\n  object Shared: TPopupMenu\n  end\nend\n");
    TRowsForm form(nullptr);
    ReadForm(&form,
             "object RowsForm: TRowsForm\n  object P: TPanel\n"
             "    PopupMenu = MenuForm.Shared\n  end\nend\n");
    auto* panel = static_cast<TControl*>(form.FindComponent("P"));
    EXPECT_EQ(panel->PopupMenu(), other.FindComponent("Shared"));
    // The other form's menu is freed first: the control lets go of it.
    delete other.FindComponent("Shared");
    EXPECT_EQ(panel->PopupMenu(), nullptr);
}

TEST(PublishedProperties, BadReferencesAndValuesFailWithTheirLine) {
    struct Case {
        const char* lines;
        const char* message;
    } cases[] = {
        {"    PopupMenu = Nowhere\n", "line 3"},
        {"    PopupMenu = P\n", "cannot be the PopupMenu"},  // a panel is no menu
        {"    PopupMenu = 12\n", "Invalid property value"},
        {"    Anchors = [akSideways]\n", "akSideways"},
        {"    Font.Pitch2 = 1\n", "does not exist"},
        {"    Font = 1\n", "is an object"},
        {"    Constraints.MinWidth.Deeper = 1\n", "does not exist"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        TRowsForm form(nullptr);
        const std::string text = std::string("object RowsForm: TRowsForm\n  object P: TPanel\n") +
                                 c.lines + "  end\nend\n";
        try {
            ReadForm(&form, text);
            ADD_FAILURE() << "read without error";
        } catch (const EReadError& e) {
            EXPECT_NE(e.Message.find(c.message), std::string::npos) << e.Message;
        }
    }
}

TEST(PublishedProperties, BitmapsStoredInTheForm) {
    const std::string file = published::BmpFile(5, 3, 0xFF0000);
    TBitmap withLength, bare;
    TPersistent* a = &withLength;
    const TPropInfo* data = FindPropertyPath(a, "Data");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->kind, TPropKind::Stored);
    TDfmValue v = ParseDfmValue(Hex(BitmapData(5, 3, 0xFF0000)));
    data->set(&withLength, v);
    EXPECT_EQ(withLength.Width(), 5);
    EXPECT_EQ(withLength.Height(), 3);
    v = ParseDfmValue(Hex(file));
    data->set(&bare, v);
    EXPECT_EQ(bare.Width(), 5);
    // A length that does not match the bytes is refused before anything is read.
    std::string lying = BitmapData(5, 3, 0xFF0000);
    lying[0] = char(lying[0] + 1);
    v = ParseDfmValue(Hex(lying));
    EXPECT_THROW(data->set(&bare, v), EReadError);
    v = ParseDfmValue("'not binary'");
    EXPECT_THROW(data->set(&bare, v), EReadError);
}
