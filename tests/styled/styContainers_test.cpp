// Change links, the image strips and bitmap lists the controls take their images from,
// item records, containers in streams and container files (also damaged ones).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "controls/styled/styFormShape.h"
#include "controls/styled/styImageLists.h"
#include "controls/styled/styStreamIO.h"
#include "platform/rtl/hex.h"
#include "platform/rtl/sysutils.h"
#include "platform/vcl/formreader.h"
#include "tests/styled/styStreamSupport.h"

namespace {

TEST(StyChangeLink, RegisteredLinksHearChangesAndLeaveInAnyOrder) {
    auto* list = new TStyBitmapList(nullptr);
    std::vector<std::string> heard;
    auto a = std::make_unique<TStyChangeLink>();
    auto b = std::make_unique<TStyChangeLink>();
    a->OnChange = [&](TObject* s) { heard.push_back(s == list ? "a" : "a?"); };
    b->OnChange = [&](TObject*) { heard.push_back("b"); };
    list->RegisterChanges(a.get());
    list->RegisterChanges(b.get());
    EXPECT_EQ(a->Sender, list);
    TBitmap bmp;
    PaintPattern(bmp, 4, 4);
    list->AddBitmap(&bmp);
    EXPECT_EQ(heard, (std::vector<std::string>{"a", "b"}));

    heard.clear();
    list->BeginUpdate();
    list->Clear();
    list->AddItem();
    EXPECT_TRUE(heard.empty());  // locked: once at the end
    list->EndUpdate(true);
    EXPECT_EQ(heard, (std::vector<std::string>{"a", "b"}));

    a.reset();  // a link freed first unregisters itself
    EXPECT_EQ(list->LinkCount(), 1);
    delete list;  // a container freed first unregisters the rest
    EXPECT_EQ(b->Sender, nullptr);
}

TEST(StyImageListItem, AddsWholeCellsAndRefusesOtherSizes) {
    TStyImageListItem item(nullptr, 16, 16);
    TBitmap strip;
    PaintPattern(strip, 48, 16);
    EXPECT_EQ(item.Add(&strip, nullptr), 0);
    EXPECT_EQ(item.Count(), 3);
    EXPECT_EQ(item.OffsetOf(2), 32);
    EXPECT_EQ(item.OffsetOf(3), -1);
    TBitmap cell;
    ASSERT_TRUE(item.GetImage(1, &cell));
    EXPECT_EQ(ColorToRGB(cell.Canvas()->Pixel(0, 0)), ColorToRGB(strip.Canvas()->Pixel(16, 0)));

    TBitmap odd;
    PaintPattern(odd, 40, 16);
    try {
        item.Add(&odd, nullptr);
        FAIL() << "a 40-pixel strip was taken";
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Message, "无效的图像大小");
    }
    PaintPattern(odd, 16, 15);
    EXPECT_THROW(item.Add(&odd, nullptr), EInvalidGraphicOperation);
    EXPECT_EQ(item.Count(), 3);
    EXPECT_EQ(item.Add(nullptr, nullptr), 3);  // an empty slot
    EXPECT_EQ(item.Count(), 4);

    EXPECT_THROW(TStyImageListItem(nullptr, 0, 16), EInvalidGraphicOperation);
    item.SetWidth(0);  // ignored
    EXPECT_EQ(item.Count(), 4);
    item.SetWidth(8);  // empties
    EXPECT_EQ(item.Count(), 0);
}

TEST(StyImageListItem, StripStopsAt32768Pixels) {
    TStyImageListItem item(nullptr, 1024, 2);
    TBitmap strip;
    strip.SetSize(1024 * 32, 2);
    item.Add(&strip, nullptr);
    EXPECT_EQ(item.Count(), 32);
    strip.SetSize(1024, 2);
    try {
        item.Add(&strip, nullptr);
        FAIL();
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Message, "图像太多");
    }
}

