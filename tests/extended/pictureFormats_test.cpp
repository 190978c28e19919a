// The extended layer's picture classes are known to pictures by extension from the program's
// start, each with the text that names its format, and are taken out again at its end.
#include "controls/extended/xcAni.h"
#include "platform/user/clipboard.h"
#include "tests/extended/pictures_support.h"

using namespace pictest;

TEST(PictureFormats, GifAndAniAreRegisteredAtStartWithTheirDescriptions) {
    // Nothing here registers them: the units did when the program started.
    struct Row {
        const char* ext;
        const char* description;
    };
    for (const Row& r : {Row{"gif", "CompuServe GIF 图像"}, Row{"GIF", "CompuServe GIF 图像"},
                         Row{"ani", "ANI 图像"}}) {
        SCOPED_TRACE(r.ext);
        EXPECT_TRUE(TPicture::SupportsFileFormat(r.ext));
        EXPECT_EQ(TPicture::FileFormatDescription(r.ext), r.description);
    }
    EXPECT_TRUE(TPicture::SupportsClipboardFormat(CF_GIF));
    EXPECT_EQ(TPicture::FileFormatDescription("bmp"), "");  // the class library's own

    TXcGIFImage gif;
    gif.Data->ColorTable = Table(4, 3);
    gif.Data->BitsPerPixel = 2;
    AddIndexedFrame(gif, FrameSpec{.width = 5, .height = 4, .bits = 2, .seed = 1});
    TPicture picture;
    picture.LoadFromData("gif", Save(gif));
    auto* read = dynamic_cast<TXcGIFImage*>(picture.Graphic());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Width(), 5);
}

TEST(PictureFormats, TheUnitsEndTakesEachClassOut) {
    UnregisterGIFFormat();
    EXPECT_FALSE(TPicture::SupportsFileFormat("gif"));
    EXPECT_EQ(TPicture::FileFormatDescription("gif"), "");
    EXPECT_FALSE(TPicture::SupportsClipboardFormat(CF_GIF));
    TPicture picture;
    EXPECT_THROW(picture.LoadFromData("gif", "GIF89a"), EInvalidOperation);
    // The other classes stay.
    EXPECT_TRUE(TPicture::SupportsFileFormat("ani"));
    EXPECT_TRUE(TPicture::SupportsFileFormat("bmp"));
    EXPECT_TRUE(TPicture::SupportsClipboardFormat(CF_BITMAP));
    UnregisterAniFormat();
    EXPECT_FALSE(TPicture::SupportsFileFormat("ani"));
    // Registering again brings them back (for the tests that follow in this process).
    RegisterGIFFormat();
    RegisterAniFormat();
    EXPECT_EQ(TPicture::FileFormatDescription("gif"), "CompuServe GIF 图像");
    EXPECT_TRUE(TPicture::SupportsClipboardFormat(CF_GIF));
    EXPECT_EQ(TPicture::FileFormatDescription("ani"), "ANI 图像");
}
