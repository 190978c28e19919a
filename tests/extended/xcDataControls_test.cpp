// A list box showing a provider's items draws each with its picture.
#include <gtest/gtest.h>

#include <memory>

#include "controls/extended/xcListBox.h"
#include "platform/vcl/forms.h"

namespace {
struct Init : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);
}  // namespace

TEST(XcDataInControls, AListBoxDrawsAProvidersItemsWithTheirPictures) {
    TForm form{nullptr};
    auto* list = new TXcListBox(&form);
    form.SetBounds(0, 0, 300, 300);
    list->SetParent(&form);
    list->SetBounds(10, 10, 200, 150);
    form.Show();
    Application->ProcessMessages();
    auto* pictures = new TImageList(&form, 8, 8);
    TBitmap red;
    red.SetSize(8, 8);
    red.Canvas()->Brush()->Color = clRed;
    red.Canvas()->FillRect(Rect(0, 0, 8, 8));
    pictures->Add(&red, nullptr);
    TXcDataProviderBase provider;
    auto* images = provider.RootItems()->AddImplementer(
        std::make_unique<TXcCustomDataItemsImages>(provider.RootItems()));
    images->SetImages(pictures);
    provider.RootItems()->Add("alpha")->GetInterface<IXcDataItemImage>()->SetImageIndex(0);
    provider.RootItems()->Add("beta");
    list->Provider()->SetProvider(&provider);
    Application->ProcessMessages();
    const TRect r0 = list->ItemRect(0), r1 = list->ItemRect(1);
    gdi::Image shot;
    ASSERT_TRUE(list->Peer()->grab(shot));
    // The first row starts with its red picture, the second (without one) does not.
    const int x = r0.Left + 2 + 4;
    EXPECT_EQ(shot.pixel(x, r0.Top + r0.Height() / 2), ColorToRGB(clRed));
    EXPECT_NE(shot.pixel(x, r1.Top + r1.Height() / 2), ColorToRGB(clRed));
    // Without the provider the list is drawn as before.
    list->Provider()->SetProvider(nullptr);
    EXPECT_EQ(list->Style(), lbStandard);
}