TEST(StyImageListItem, MaskedDrawingKeepsTheBackgroundWhereTheMaskIsWhite) {
    TStyImageListItem item(nullptr, 4, 4);
    TBitmap img;
    img.SetSize(4, 4);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), white = CreateSolidBrush(RGB(255, 255, 255));
    RECT all{0, 0, 4, 4}, inner{1, 1, 3, 3};
    FillRect(img.Canvas()->Handle(), &all, white);
    FillRect(img.Canvas()->Handle(), &inner, red);
    DeleteObject(red);
    DeleteObject(white);
    item.AddMasked(&img, clWhite);
    TBitmap dest;
    dest.SetSize(6, 6);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT d{0, 0, 6, 6};
    FillRect(dest.Canvas()->Handle(), &d, blue);
    DeleteObject(blue);
    item.DrawImage(dest.Canvas(), 1, 1, 0);
    EXPECT_EQ(ColorToRGB(dest.Canvas()->Pixel(1, 1)), RGB(0, 0, 255));  // transparent corner
    EXPECT_EQ(ColorToRGB(dest.Canvas()->Pixel(2, 2)), RGB(255, 0, 0));
    item.SetMasked(false);  // the image stays, drawn whole now
    EXPECT_EQ(item.Count(), 1);
    item.DrawImage(dest.Canvas(), 1, 1, 0);
    EXPECT_EQ(ColorToRGB(dest.Canvas()->Pixel(1, 1)),
              RGB(0, 0, 0));  // the masked-out part is black
}

TEST(StyImageLists, AnswerNeutrallyOutsideTheList) {
    TStyImageList images(nullptr);
    TStyBitmapList bitmaps(nullptr);
    for (TStyCustomImageList* l : {static_cast<TStyCustomImageList*>(&images),
                                   static_cast<TStyCustomImageList*>(&bitmaps)}) {
        TRect r;
        EXPECT_EQ(l->GetSize(5, 0), 0);
        EXPECT_FALSE(l->HasImages(5));
        EXPECT_FALSE(l->GetImageRect(5, 0, r));
        EXPECT_EQ(l->TransparentColorOf(5, 0), TColor(0xFFFFFF));
        EXPECT_EQ(l->PixelOf(5, 0, TPoint{0, 0}), TColor(0xFFFFFF));
        EXPECT_EQ(l->GetCanvas(5), nullptr);
        EXPECT_FALSE(l->HasImage(0, 0));
    }
    EXPECT_EQ(images.ImageCount(5), -1);
    EXPECT_EQ(bitmaps.ImageCount(5), 0);

    auto* strip = static_cast<TStyImageListItem*>(images.AddItem());
    strip->SetWidth(8);
    strip->SetHeight(8);
    TBitmap b;
    PaintPattern(b, 24, 8);
    strip->Add(&b, nullptr);
    TRect r;
    ASSERT_TRUE(images.GetImageRect(0, 2, r));
    EXPECT_EQ(r.Left, 16);
    EXPECT_EQ(r.Right, 24);
    EXPECT_EQ(r.Bottom, 8);
    EXPECT_EQ(images.ImageCount(0), 3);
    EXPECT_TRUE(images.HasImage(0, 2));
    EXPECT_FALSE(images.HasImage(0, 3));
    EXPECT_EQ(ColorToRGB(images.PixelOf(0, 1, TPoint{1, 2})), ColorToRGB(b.Canvas()->Pixel(9, 2)));
    EXPECT_EQ(ColorToRGB(images.TransparentColorOf(0, 1)), ColorToRGB(b.Canvas()->Pixel(8, 7)));

    bitmaps.AddBitmap(&b);
    EXPECT_EQ(bitmaps.ImageCount(0), 1);
    EXPECT_EQ(bitmaps.GetSize(0, 0), 24);
    TBitmap out;
    ASSERT_TRUE(bitmaps.GetBitmap(0, 0, &out));
    EXPECT_TRUE(SamePixels(out, b));
}

