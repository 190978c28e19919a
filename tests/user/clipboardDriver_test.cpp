// The clipboard calls over their driver, without any window system: no clipboard before a
// driver is installed, contents published as one object on closing, and read back by type.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/user/clipboard.h"

namespace {

// A pretend window system's clipboard: the parts last published, and how often.
std::map<std::string, std::string> g_published;
int g_publishCount = 0;

ClipboardDriver FakeClipboard() {
    ClipboardDriver d;
    d.available = [] { return true; };
    d.started = [] { return true; };
    d.publish = [](const std::vector<std::pair<std::string, std::string>>& parts,
                   const ClipboardImage*) {
        g_published = std::map<std::string, std::string>(parts.begin(), parts.end());
        ++g_publishCount;
    };
    d.read = [](const std::string& type, std::string* bytes) {
        auto it = g_published.find(type);
        if (it == g_published.end()) return false;
        *bytes = it->second;
        return true;
    };
    d.hasType = [](const std::string& type) { return g_published.count(type) > 0; };
    return d;
}

HGLOBAL Block(const std::string& bytes) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
    return h;
}

std::string Read(HANDLE h) {
    if (!h) return "<none>";
    std::string s(static_cast<const char*>(GlobalLock(h)), GlobalSize(h));
    GlobalUnlock(h);
    return s;
}

struct ClipboardDriverTest : ::testing::Test {
    void SetUp() override {
        g_published.clear();
        g_publishCount = 0;
        InstallClipboardDriver(FakeClipboard());
    }
    void TearDown() override { InstallClipboardDriver(ClipboardDriver{}); }
};

}  // namespace

TEST(ClipboardWithoutDriver, ThereIsNoClipboardToOpenOrRead) {
    InstallClipboardDriver(ClipboardDriver{});
    const UINT f = RegisterClipboardFormatA("Vexomat Test Nothing");
    EXPECT_FALSE(OpenClipboard(nullptr));
    EXPECT_FALSE(IsClipboardFormatAvailable(f));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_EQ(GetClipboardData(f), nullptr);
    EXPECT_FALSE(CloseClipboard());
}

TEST_F(ClipboardDriverTest, ClosingPublishesEveryFormatAsOneObjectUnderItsMimeType) {
    const UINT a = RegisterClipboardFormatA("Vexomat Part A");
    const UINT b = RegisterClipboardFormatA("Vexomat Part B");
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr));  // one opener at a time
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_NE(SetClipboardData(a, Block("first")), nullptr);
    ASSERT_NE(SetClipboardData(b, Block(std::string("se\0cond", 7))), nullptr);
    // Nothing reaches the window system before closing; the new contents are readable.
    EXPECT_EQ(g_publishCount, 0);
    EXPECT_TRUE(IsClipboardFormatAvailable(a));
    EXPECT_EQ(Read(GetClipboardData(a)), "first");
    ASSERT_TRUE(CloseClipboard());
    EXPECT_EQ(g_publishCount, 1);
    const std::map<std::string, std::string> expected{
        {"application/x-qt-windows-mime;value=\"Vexomat Part A\"", "first"},
        {"application/x-qt-windows-mime;value=\"Vexomat Part B\"", std::string("se\0cond", 7)}};
    EXPECT_EQ(g_published, expected);
}

TEST_F(ClipboardDriverTest, WhatTheWindowSystemHoldsIsReadBackByFormat) {
    const UINT a = RegisterClipboardFormatA("Vexomat Read Back");
    const UINT missing = RegisterClipboardFormatA("Vexomat Not There");
    g_published["application/x-qt-windows-mime;value=\"Vexomat Read Back\""] = "from elsewhere";
    EXPECT_TRUE(IsClipboardFormatAvailable(a));
    EXPECT_FALSE(IsClipboardFormatAvailable(missing));
    EXPECT_EQ(GetClipboardData(a), nullptr);  // only while open
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(Read(GetClipboardData(a)), "from elsewhere");
    EXPECT_EQ(GetClipboardData(missing), nullptr);
    EXPECT_EQ(GetClipboardData(CF_BITMAP), nullptr);  // the pretend clipboard holds no picture
    ASSERT_TRUE(CloseClipboard());
    EXPECT_EQ(g_publishCount, 0);  // opened and closed without emptying: nothing published
}

TEST_F(ClipboardDriverTest, DataIsRefusedUnlessEmptiedFirstOrOfAnUnknownFormat) {
    const UINT a = RegisterClipboardFormatA("Vexomat Refused");
    HGLOBAL h = Block("kept by the caller");
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(SetClipboardData(a, h), nullptr);  // not emptied
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_EQ(SetClipboardData(0xBEEF, h), nullptr);  // never registered
    ASSERT_TRUE(CloseClipboard());
    EXPECT_EQ(Read(h), "kept by the caller");  // a refused handle stays the caller's
    GlobalFree(h);
}
