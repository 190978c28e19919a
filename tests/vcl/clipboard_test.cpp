// The clipboard calls over the toolkit's clipboard (offscreen): registered formats, the
// open/empty/set/close protocol, blocks and bitmaps read back, and global memory blocks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/user/clipboard.h"

namespace {

HGLOBAL Block(const std::string& s) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, s.size());
    std::memcpy(GlobalLock(h), s.data(), s.size());
    GlobalUnlock(h);
    return h;
}

std::string Text(HGLOBAL h) {
    const char* p = static_cast<const char*>(GlobalLock(h));
    std::string s(p ? p : "", p ? GlobalSize(h) : 0);
    GlobalUnlock(h);
    return s;
}

}  // namespace

TEST(GlobalMemory, BlocksAreZeroedLockedCountedAndFreedOnce) {
    HGLOBAL h = GlobalAlloc(GHND, 10);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), 10u);
    auto* p = static_cast<unsigned char*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(p[i], 0);
    EXPECT_EQ(GlobalLock(h), p);         // the bytes do not move
    EXPECT_EQ(GlobalUnlock(h), TRUE_);   // still locked once
    EXPECT_EQ(GlobalUnlock(h), FALSE_);  // now unlocked
    EXPECT_EQ(GlobalUnlock(h), FALSE_);  // not locked: nothing to undo
    EXPECT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(GlobalFree(h), h);  // a freed handle is not found again
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_EQ(GlobalSize(h), 0u);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, size_t(1) << 40), nullptr);
    HGLOBAL none = GlobalAlloc(GMEM_MOVEABLE, 0);
    EXPECT_EQ(GlobalSize(none), 0u);
    GlobalFree(none);
}

TEST(Clipboard, RegisteredFormatsAreOnePerName) {
    const UINT a = RegisterClipboardFormatA("Vexomat Test Format");
    EXPECT_GE(a, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormatA("VEXOMAT test format"), a);
    EXPECT_NE(RegisterClipboardFormatA("Vexomat Other Format"), a);
    EXPECT_EQ(RegisterClipboardFormatA(""), 0u);
    EXPECT_EQ(RegisterClipboardFormatA(nullptr), 0u);
}

TEST(Clipboard, DataPutOnItIsPublishedOnCloseAndReadBack) {
    const UINT fmt = RegisterClipboardFormatA("Vexomat Test Format");
    const UINT other = RegisterClipboardFormatA("Vexomat Other Format");
    // Nothing can be put without opening and emptying it.
    HGLOBAL early = Block("x");
    EXPECT_EQ(SetClipboardData(fmt, early), nullptr);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr));  // one opener at a time
    EXPECT_EQ(SetClipboardData(fmt, early), nullptr);
    GlobalFree(early);

    ASSERT_TRUE(EmptyClipboard());
    const std::string payload("GIF\0data\xff", 9);
    HGLOBAL given = Block(payload);
    EXPECT_EQ(SetClipboardData(fmt, given), given);
    HBITMAP bmp = CreateBitmap(3, 2, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    SetPixel(dc, 2, 1, RGB(10, 200, 30));
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_EQ(SetClipboardData(CF_BITMAP, bmp), bmp);
    EXPECT_TRUE(IsClipboardFormatAvailable(fmt));
    EXPECT_FALSE(IsClipboardFormatAvailable(other));
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(CloseClipboard());

    // After closing: what the toolkit's clipboard holds.
    EXPECT_TRUE(IsClipboardFormatAvailable(fmt));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_FALSE(IsClipboardFormatAvailable(other));
    EXPECT_EQ(GetClipboardData(fmt), nullptr);  // not open
    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL read = GetClipboardData(fmt);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(Text(read), payload);
    EXPECT_EQ(GetClipboardData(other), nullptr);
    HBITMAP back = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    ASSERT_NE(back, nullptr);
    BITMAP bm;
    ASSERT_TRUE(GetObjectA(back, sizeof bm, &bm));
    EXPECT_EQ(bm.bmWidth, 3);
    EXPECT_EQ(bm.bmHeight, 2);
    HDC dc2 = CreateCompatibleDC(nullptr);
    HGDIOBJ old2 = SelectObject(dc2, back);
    EXPECT_EQ(GetPixel(dc2, 2, 1), RGB(10, 200, 30));
    SelectObject(dc2, old2);
    DeleteDC(dc2);
    CloseClipboard();
    EXPECT_EQ(GlobalSize(read), 0u);  // the clipboard's handles go with the closing

    // Emptying and closing without data leaves it empty.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_FALSE(IsClipboardFormatAvailable(fmt));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
}