TEST(StyContainer, FourListsAndTheSharedReferences) {
    auto* c = new TStyContainer(nullptr);
    EXPECT_EQ(c->ComponentCount(), 4);
    EXPECT_EQ(c->BitmapList()->Kind(), ckBitmapList);
    TStyChangeLink link;
    c->ImageList()->RegisterChanges(&link);
    int changes = 0;
    c->OnChange = [&](TObject*) { ++changes; };
    c->StringList()->AddItem();
    EXPECT_EQ(changes, 1);
    delete c;
    EXPECT_EQ(link.Sender, nullptr);

    TStyContainer* g = StyGlobalContainer();
    EXPECT_EQ(StyListReferenceName(g->BitmapList()), "STYBML30");
    EXPECT_EQ(StyListReferenceName(g->ImageList()), "STYIML30");
    TStyImageList other(nullptr);
    EXPECT_EQ(StyListReferenceName(&other), "");
    EXPECT_EQ(StyListFromReferenceName("STYIML30"), g->ImageList());
    EXPECT_EQ(StyListFromReferenceName("STYWVL30"), nullptr);
}

TEST(StyFindComponent, FirstComponentOfTheClassOnAForm) {
    TForm form(nullptr);
    new TStyWaveList(&form);
    new TStyStringList(&form);
    new TStyImageList(&form);
    new TStyBitmapList(&form);
    EXPECT_EQ(FindComponentIndexByClass<TStyImageList>(&form), 2);
    EXPECT_EQ(FindComponentIndexByClass<TStyCustomImageList>(&form), 2);
    EXPECT_EQ(FindComponentIndexByClass<TStyContainer>(&form), -1);
    EXPECT_EQ(FindComponentIndexByClass<TStyImageList>(nullptr), -1);
    TStyContainer notAForm(nullptr);
    EXPECT_EQ(FindComponentIndexByClass<TStyImageList>(&notAForm), -1);
}

}  // namespace

