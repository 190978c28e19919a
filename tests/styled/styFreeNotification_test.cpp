// References the styled controls keep to components owned by another form (image lists, the
// button's drop-down menu): the referred component freed first clears the reference, so
// nothing is reached through a freed pointer afterwards (run under the sanitizers).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/styled/styButton.h"
#include "controls/styled/styFormShape.h"
#include "controls/styled/styImageLists.h"
#include "controls/styled/styProgress.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/windowSystem.h"

namespace {

std::unique_ptr<TBitmap> Square(TColor c) {
    auto b = std::make_unique<TBitmap>();
    b->SetSize(16, 16);
    b->Canvas()->Brush()->Color = c;
    b->Canvas()->FillRect(Rect(0, 0, 16, 16));
    return b;
}

// The form that owns the shared components, and the one the controls sit on.
struct TwoForms {
    std::unique_ptr<TForm> lists{new TForm(nullptr)};
    std::unique_ptr<TForm> controls{new TForm(nullptr)};
    TStyBitmapList* NewList() {
        auto* list = new TStyBitmapList(lists.get());
        list->AddBitmap(Square(clRed).get());
        list->AddBitmap(Square(clBlue).get());
        return list;
    }
};

}  // namespace

TEST(StyFreeNotification, ButtonLetsAListOfAnotherFormGo) {
    // Freed alone, or with the whole form that owns it.
    for (const bool wholeForm : {false, true}) {
        SCOPED_TRACE(wholeForm ? "the owning form freed" : "the list freed");
        TwoForms f;
        auto* b = new TStyButton(f.controls.get());
        b->SetParent(f.controls.get());
        TStyBitmapList* list = f.NewList();
        b->SetImageList(list);
        EXPECT_FALSE(b->Glyph()->Empty());
        if (wholeForm)
            f.lists.reset();
        else
            delete list;
        EXPECT_EQ(b->ImageList(), nullptr);
        EXPECT_TRUE(b->Glyph()->Empty());
        b->SetImageIndex(1);  // reached the freed list before
        b->SetListIndex(1);
        f.controls->Show();
        Application->ProcessMessages();  // a paint after the list went
    }
}

TEST(StyFreeNotification, ButtonLetsAMenuOfAnotherFormGo) {
    TwoForms f;
    auto* b = new TStyButton(f.controls.get());
    b->SetParent(f.controls.get());
    auto* menu = new TPopupMenu(f.lists.get());
    menu->Add("One");
    b->SetDropDownMenu(menu);
    int popups = 0, clicks = 0;
    ws::SetPopupMenuDriver([&](const std::vector<ws::PopupMenuItem>&, int, int) {
        ++popups;
        return -1;
    });
    b->OnClick = [&](TObject*) { ++clicks; };
    b->Click();
    EXPECT_EQ(popups, 1);
    delete menu;
    EXPECT_EQ(b->DropDownMenu(), nullptr);
    b->Click();  // a plain click now, no menu
    ws::SetPopupMenuDriver(nullptr);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(b->Dropped());
    // A replaced menu is no longer watched: its going leaves the new one in place.
    auto* first = new TPopupMenu(f.lists.get());
    auto* second = new TPopupMenu(f.lists.get());
    b->SetDropDownMenu(first);
    b->SetDropDownMenu(second);
    delete first;
    EXPECT_EQ(b->DropDownMenu(), second);
}

TEST(StyFreeNotification, AMenuNamedTwiceStaysWatchedWhenOneNameLetsGo) {
    // One menu of another form is the button's PopupMenu and its DropDownMenu; one of the
    // two lets go of it, then the menu's form goes.
    for (const bool dropDownFirst : {true, false}) {
        SCOPED_TRACE(dropDownFirst ? "DropDownMenu cleared" : "PopupMenu cleared");
        TwoForms f;
        auto* b = new TStyButton(f.controls.get());
        b->SetParent(f.controls.get());
        auto* shared = new TPopupMenu(f.lists.get());
        shared->Add("Shared");
        b->SetPopupMenu(shared);
        b->SetDropDownMenu(shared);
        if (dropDownFirst)
            b->SetDropDownMenu(nullptr);
        else
            b->SetPopupMenu(nullptr);
        f.lists.reset();
        EXPECT_EQ(b->PopupMenu(), nullptr);
        EXPECT_EQ(b->DropDownMenu(), nullptr);
        // New menus are taken without reaching the freed one, and a click pops the new one.
        TForm menus(nullptr);
        auto* popup = new TPopupMenu(&menus);
        auto* dropDown = new TPopupMenu(&menus);
        dropDown->Add("New");
        b->SetPopupMenu(popup);
        b->SetDropDownMenu(dropDown);
        std::vector<std::string> shown;
        ws::SetPopupMenuDriver([&](const std::vector<ws::PopupMenuItem>& items, int, int) {
            for (const auto& i : items) shown.push_back(i.caption);
            return -1;
        });
        b->Click();
        ws::SetPopupMenuDriver(nullptr);
        EXPECT_EQ(shown, std::vector<std::string>{"New"});
        EXPECT_EQ(b->PopupMenu(), popup);
    }
}

