// Change links, the image strips and bitmap lists the controls take their images from,
// item records, containers in streams and container files (also damaged ones).
#include <gtest/gtest.h>

#include <cstdio>

#include "controls/styled/styFormShape.h"
#include "controls/styled/styImageLists.h"
#include "controls/styled/styStreamIO.h"
#include "platform/rtl/sysutils.h"
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
