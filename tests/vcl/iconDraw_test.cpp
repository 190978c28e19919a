#include <gtest/gtest.h>

#include "platform/gdi/iconDraw.h"
#include "platform/vcl/forms.h"
#include "platform/win/module.h"
#include "platform/win/theme.h"

namespace {

// A memory DC on a 32-bit bitmap filled with one colour.
struct Surface {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp;
    HGDIOBJ old;
    Surface(int w, int h, COLORREF fill) {
        bmp = CreateBitmap(w, h, 1, 32, nullptr);
        old = SelectObject(dc, bmp);
        HBRUSH b = CreateSolidBrush(fill);
        RECT r{0, 0, w, h};
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
    ~Surface() {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
};

// 4 x 4: left half red and opaque, right half transparent; pixel (3,0) transparent with a
// colour, so drawing it inverts the background there.
HICON RedHalf() {
    IconImage img;
    img.Resize(4, 4);
    img.bitCount = 24;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            size_t i = size_t(y) * 4 + size_t(x);
            img.mask[i] = x >= 2;
            img.pixels[i] = x < 2 ? 0xFFFF0000u : 0;
        }
    img.pixels[3] = 0x00FFFFFF;
    return NewIconHandle(img);
}

}  // namespace

TEST(DrawIcon, MaskAndColourComposeAsWindowsDoes) {
    Surface s(8, 8, RGB(0, 0, 255));
    HICON icon = RedHalf();
    ASSERT_TRUE(DrawIconEx(s.dc, 2, 2, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(s.At(2, 2), RGB(255, 0, 0));    // opaque: the icon's colour
    EXPECT_EQ(s.At(4, 3), RGB(0, 0, 255));    // transparent: the background
    EXPECT_EQ(s.At(5, 2), RGB(255, 255, 0));  // transparent with colour: background XOR white
    EXPECT_EQ(s.At(1, 1), RGB(0, 0, 255));    // outside untouched

    Surface m(8, 8, RGB(0, 0, 255));
    ASSERT_TRUE(DrawIconEx(m.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_MASK));
    EXPECT_EQ(m.At(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(m.At(3, 3), RGB(0, 0, 255));

    // Stretched to 8 x 8: the left half of the surface turns red.
    Surface big(8, 8, RGB(0, 255, 0));
    ASSERT_TRUE(DrawIconEx(big.dc, 0, 0, icon, 8, 8, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(big.At(3, 7), RGB(255, 0, 0));
    EXPECT_EQ(big.At(4, 7), RGB(0, 255, 0));
    DestroyIcon(icon);
    EXPECT_FALSE(DrawIconEx(big.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
}

TEST(DrawIcon, AlphaIconsBlend) {
    IconImage img;
    img.Resize(1, 1);
    img.hasAlpha = true;
    img.mask[0] = 0;
    img.pixels[0] = 0x80FFFFFF;  // half-transparent white
    HICON icon = NewIconHandle(img);
    Surface s(2, 2, RGB(0, 0, 0));
    ASSERT_TRUE(DrawIconEx(s.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetRValue(s.At(0, 0)), 128);
    DestroyIcon(icon);
}

TEST(DrawIcon, IconInfoRoundTripsThroughBitmaps) {
    HICON icon = RedHalf();
    ICONINFO ii;
    ASSERT_TRUE(GetIconInfo(icon, &ii));
    EXPECT_TRUE(ii.fIcon);
    BITMAP bm;
    ASSERT_TRUE(GetObjectA(ii.hbmColor, sizeof bm, &bm));
    EXPECT_EQ(bm.bmWidth, 4);
    HICON back = CreateIconIndirect(&ii);
    ASSERT_NE(back, nullptr);
    auto a = IconImageOf(icon), b = IconImageOf(back);
    EXPECT_EQ(a->mask, b->mask);
    EXPECT_EQ(b->pixels[0] & 0xFFFFFF, 0xFF0000u);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    DestroyIcon(back);
    DestroyIcon(icon);
}

TEST(ImageListDraw, MaskColourMakesPixelsTransparent) {
    // A 2-image strip 8 x 4: magenta is the mask colour.
    Surface strip(8, 4, RGB(255, 0, 255));
    HBRUSH green = CreateSolidBrush(RGB(0, 128, 0));
    RECT r1{0, 0, 2, 4}, r2{4, 0, 8, 2};
    FillRect(strip.dc, &r1, green);
    FillRect(strip.dc, &r2, green);
    DeleteObject(green);
    SelectObject(strip.dc, strip.old);  // the bitmap leaves the DC before it is read
    HIMAGELIST list = ImageList_Create(4, 4, ILC_COLOR24 | ILC_MASK, 2, 2);
    EXPECT_EQ(ImageList_AddMasked(list, strip.bmp, RGB(255, 0, 255)), 0);
    strip.old = SelectObject(strip.dc, strip.bmp);
    ASSERT_EQ(ImageList_GetImageCount(list), 2);

    Surface s(8, 8, RGB(255, 255, 255));
    ASSERT_TRUE(ImageList_Draw(list, 0, s.dc, 0, 0, ILD_TRANSPARENT));
    EXPECT_EQ(s.At(0, 0), RGB(0, 128, 0));
    EXPECT_EQ(s.At(3, 3), RGB(255, 255, 255));  // magenta was transparent
    ASSERT_TRUE(
        ImageList_Draw(list, 1, s.dc, 4, 4, ILD_NORMAL));  // no background colour: transparent too
    EXPECT_EQ(s.At(4, 4), RGB(0, 128, 0));
    EXPECT_EQ(s.At(4, 7), RGB(255, 255, 255));

    // A background colour fills the transparent part with ILD_NORMAL only.
    ImageList_SetBkColor(list, RGB(0, 0, 255));
    ASSERT_TRUE(ImageList_Draw(list, 0, s.dc, 0, 4, ILD_NORMAL));
    EXPECT_EQ(s.At(3, 7), RGB(0, 0, 255));
    ASSERT_TRUE(ImageList_Draw(list, 0, s.dc, 4, 0, ILD_MASK));
    EXPECT_EQ(s.At(4, 0), RGB(0, 0, 0));
    EXPECT_EQ(s.At(7, 0), RGB(255, 255, 255));
    // Blending mixes with the highlight (here a given colour).
    Surface b(4, 4, RGB(0, 0, 0));
    ASSERT_TRUE(ImageList_DrawEx(list, 0, b.dc, 0, 0, 0, 0, CLR_NONE, RGB(255, 255, 255),
                                 ILD_TRANSPARENT | ILD_BLEND50));
    EXPECT_EQ(GetGValue(b.At(0, 0)), 192);
    EXPECT_FALSE(ImageList_Draw(list, 2, s.dc, 0, 0, ILD_NORMAL));

    HICON icon = ImageList_GetIcon(list, 0, ILD_NORMAL);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(IconImageOf(icon)->mask[3], 1);
    EXPECT_EQ(ImageList_AddIcon(list, icon), 2);
    DestroyIcon(icon);
    EXPECT_TRUE(ImageList_Remove(list, 0));
    EXPECT_EQ(ImageList_GetImageCount(list), 2);
    EXPECT_TRUE(ImageList_Destroy(list));
    EXPECT_FALSE(ImageList_Destroy(list));
}

TEST(ThemeDrawing, AllEntriesByNameAndDrawingOnlyWithThemesOn) {
    ASSERT_NE(Application, nullptr);  // the application object publishes the drawing calls
    const char* names[] = {"DrawThemeEdge",
                           "DrawThemeBackground",
                           "DrawThemeParentBackground",
                           "DrawThemeText",
                           "DrawThemeIcon",
                           "OpenThemeData",
                           "CloseThemeData",
                           "IsThemeBackgroundPartiallyTransparent",
                           "GetThemeBackgroundContentRect",
                           "SetWindowTheme",
                           "SetThemeAppProperties",
                           "IsThemePartDefined",
                           "GetThemeColor",
                           "GetThemeMetric",
                           "GetThemeString",
                           "GetThemeBool",
                           "GetThemeInt",
                           "GetThemeEnumValue",
                           "GetThemePosition",
                           "GetThemeFont",
                           "GetThemeRect",
                           "GetThemeFilename",
                           "GetThemeSysColor",
                           "GetThemeSysColorBrush",
                           "GetThemeSysBool",
                           "IsThemeActive",
                           "IsAppThemed",
                           "GetWindowTheme",
                           "EnableThemeDialogTexture",
                           "IsThemeDialogTextureEnabled",
                           "EnableTheming"};
    HMODULE ux = LoadLibraryA("UxTheme.dll");
    ASSERT_NE(ux, nullptr);
    for (const char* n : names) EXPECT_NE(GetProcAddress(ux, n), nullptr) << n;
    FreeLibrary(ux);

    Surface s(10, 10, RGB(255, 255, 255));
    RECT r{0, 0, 10, 10};
    unsetenv("VEXOMAT_THEMES");
    EXPECT_EQ(DrawThemeBackground(OpenThemeData(nullptr, L"BUTTON"), s.dc, 1, 1, &r, nullptr),
              E_HANDLE);
    EXPECT_EQ(s.At(0, 0), RGB(255, 255, 255));
    setenv("VEXOMAT_THEMES", "1", 1);
    HTHEME t = OpenThemeData(nullptr, L"BUTTON");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(DrawThemeBackground(t, s.dc, 1, 1, &r, nullptr), S_OK);
    EXPECT_NE(s.At(0, 0), RGB(255, 255, 255));
    RECT content;
    EXPECT_EQ(GetThemeBackgroundContentRect(t, s.dc, 1, 1, &r, &content), S_OK);
    EXPECT_EQ(content.left, 2);
    COLORREF text = 1;
    EXPECT_EQ(GetThemeColor(t, 1, 1, TMT_TEXTCOLOR, &text), S_OK);
    EXPECT_EQ(text, RGB(0, 0, 0));
    CloseThemeData(t);
    unsetenv("VEXOMAT_THEMES");
}

TEST(StandardBitmaps, CheckBoxesAndProgramBitmaps) {
    HBITMAP boxes = LoadBitmapA(nullptr, MAKEINTRESOURCEA(OBM_CHECKBOXES));
    ASSERT_NE(boxes, nullptr);
    BITMAP bm;
    ASSERT_TRUE(GetObjectA(boxes, sizeof bm, &bm));
    EXPECT_EQ(bm.bmWidth / 4, 13);
    EXPECT_EQ(bm.bmHeight / 3, 13);
    DeleteObject(boxes);
    EXPECT_EQ(LoadBitmapA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
    EXPECT_EQ(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(65000)), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, "/no/such.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
}

TEST(ScreenCursors, DragCursorsCanBeRegisteredUnderTheProgramsIds) {
    ASSERT_NE(Screen, nullptr);
    HCURSOR multi = Screen->Cursors(crMultiDrag), drag = Screen->Cursors(crDrag);
    ASSERT_NE(multi, nullptr);
    EXPECT_NE(multi, drag);
    EXPECT_EQ(Screen->Cursors(100), Screen->Cursors(crArrow));  // nothing registered yet
    Screen->SetCursors(100, multi);
    Screen->SetCursors(101, drag);
    EXPECT_EQ(Screen->Cursors(100), multi);
    EXPECT_EQ(Screen->Cursors(101), drag);
    EXPECT_TRUE(IconIsCursor(Screen->Cursors(crHourGlass)));
    Screen->SetCursors(100, nullptr);
    Screen->SetCursors(101, nullptr);
}
