// An owner-drawn list freed right after a click on one of its rows: the window, deleted
// later, still brings the clicked row into view when the double-click time is over, and then
// asks the freed control nothing.
#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/sysutils.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

TEST(ListBoxGone, AFreedOwnerDrawnListIsAskedNothingByItsWindow) {
    for (TListBoxStyle style : {lbOwnerDrawFixed, lbOwnerDrawVariable}) {
        SCOPED_TRACE(style == lbOwnerDrawFixed ? "fixed rows" : "rows of their own heights");
        TForm form(nullptr);
        form.SetBounds(0, 0, 200, 200);
        auto* list = new TListBox(&form);
        list->SetParent(&form);
        list->SetBounds(0, 0, 150, 150);
        list->SetStyle(style);
        list->OnMeasureItem = [](TWinControl*, int, int& h) { h = 18; };
        for (int i = 0; i < 40; ++i) list->Items()->Add("row " + std::to_string(i));
        form.Show();
        Application->ProcessMessages();
        const TRect r = list->ItemRect(2);
        list->Peer()->click(r.Left + 10, (r.Top + r.Bottom) / 2);
        ASSERT_EQ(list->ItemIndex(), 2);
        delete list;
        // Past the double-click time, when the window scrolls to the clicked row.
        const uint32_t start = GetTickCount();
        while (GetTickCount() - start < 1500) {
            Application->ProcessMessages();
            Sleep(10);
        }
        EXPECT_EQ(form.ControlCount(), 0);
    }
}
