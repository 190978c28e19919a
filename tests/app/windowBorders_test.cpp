// The side windows' frames: the about, FAQ and page-order windows are borderless with a
// 1-pixel border around the client area their form files give, and the main window and the
// message box keep theirs.
#include <functional>

#include "app/arrange.h"
#include "app/faqs.h"
#include "app/info.h"
#include "tests/app/fixture.h"

using apptest::AppTest;

namespace {

struct Row {
    const char* name;
    std::function<TForm*()> make;
    int clientWidth, clientHeight;
    int side;             // frame width on each side
    int caption;          // caption height
    TColor insideCorner;  // the client's top-left pixel
};

}  // namespace

TEST_F(AppTest, SideWindowsHaveTheirBorderOutsideTheClientArea) {
    CreateWindows();
    // The FAQ window reads its text when it shows.
    symlink((std::string(VEXOMAT_BIN_DIR) + "/faqs.rtf").c_str(), (folder + "faqs.rtf").c_str());
    const Row rows[] = {
        {"about",
         [] {
             Application->CreateForm(Form_info, "info.dfm");
             return static_cast<TForm*>(Form_info);
         },
         277, 375, 1, 0, clWhite},
        {"FAQ",
         [] {
             Application->CreateForm(Form_faqs, "faqs.dfm");
             return static_cast<TForm*>(Form_faqs);
         },
         658, 470, 1, 0, clWhite},
        {"page order",
         [] {
             Application->CreateForm(Form_arrange, "arrange.dfm");
             return static_cast<TForm*>(Form_arrange);
         },
         378, 327, 1, 0, TColor(153)},
        {"main", [] { return static_cast<TForm*>(Form_main); }, 692, 591, 0, 0, clBlack},
        {"message box", [] { return static_cast<TForm*>(Form_MsgDlg); }, 409, 173, 3, 19, clWhite},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TForm* form = row.make();
        EXPECT_FALSE(form->Sizeable()) << "a user could change its size";
        form->Show();
        Application->ProcessMessages();
        RECT client{}, window{};
        ASSERT_TRUE(GetClientRect(form->Handle(), &client));
        ASSERT_TRUE(GetWindowRect(form->Handle(), &window));
        EXPECT_EQ(client.right, row.clientWidth);
        EXPECT_EQ(client.bottom, row.clientHeight);
        EXPECT_EQ(window.right - window.left, row.clientWidth + 2 * row.side);
        EXPECT_EQ(window.bottom - window.top, row.clientHeight + 2 * row.side + row.caption);
        const std::string path = ::testing::TempDir() + "window_borders.png";
        apptest::KeepScreenshot(form, std::string("border-") + row.name);
        ASSERT_TRUE(form->SaveScreenshot(path));
        TBitmap shot;
        shot.LoadFromFile(path);
        const int w = shot.Width(), h = shot.Height();
        if (row.side == 1) {
            // One black line all round, and the client's own pixels right inside it.
            for (auto [x, y] : {std::pair{0, 0}, {w - 1, h - 1}, {w / 2, 0}, {0, h / 2}})
                EXPECT_EQ(shot.Canvas()->Pixel(x, y), clBlack) << x << "," << y;
        }
        EXPECT_EQ(shot.Canvas()->Pixel(row.side, row.side + row.caption), row.insideCorner);
        if (form != Form_main && form != Form_MsgDlg) {
            form->Hide();
            delete form;
        } else {
            form->Hide();
        }
    }
    Form_info = nullptr;
    Form_faqs = nullptr;
    Form_arrange = nullptr;
}