TEST(StyFreeNotification, ButtonFreedBeforeTheListLeavesTheListWhole) {
    TwoForms f;
    auto* b = new TStyButton(f.controls.get());
    TStyBitmapList* list = f.NewList();
    b->SetImageList(list);
    auto* menu = new TPopupMenu(f.lists.get());
    b->SetDropDownMenu(menu);
    f.controls.reset();  // the button goes first
    EXPECT_EQ(list->LinkCount(), 0);
    delete list;  // tells nobody that is gone
    delete menu;
}

TEST(StyFreeNotification, ControlBaseLetsAListOfAnotherFormGo) {
    TwoForms f;
    auto* meter = new TStyProgress(f.controls.get());
    meter->SetParent(f.controls.get());
    TStyBitmapList* list = f.NewList();
    meter->SetImageList(list);
    EXPECT_EQ(list->LinkCount(), 1);
    // Replacing the list stops watching the old one.
    TStyBitmapList* other = f.NewList();
    meter->SetImageList(other);
    delete list;
    EXPECT_EQ(meter->ImageList(), other);
    delete other;
    EXPECT_EQ(meter->ImageList(), nullptr);
    f.controls->Show();
    Application->ProcessMessages();
}

TEST(StyFreeNotification, ShapedFormLetsAListOfAnotherFormGo) {
    TwoForms f;
    f.controls->SetBorderStyle(bsNone);
    f.controls->SetBounds(0, 0, 60, 40);
    auto* shape = new TStyFormShape(f.controls.get());
    shape->FillObject()->SetStyle(sfBitmapList);
    shape->FillObject()->SetTileMode(tmTile);
    TStyBitmapList* list = f.NewList();
    shape->SetImageList(list);
    f.controls->Show();
    shape->Loaded();
    Application->ProcessMessages();
    delete list;
    EXPECT_EQ(shape->ImageList(), nullptr);
    shape->SetImageIndex(1);
    shape->SetListIndex(1);
    f.controls->Invalidate();
    Application->ProcessMessages();  // paints the background without the list
}

TEST(StyFreeNotification, ShapedFormIndexesRefuseNegativesAndReloadTheImage) {
    TwoForms f;
    f.controls->SetBorderStyle(bsNone);
    f.controls->SetBounds(0, 0, 40, 30);
    auto* shape = new TStyFormShape(f.controls.get());
    shape->FillObject()->SetStyle(sfBitmapList);
    TStyBitmapList* list = f.NewList();
    shape->SetImageList(list);
    int changes = 0;
    shape->OnChange = [&](TObject*) { ++changes; };
    struct Row {
        bool list;  // ListIndex or ImageIndex
        int value;
        int listIndex, imageIndex;  // afterwards
        bool changed;
        TColor pixel;  // the list image the fill holds now
    };
    const Row rows[] = {
        {true, 1, 1, 0, true, clBlue},   {true, 1, 1, 0, false, clBlue},
        {true, -1, 1, 0, false, clBlue}, {false, -3, 1, 0, false, clBlue},
        {true, 0, 0, 0, true, clRed},    {false, 1, 0, 1, true, clNone},  // no such image
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << (row.list ? "ListIndex " : "ImageIndex ") << row.value);
        changes = 0;
        if (row.list)
            shape->SetListIndex(row.value);
        else
            shape->SetImageIndex(row.value);
        EXPECT_EQ(shape->ListIndex(), row.listIndex);
        EXPECT_EQ(shape->ImageIndex(), row.imageIndex);
        EXPECT_EQ(changes > 0, row.changed);
        TBitmap* held = shape->FillObject()->ListBitmap();
        if (row.pixel == clNone)
            EXPECT_TRUE(!held || held->Empty());
        else
            EXPECT_EQ(held->Canvas()->Pixel(3, 3), row.pixel);
    }
}