namespace {

struct TempFile {
    std::string name;
    explicit TempFile(const std::string& n) : name(::testing::TempDir() + n) {}
    ~TempFile() { std::remove(name.c_str()); }
};

TEST(StyContainerFiles, BitmapsStripsStringsAndWavesReadBackEqual) {
    TStyContainer c(nullptr);
    // Bitmaps: plain and compressed, at their own depth and at 4 bits.
    TBitmap a, b;
    PaintPattern(a, 9, 7, 2);
    b.SetSize(6, 5);
    PatBlt(b.Canvas()->Handle(), 0, 0, 6, 5, BLACKNESS);
    b.Canvas()->SetPixel(2, 2, clRed);
    TStyBitmapListItem* first = c.BitmapList()->AddBitmap(&a);
    first->SetDescription("第一");
    first->SetIdent(12);
    TStyBitmapListItem* second = c.BitmapList()->AddBitmap(&b);
    second->SetCompressed(true);
    second->PixelFormat = spf4bit;
    c.BitmapList()->AddItem();  // empty
    // An image strip with a mask.
    auto* strip = static_cast<TStyImageListItem*>(c.ImageList()->AddItem());
    strip->SetWidth(8);
    strip->SetHeight(6);
    TBitmap cells;
    PaintPattern(cells, 24, 6, 5);
    strip->AddMasked(&cells, TColor(cells.Canvas()->Pixel(0, 5)));
    strip->SetCompressed(true);
    // Strings and a wave.
    auto* lines = static_cast<TStyStringListItem*>(c.StringList()->AddItem());
    lines->Items()->Add("第一行");
    lines->Items()->Add("second");
    auto* sound = static_cast<TStyWaveListItem*>(c.WaveList()->AddItem());
    TMemoryStream wbytes;
    PutBytes(wbytes, MakeWaveBytes(700));
    sound->Wave()->LoadFromStreamRest(wbytes);
    sound->SetCompressed(true);

    TempFile bml("c.bml"), iml("c.iml"), sll("c.sll"), wvl("c.wvl");
    c.BitmapList()->SaveToFile(bml.name);
    c.ImageList()->SaveToFile(iml.name);
    c.StringList()->SaveToFile(sll.name);
    c.WaveList()->SaveToFile(wvl.name);

    TStyContainer r(nullptr);
    r.BitmapList()->LoadFromFile(bml.name);
    r.ImageList()->LoadFromFile(iml.name);
    r.StringList()->LoadFromFile(sll.name);
    r.WaveList()->LoadFromFile(wvl.name);

    ASSERT_EQ(r.BitmapList()->Count(), 3);
    EXPECT_EQ(r.BitmapList()->Bitmaps(0)->Description(), "第一");
    EXPECT_EQ(r.BitmapList()->Bitmaps(0)->Ident(), 12);
    EXPECT_TRUE(SamePixels(*r.BitmapList()->Bitmaps(0)->StoredBitmap(), a));
    EXPECT_TRUE(r.BitmapList()->Bitmaps(1)->Compressed());
    EXPECT_EQ(r.BitmapList()->Bitmaps(1)->PixelFormat, spf4bit);
    EXPECT_TRUE(SamePixels(*r.BitmapList()->Bitmaps(1)->StoredBitmap(), b));
    EXPECT_TRUE(r.BitmapList()->Bitmaps(2)->IsEmpty());

    ASSERT_EQ(r.ImageList()->Count(), 1);
    TStyImageListItem* rs = r.ImageList()->Strips(0);
    ASSERT_EQ(rs->Count(), 3);
    EXPECT_TRUE(rs->Masked());
    for (int k = 0; k < 3; ++k) {
        TBitmap x, y, mx, my;
        strip->GetImage(k, &x);
        rs->GetImage(k, &y);
        EXPECT_TRUE(SamePixels(x, y)) << k;
        strip->GetMask(k, &mx);
        rs->GetMask(k, &my);
        EXPECT_TRUE(SamePixels(mx, my)) << k;
    }
    EXPECT_EQ(r.StringList()->Lists(0)->Items()->ToVector(), lines->Items()->ToVector());
    EXPECT_EQ(r.WaveList()->Waves(0)->Wave()->Data()->Bytes(), sound->Wave()->Data()->Bytes());

    // Single items through the offset table, and the header.
    int count = 0;
    std::vector<int32_t> offsets;
    EXPECT_EQ(ReadContainerHeader(bml.name, count, &offsets), ckBitmapList);
    EXPECT_EQ(count, 3);
    TBitmap single;
    LoadBitmapFromFile(bml.name, 1, &single);
    EXPECT_TRUE(SamePixels(single, b));
    TStyStringListItem one(nullptr);
    try {
        LoadItemFromFile(bml.name, ckStringList, nullptr, &one, 0);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_NE(e.Message.find(bml.name), std::string::npos);  // names the file
    }
    EXPECT_THROW(LoadBitmapFromFile(bml.name, 3, &single), EListError);
    // Another container's file is refused whole.
    EXPECT_THROW(r.BitmapList()->LoadFromFile(sll.name), Exception);
}

TEST(StyContainerFiles, DamagedFilesRaiseAndLeaveTheContainerEmpty) {
    TStyStringList list(nullptr);
    for (int i = 0; i < 3; ++i)
        static_cast<TStyStringListItem*>(list.AddItem())->Items()->Add("line " + std::to_string(i));
    TMemoryStream good;
    WriteShortText(good, "STYSLL30");
    list.SaveToStream(good, true);
    const std::vector<uint8_t> bytes = good.Bytes();
    TempFile f("damaged.sll");
    auto tryRead = [&](const std::vector<uint8_t>& b) {
        TMemoryStream m;
        PutBytes(m, b);
        m.SaveToFile(f.name);
        TStyStringList r(nullptr);
        r.AddItem();
        bool raised = false;
        try {
            r.LoadFromFile(f.name);
        } catch (const EStreamError&) {
            raised = true;
        }
        EXPECT_TRUE(raised || r.Count() == 3);
        if (raised) {
            EXPECT_EQ(r.Count(), 0);
        }
        return raised;
    };
    EXPECT_FALSE(tryRead(bytes));
    for (size_t n = 9; n < bytes.size(); n += 3)
        EXPECT_TRUE(tryRead({bytes.begin(), bytes.begin() + long(n)})) << n;
    std::vector<uint8_t> liar = bytes;
    liar[9] = 0xFF, liar[10] = 0xFF, liar[11] = 0xFF, liar[12] = 0x0F;  // a count of 268 million
    EXPECT_TRUE(tryRead(liar));
    std::vector<uint8_t> strip;  // an image strip claiming 100000 images
    TMemoryStream s;
    WriteShortText(s, "STYIML30");
    WriteLongInt(s, 1);
    WriteLongInt(s, 17);
    WriteFlag(s, 0);
    WriteLongInt(s, 16);
    WriteLongInt(s, 16);
    WriteLongInt(s, 4);
    WriteFlag(s, 0);
    WriteLongInt(s, 100000);
    s.SaveToFile(f.name);
    TStyImageList images(nullptr);
    EXPECT_THROW(images.LoadFromFile(f.name), EReadError);
}

TEST(StyListItems, RecordsCarryOnlyWhatTheirFlagsAnnounce) {
    TStyBitmapListItem bare(nullptr);
    TMemoryStream s;
    bare.WriteData(s);
    EXPECT_EQ(BytesOf(s), std::vector<uint8_t>{0});  // the flags byte alone
    TStyBitmapListItem item(nullptr);
    item.SetIdent(0x1234);
    item.PixelFormat = spf8bit;
    s.Clear();
    item.WriteData(s);
    EXPECT_EQ(BytesOf(s), (std::vector<uint8_t>{4 | 64, 0x34, 0x12, 0, 0}));
    item.SetDescription(std::string(300, 'x'));  // too long for its one length byte
    EXPECT_THROW(item.WriteData(s), EStreamError);
}

}  // namespace

namespace {

std::string Hex(const std::vector<uint8_t>& b) {
    return HexBytes(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
}

TEST(StyContainerForms, ItemsNestedInAListJoinIt) {
    RegisterStyContainers();
    TStyBitmapListItem source(nullptr);
    TBitmap bmp;
    PaintPattern(bmp, 4, 3);
    source.SetBitmap(&bmp);
    source.SetCompressed(true);
    TMemoryStream record;
    source.WriteData(record);
    const std::string text =
        "object Form: TForm\n"
        "  object Bitmaps: TStyBitmapList\n"
        "    DefaultCompressed = True\n"
        "    object First: TStyBitmapListItem\n"
        "      Description = 'one'\n"
        "      Internal = {" +
        Hex(BytesOf(record)) +
        "}\n"
        "    end\n"
        "  end\n"
        "end\n";
    TForm form(nullptr);
    ReadForm(&form, text);
    auto* list = dynamic_cast<TStyBitmapList*>(form.FindComponent("Bitmaps"));
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->DefaultCompressed);
    ASSERT_EQ(list->Count(), 1);
    EXPECT_TRUE(list->Bitmaps(0)->Compressed());
    EXPECT_TRUE(SamePixels(*list->Bitmaps(0)->StoredBitmap(), bmp));

    // An item of another kind, or a record cut short, is a reading error of the form.
    TForm other(nullptr);
    EXPECT_THROW(ReadForm(&other,
                          "object Form: TForm\n object L: TStyBitmapList\n"
                          "  object S: TStyStringListItem\n  end\n end\nend\n"),
                 EReadError);
    TForm cut(nullptr);
    const std::string half = Hex(BytesOf(record)).substr(0, 20);
    EXPECT_THROW(
        ReadForm(&cut,
                 "object Form: TForm\n object L: TStyBitmapList\n  object B: TStyBitmapListItem\n"
                 "   Internal = {" +
                     half + "}\n  end\n end\nend\n"),
        EReadError);
}

}  // namespace
