// The GIF picture: round trips of every table depth, interlacing, transparency and the four
// disposals; files read by giflib and ImageMagick; ImageMagick's files read here; damaged
// and absurd files.
#include <gif_lib.h>

#include "tests/extended/pictures_support.h"

using namespace pictest;

namespace {

std::unique_ptr<TXcGIFImage> Load(const std::string& bytes) {
    auto g = std::make_unique<TXcGIFImage>();
    g->LoadFromData(bytes);
    return g;
}

// A GIF of the given frames, global table of GlobalBits (0 = none).
std::vector<Indices> Build(TXcGIFImage& gif, int globalBits, const std::vector<FrameSpec>& specs) {
    if (globalBits) {
        gif.Data->ColorTable = Table(1 << globalBits, 99);
        gif.Data->BitsPerPixel = uint8_t(globalBits);
    }
    std::vector<Indices> px;
    for (const auto& s : specs) px.push_back(AddIndexedFrame(gif, s));
    return px;
}

struct GiflibFile {
    GifFileType* gif = nullptr;
    std::string bytes;
    size_t at = 0;
    explicit GiflibFile(std::string b) : bytes(std::move(b)) {
        int err = 0;
        gif = DGifOpen(
            this,
            [](GifFileType* g, GifByteType* out, int n) {
                auto* self = static_cast<GiflibFile*>(g->UserData);
                const int take = int(std::min<size_t>(size_t(n), self->bytes.size() - self->at));
                std::memcpy(out, self->bytes.data() + self->at, size_t(take));
                self->at += size_t(take);
                return take;
            },
            &err);
        if (gif && DGifSlurp(gif) != GIF_OK) {
            DGifCloseFile(gif, &err);
            gif = nullptr;
        }
    }
    ~GiflibFile() {
        int err;
        if (gif) DGifCloseFile(gif, &err);
    }
};

}  // namespace

TEST(XcGifImage, RoundTripOfEveryTableDepthPlainAndInterlaced) {
    for (int bits : {1, 2, 4, 8})
        for (bool interlaced : {false, true})
            for (bool local : {false, true}) {
                SCOPED_TRACE(testing::Message()
                             << bits << " bits, interlaced " << interlaced << ", local " << local);
                TXcGIFImage gif;
                FrameSpec s;
                s.width = 37;
                s.height = 23;
                s.bits = bits;
                s.interlaced = interlaced;
                s.local = local;
                s.seed = unsigned(bits * 10 + interlaced);
                auto px = Build(gif, local ? 0 : bits, {s});
                const std::string file = Save(gif);
                auto back = Load(file);
                ASSERT_EQ(back->FrameCount(), 1);
                TXcGIFFrame& f = *back->Frames(0);
                EXPECT_EQ(f.Interlaced, interlaced);
                EXPECT_EQ(f.LocalColors, local);
                EXPECT_EQ(f.Item->ColorTable.Count, 1u << bits);
                EXPECT_EQ(DecodeGifFrameIndices(f, false), px[0]);
                EXPECT_EQ(back->Width(), 37);
                EXPECT_EQ(back->Height(), 23);
                // The decoded bitmap shows the table's colours.
                const TGifColorTable& t = f.Item->ColorTable;
                TBitmap* bmp = f.Bitmap();
                EXPECT_EQ(uint32_t(bmp->Image().pixel(5, 7)), t.RGB(px[0][7 * 37 + 5]));
                // Written again, byte for byte the same file.
                EXPECT_EQ(Save(*back), file);
            }
}

TEST(XcGifImage, FramesWithEachDisposalDelayAndTransparencyReadBack) {
    TXcGIFImage gif;
    std::vector<FrameSpec> specs;
    for (int d = 0; d < 4; ++d) {
        FrameSpec s;
        s.left = 3 * d;
        s.top = 2 * d;
        s.width = 20 - d;
        s.height = 15 + d;
        s.bits = 4;
        s.disposal = d;
        s.delayMs = 100 * (d + 1);
        s.transparentIndex = d == 2 ? -1 : d + 1;
        s.seed = unsigned(d + 5);
        s.local = d == 3;
        specs.push_back(s);
    }
    auto px = Build(gif, 4, specs);
    gif.Looping = true;
    gif.RepeatCount = 7;
    const std::string file = Save(gif);
    EXPECT_NE(file.find("NETSCAPE2.0"), std::string::npos);
    EXPECT_EQ(file.substr(0, 6), "GIF89a");
    auto back = Load(file);
    ASSERT_EQ(back->FrameCount(), 4);
    EXPECT_TRUE(back->Looping);
    EXPECT_EQ(back->RepeatCount, 7);
    EXPECT_EQ(back->ScreenWidth, 26);
    EXPECT_EQ(back->ScreenHeight, 24);
    for (int d = 0; d < 4; ++d) {
        TXcGIFFrame& f = *back->Frames(d);
        EXPECT_EQ(f.Disposal, d);
        EXPECT_EQ(f.DisplayTime, 100 * (d + 1));
        EXPECT_EQ(f.Left, 3 * d);
        EXPECT_EQ(f.Top, 2 * d);
        const uint32_t want =
            specs[size_t(d)].transparentIndex < 0
                ? GifNoColor
                : f.Item->ColorTable.RGB(unsigned(specs[size_t(d)].transparentIndex));
        EXPECT_EQ(f.TransparentColor, want);
        EXPECT_EQ(DecodeGifFrameIndices(f, false), px[size_t(d)]);
    }
    EXPECT_TRUE(back->GetTransparent());
}

TEST(XcGifImage, FilesWrittenHereReadByGiflibWithTheSameFrames) {
    TXcGIFImage gif;
    std::vector<FrameSpec> specs;
    for (int d = 0; d < 4; ++d) {
        FrameSpec s;
        s.left = d;
        s.top = 2 * d;
        s.width = 31 + d;
        s.height = 17;
        s.bits = d == 1 ? 1 : 8;
        s.local = d == 1;
        s.interlaced = d == 2;
        s.disposal = d;
        s.delayMs = 50 * d;
        s.transparentIndex = d == 3 ? 0 : -1;
        s.seed = unsigned(40 + d);
        specs.push_back(s);
    }
    auto px = Build(gif, 8, specs);
    gif.Looping = true;
    gif.RepeatCount = 0;
    GiflibFile g(Save(gif));
    ASSERT_NE(g.gif, nullptr);
    ASSERT_EQ(g.gif->ImageCount, 4);
    for (int d = 0; d < 4; ++d) {
        SavedImage& si = g.gif->SavedImages[d];
        EXPECT_EQ(si.ImageDesc.Left, specs[size_t(d)].left);
        EXPECT_EQ(si.ImageDesc.Top, specs[size_t(d)].top);
        EXPECT_EQ(si.ImageDesc.Width, specs[size_t(d)].width);
        EXPECT_EQ(si.ImageDesc.Height, specs[size_t(d)].height);
        EXPECT_EQ(bool(si.ImageDesc.Interlace), specs[size_t(d)].interlaced);
        // DGifSlurp puts interlaced rows in their places.
        Indices got(si.RasterBits,
                    si.RasterBits + size_t(si.ImageDesc.Width) * size_t(si.ImageDesc.Height));
        EXPECT_EQ(got, px[size_t(d)]) << "frame " << d;
        GraphicsControlBlock gcb;
        if (d == 0) {  // nothing to say: no graphic control block
            EXPECT_EQ(DGifSavedExtensionToGCB(g.gif, d, &gcb), GIF_ERROR);
            continue;
        }
        ASSERT_EQ(DGifSavedExtensionToGCB(g.gif, d, &gcb), GIF_OK);
        EXPECT_EQ(gcb.DisposalMode, d);
        EXPECT_EQ(gcb.DelayTime, 5 * d);
        EXPECT_EQ(gcb.TransparentColor, specs[size_t(d)].transparentIndex);
    }
    EXPECT_EQ(g.gif->SavedImages[1].ImageDesc.ColorMap->ColorCount, 2);
}

TEST(XcGifImage, FilesWrittenHereReadByImageMagickWithTheSameFrames) {
    if (!HaveImageMagick()) GTEST_SKIP() << "ImageMagick is not installed";
    TXcGIFImage gif;
    std::vector<FrameSpec> specs;
    for (int d = 0; d < 3; ++d) {
        FrameSpec s;
        s.left = 2 * d;
        s.top = d;
        s.width = 25 + d;
        s.height = 12 + d;
        s.disposal = d + 1;
        s.delayMs = 70 + 10 * d;
        s.seed = unsigned(d + 70);
        specs.push_back(s);
    }
    Build(gif, 8, specs);
    TempDir dir;
    WriteAll(dir / "a.gif", Save(gif));
    std::string out;
    ASSERT_EQ(RunProgram({"identify", "-format", "%W %H %w %h %X %Y %T %D\n", dir / "a.gif"}, out),
              0);
    std::istringstream lines(out);
    const char* dispose[] = {"Undefined", "None", "Background", "Previous"};
    for (int d = 0; d < 3; ++d) {
        int W, H, w, h, x, y, t;
        std::string disp;
        ASSERT_TRUE(lines >> W >> H >> w >> h >> x >> y >> t >> disp) << out;
        EXPECT_EQ(W, 31);
        EXPECT_EQ(H, 16);
        EXPECT_EQ(w, specs[size_t(d)].width);
        EXPECT_EQ(h, specs[size_t(d)].height);
        EXPECT_EQ(x, specs[size_t(d)].left);
        EXPECT_EQ(y, specs[size_t(d)].top);
        EXPECT_EQ(t, specs[size_t(d)].delayMs / 10);
        EXPECT_EQ(disp, dispose[d + 1]);
    }
    EXPECT_FALSE(lines >> out);
}

TEST(XcGifImage, GifsMadeByImageMagickReadHereWithTheSamePixels) {
    if (!HaveImageMagick()) GTEST_SKIP() << "ImageMagick is not installed";
    TempDir dir;
    // Two pictures of few colours, as plain PPM files, animated into one GIF.
    const int w = 41, h = 29;
    std::vector<std::vector<uint32_t>> pics(2);
    for (int k = 0; k < 2; ++k) {
        std::string ppm = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint32_t c = ((x / 5 + y / 3 + k) % 6) * 0x2A1533u & 0xFFFFFF;
                pics[size_t(k)].push_back(c);
                ppm.push_back(char(c >> 16));
                ppm.push_back(char(c >> 8));
                ppm.push_back(char(c));
            }
        WriteAll(dir / ("p" + std::to_string(k) + ".ppm"), ppm);
    }
    std::string out;
    ASSERT_EQ(RunProgram({"convert", "-delay", "20", dir / "p0.ppm", dir / "p1.ppm", "-loop", "3",
                          dir / "a.gif"},
                         out),
              0);
    ASSERT_EQ(RunProgram({"convert", dir / "p0.ppm", "-interlace", "GIF", dir / "i.gif"}, out), 0);
    auto anim = Load(ReadAll(dir / "a.gif"));
    ASSERT_EQ(anim->FrameCount(), 2);
    EXPECT_TRUE(anim->Looping);
    EXPECT_EQ(anim->RepeatCount, 2);  // ImageMagick stores the repeats after the first run
    TGifComposer screen(*anim, false);
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(anim->Frames(k)->DisplayTime, 200);
        screen.Draw(*anim->Frames(k));
        // ImageMagick may store only the changed part of the second frame.
        EXPECT_EQ(screen.Screen(), pics[size_t(k)]) << "frame " << k;
    }
    auto inter = Load(ReadAll(dir / "i.gif"));
    ASSERT_EQ(inter->FrameCount(), 1);
    EXPECT_TRUE(inter->Frames(0)->Interlaced);
    TGifComposer one(*inter, false);
    one.Draw(*inter->Frames(0));
    EXPECT_EQ(one.Screen(), pics[0]);
}

TEST(XcGifImage, BitmapFramesAreEncodedAndComeBackWithTheirColours) {
    TBitmap bmp;
    bmp.SetSize(19, 11);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 19; ++x)
            bmp.Image().setPixel(x, y,
                                 (x * 13 + y * 7) % 5 == 0 ? 0x2040C0 : 0x10A010 + uint32_t(x));
    bmp.Transparent = true;
    bmp.TransparentColor = 0x2040C0;
    TXcGIFImage gif;
    EXPECT_EQ(gif.AddFrame(&bmp), 0);
    EXPECT_EQ(gif.AddFrame(&bmp), 1);
    EXPECT_EQ(gif.Version, 2);
    auto back = Load(Save(gif));
    ASSERT_EQ(back->FrameCount(), 2);
    TBitmap* got = back->Frames(1)->Bitmap();
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 19; ++x)
            ASSERT_EQ(got->Image().pixel(x, y), bmp.Image().pixel(x, y)) << x << "," << y;
    EXPECT_EQ(back->Frames(0)->TransparentColor, 0x2040C0u);
    // The first frame's table became the global one; the second keeps its own.
    EXPECT_FALSE(back->Frames(0)->LocalColors);
    EXPECT_TRUE(back->Frames(1)->LocalColors);
    // Drawn transparently, the transparent colour leaves the canvas as it was.
    TBitmap target;
    target.SetSize(19, 11);
    target.Canvas()->Brush()->Color = clWhite;
    target.Canvas()->FillRect(Rect(0, 0, 19, 11));
    target.Canvas()->Draw(0, 0, back.get());
    EXPECT_EQ(target.Image().pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(target.Image().pixel(1, 0) & 0xFFFFFF, bmp.Image().pixel(1, 0) & 0xFFFFFF);
}

TEST(XcGifImage, EdgeCasesOfTheFormat) {
    TXcGIFImage gif;
    auto px = Build(gif, 2, {FrameSpec{.bits = 2}});
    std::string file = Save(gif);
    {  // The resource form with a count of 0 is an empty image.
        TMemoryStream m;
        m.WriteBuffer("\0\0\0\0", 4);
        m.SetPosition(0);
        TXcGIFImage e;
        e.ReadData(m);
        EXPECT_TRUE(e.Empty());
        EXPECT_EQ(e.Width(), 0);
    }
    {  // "gif89A" is accepted; another version is not.
        std::string s = file;
        s.replace(0, 6, "gif89A");
        EXPECT_EQ(Load(s)->FrameCount(), 1);
        s.replace(3, 3, "90a");
        EXPECT_THROW(Load(s), EInvalidGraphicOperation);
        EXPECT_THROW(Load("GIF"), EInvalidGraphicOperation);
    }
    {  // No trailer: reads completely.
        std::string s = file.substr(0, file.size() - 1);
        auto g = Load(s);
        EXPECT_EQ(DecodeGifFrameIndices(*g->Frames(0), false), px[0]);
    }
    {  // Comments after the last frame fill the comment, with a blank line between two.
        std::string s = file.substr(0, file.size() - 1) + Bytes({'!', 0xFE, 2, 'h', 'i', 0}) +
                        Bytes({'!', 0xFE, 3, 'y', 'o', 'u', 0, ';'});
        auto g = Load(s);
        ASSERT_EQ(g->Data->Comment.size(), 3u);
        EXPECT_EQ(g->Data->Comment[0], "hi");
        EXPECT_EQ(g->Data->Comment[2], "you");
    }
    {  // A loop count of 40000 is read as 30000.
        std::string s = file;
        s.insert(13 + 12, Bytes({'!', 0xFF, 11}) + "NETSCAPE2.0" + Bytes({3, 1, 0x40, 0x9C, 0}));
        auto g = Load(s);
        EXPECT_TRUE(g->Looping);
        EXPECT_EQ(g->RepeatCount, 30000);
        // One frame: no loop block is written.
        EXPECT_EQ(Save(*g).find("NETSCAPE"), std::string::npos);
    }
    {  // A transparent entry whose colour stands elsewhere too gets a blue of its own.
        TXcGIFImage g;
        g.Data->ColorTable = Table(4, 1);
        for (int i = 0; i < 4; ++i)
            g.Data->ColorTable.Colors[i][0] = g.Data->ColorTable.Colors[i][1] =
                g.Data->ColorTable.Colors[i][2] = 9;
        FrameSpec s;
        s.bits = 2;
        s.transparentIndex = 2;
        AddIndexedFrame(g, s);
        auto b = Load(Save(g));
        const TGifColorTable& t = b->Frames(0)->Item->ColorTable;
        // Written as the first entry of that colour, which is then moved apart.
        EXPECT_EQ(t.IndexOf(b->Frames(0)->TransparentColor), 0);
        EXPECT_EQ(t.Colors[0][2], 8);
        EXPECT_EQ(t.IndexOf(0x090909), 1);
    }
    EXPECT_THROW(gif.SetWidth(3), EInvalidGraphicOperation);
    TXcGIFImage none;
    EXPECT_THROW(Save(none), EInvalidGraphicOperation);
}

// Damaged and absurd files end in a clear error (or, tolerated, keep what decoded), never
// in an unbounded allocation, a read past the data or an endless loop.
TEST(XcGifImage, DamagedFilesFailClearlyOrKeepWhatDecoded) {
    TXcGIFImage gif;
    FrameSpec s;
    s.width = 60;
    s.height = 40;
    auto px = Build(gif, 8, {s});
    const std::string file = Save(gif);
    const bool old = TolerateCorruptGifData;
    // Every cut of the file: inside the frame's data, tolerated, no error; strict, a read
    // error unless only the closing block and the trailer are missing. Inside the image
    // descriptor, an error either way.
    const size_t data = 13 + 768 + 10 + 1;
    for (size_t cut = 13 + 768 + 2; cut < file.size(); ++cut) {
        TolerateCorruptGifData = true;
        if (cut < data)
            EXPECT_THROW(Load(file.substr(0, cut)), EInvalidGraphicOperation) << cut;
        else
            EXPECT_NO_THROW(Load(file.substr(0, cut))->Width()) << cut;
        TolerateCorruptGifData = false;
        if (cut < file.size() - 2) {
            EXPECT_THROW(Load(file.substr(0, cut))->Width(), EInvalidGraphicOperation) << cut;
        }
    }
    TolerateCorruptGifData = true;
    {  // The part that decoded is kept.
        auto g = Load(file.substr(0, file.size() / 2));
        Indices got = DecodeGifFrameIndices(*g->Frames(0), true);
        EXPECT_TRUE(g->Frames(0)->Corrupted);
        EXPECT_TRUE(std::equal(got.begin(), got.begin() + 60, px[0].begin()));
        // Written back, the frame's data gets its closing block: the blocks read strictly.
        const std::string again = Save(*g);
        TGifImageRecord image;
        struct Sink : TGifFrameSink {
            int frames = 0;
            std::unique_ptr<TGifFrameRecord> NewFrame() override {
                return std::make_unique<TGifFrameRecord>();
            }
            void AppendFrame(std::unique_ptr<TGifFrameRecord> f) override {
                frames += !f->Corrupted;
            }
        } sink;
        ReadGifStream(reinterpret_cast<const uint8_t*>(again.data()), again.size(), image, sink,
                      false);
        EXPECT_EQ(sink.frames, 1);
    }
    {  // A resource count beyond the data is refused before anything is allocated.
        TMemoryStream m;
        m.WriteBuffer(
            "\xFF\xFF\xFF\x7F"
            "GIF89a",
            10);
        m.SetPosition(0);
        TXcGIFImage g;
        EXPECT_THROW(g.ReadData(m), EInvalidGraphicOperation);
    }
    {  // An unknown extension label names itself.
        std::string s3 = file;
        s3.insert(13 + 768, Bytes({'!', 0x77, 0}));
        try {
            Load(s3);
            ADD_FAILURE();
        } catch (const EInvalidGraphicOperation& e) {
            EXPECT_STREQ(e.what(), "未被承认的扩展块: 77");
        }
    }
    TolerateCorruptGifData = old;
}

TEST(XcGifImage, AbsurdFrameSizeIsAClearError) {
    std::string s = Bytes({'G', 'I', 'F', '8',  '9',  'a',  10,   0, 10, 0, 0,    0,    0, ',', 0,
                           0,   0,   0,   0xFF, 0xFF, 0xFF, 0xFF, 0, 2,  2, 0x4C, 0x01, 0, ';'});
    TXcGIFImage g;
    // The frame is read; decoding it (at once, for the first frame) is refused.
    EXPECT_THROW(g.LoadFromData(s), EInvalidGraphicOperation);
    ASSERT_EQ(g.FrameCount(), 1);
    EXPECT_THROW(g.Frames(0)->Bitmap(), EInvalidGraphicOperation);
}

TEST(XcGifImage, TransparentEntryAmongEveryBlueStopsLooking) {
    // 256 entries of one red and green and every blue: no blue is free, the colour stays.
    std::string s = Bytes({'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0xF7, 0, 0});
    for (int i = 0; i < 256; ++i) s += Bytes({5, 6, i});
    s += Bytes(
        {'!', 0xF9, 4, 1, 0, 0, 7, 0, ',', 0, 0, 0, 0, 1, 0, 1, 0, 0, 8, 2, 0x4C, 0x01, 0, ';'});
    TXcGIFImage g;
    g.LoadFromData(s);
    ASSERT_EQ(g.FrameCount(), 1);
    EXPECT_NE(g.Frames(0)->TransparentColor, GifNoColor);
}

TEST(XcGifImage, LongCommentLinesAreSplitNotCut) {
    TXcGIFImage gif;
    Build(gif, 1, {FrameSpec{}});
    gif.Data->Comment = {std::string(600, 'c')};
    auto back = Load(Save(gif));
    EXPECT_EQ(back->Data->Comment.size(), 1u);
    EXPECT_EQ(back->Data->Comment[0], std::string(600, 'c'));
    EXPECT_EQ(back->Version, 2);
}

TEST(XcGifImage, AssignSharesDataAndCopiesFrames) {
    TXcGIFImage gif;
    auto px = Build(gif, 4, {FrameSpec{}, FrameSpec{.left = 2, .seed = 3}});
    TXcGIFImage copy;
    copy.Assign(gif);
    EXPECT_TRUE(copy.Equals(gif));
    ASSERT_EQ(copy.FrameCount(), 2);
    EXPECT_EQ(copy.Frames(1)->Left, 2);
    EXPECT_EQ(DecodeGifFrameIndices(*copy.Frames(1), false), px[1]);
    TBitmap bmp;
    gif.AssignTo(&bmp);
    EXPECT_EQ(bmp.Width(), 8);
    EXPECT_EQ(Save(copy), Save(gif));
}

TEST(XcGifImage, ImageFromOneFrameTakesTheOwnersScreenColours) {
    for (bool own : {false, true}) {
        SCOPED_TRACE(own ? "its own frame" : "another image's frame");
        TXcGIFImage gif;
        auto px = Build(gif, 4, {FrameSpec{.bits = 4}, FrameSpec{.left = 2, .bits = 4, .seed = 3}});
        gif.Data->AspectRatio = 49;
        gif.Data->ColorResolution = 6;
        const auto item = gif.Frames(1)->Item;
        const TGifColorTable table = gif.Data->ColorTable;
        TXcGIFImage other;
        TXcGIFImage& target = own ? gif : other;
        target.Assign(*gif.Frames(1));
        ASSERT_EQ(target.FrameCount(), 1);
        EXPECT_EQ(target.FrameIndex, 0);
        EXPECT_EQ(target.Frames(0)->Item, item);  // shared data
        EXPECT_EQ(target.Frames(0)->Left, 2);
        EXPECT_EQ(target.Version, 1);
        EXPECT_EQ(target.Data->AspectRatio, 49);
        EXPECT_EQ(target.Data->ColorResolution, 6);
        EXPECT_EQ(target.Data->BitsPerPixel, 4);
        EXPECT_EQ(std::memcmp(&target.Data->ColorTable, &table, sizeof table), 0);
        EXPECT_EQ(target.ScreenWidth, 10);
        auto back = Load(Save(target));
        ASSERT_EQ(back->FrameCount(), 1);
        EXPECT_EQ(DecodeGifFrameIndices(*back->Frames(0), false), px[1]);
    }
}

// ---------------------------------------------------------------- bitmaps of every format

namespace {

// Eight colours (0x00BBGGRR), each exact in every format but 1 bit.
const uint32_t kColours[8] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF,
                              0x000000, 0xFFFFFF, 0x808080, 0x563412};

HPALETTE MakePalette(int count) {
    std::vector<uint8_t> mem(sizeof(LOGPALETTE) + size_t(count) * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(mem.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = WORD(count);
    for (int i = 0; i < count; ++i) {
        // The eight colours in reverse, then greys nobody uses.
        const uint32_t c = i < 8 ? kColours[7 - i] : uint32_t(i) * 0x010101;
        lp->palPalEntry[i] = PALETTEENTRY{uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), 0};
    }
    return CreatePalette(lp);
}

// A bitmap of the format whose pixel (x, y) is written, through its own rows, as colour
// (x + 3y) mod 8 (black or white for 1 bit); the colours written come back in `want`.
void FillInFormat(TBitmap& bmp, TPixelFormat pf, int w, int h, std::vector<uint32_t>& want) {
    bmp.SetSize(w, h);
    bmp.SetPixelFormat(pf);
    const int paletteSize = pf == pf4bit ? 16 : pf == pf8bit ? 256 : 0;
    if (paletteSize) {
        HPALETTE pal = MakePalette(paletteSize);
        bmp.SetPalette(pal);
        DeleteObject(pal);
    }
    want.assign(size_t(w) * size_t(h), 0);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = bmp.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const int k = (x + 3 * y) % 8;
            const uint32_t c = pf == pf1bit ? (k & 1 ? 0xFFFFFF : 0) : kColours[k];
            const uint8_t r = uint8_t(c), g = uint8_t(c >> 8), b = uint8_t(c >> 16);
            want[size_t(y) * size_t(w) + size_t(x)] = c;
            switch (pf) {
                case pf1bit:
                    if (k & 1)
                        row[x / 8] |= uint8_t(0x80 >> (x % 8));
                    else
                        row[x / 8] &= uint8_t(~(0x80 >> (x % 8)));
                    break;
                case pf4bit: {
                    const uint8_t index = uint8_t(7 - k);
                    const int shift = x % 2 ? 0 : 4;
                    row[x / 2] = uint8_t((row[x / 2] & ~(0xF << shift)) | (index << shift));
                    break;
                }
                case pf8bit:
                    row[x] = uint8_t(7 - k);
                    break;
                case pf15bit:
                case pf16bit: {
                    const uint16_t v =
                        pf == pf15bit ? uint16_t(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3))
                                      : uint16_t(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
                    row[2 * x] = uint8_t(v);
                    row[2 * x + 1] = uint8_t(v >> 8);
                    break;
                }
                case pf24bit:
                    row[3 * x] = b;
                    row[3 * x + 1] = g;
                    row[3 * x + 2] = r;
                    break;
                default:
                    row[4 * x] = b;
                    row[4 * x + 1] = g;
                    row[4 * x + 2] = r;
                    row[4 * x + 3] = 0xFF;
                    break;
            }
        }
    }
    // 5 bits keep no low bits: those colours are what the bitmap itself shows.
    if (pf == pf15bit || pf == pf16bit)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                want[size_t(y) * size_t(w) + size_t(x)] = bmp.Image().pixel(x, y) & 0xFFFFFF;
}

// The colours of frame `frame` of GIF data as giflib reads them.
std::vector<uint32_t> GiflibColours(const std::string& bytes, int frame) {
    GiflibFile g(bytes);
    EXPECT_NE(g.gif, nullptr);
    if (!g.gif || g.gif->ImageCount <= frame) return {};
    const SavedImage& si = g.gif->SavedImages[frame];
    const ColorMapObject* map = si.ImageDesc.ColorMap ? si.ImageDesc.ColorMap : g.gif->SColorMap;
    EXPECT_NE(map, nullptr);
    if (!map) return {};
    std::vector<uint32_t> out;
    for (int i = 0; i < si.ImageDesc.Width * si.ImageDesc.Height; ++i) {
        const int index = si.RasterBits[i];
        EXPECT_LT(index, map->ColorCount);
        const GifColorType& c = map->Colors[std::min(index, map->ColorCount - 1)];
        out.push_back(uint32_t(c.Red) | uint32_t(c.Green) << 8 | uint32_t(c.Blue) << 16);
    }
    return out;
}

// The size of the colour table frame `frame` of GIF data uses.
int GiflibTableSize(const std::string& bytes, int frame) {
    GiflibFile g(bytes);
    if (!g.gif || g.gif->ImageCount <= frame) return 0;
    const ColorMapObject* map = g.gif->SavedImages[frame].ImageDesc.ColorMap;
    if (!map) map = g.gif->SColorMap;
    return map ? map->ColorCount : 0;
}

struct FormatCase {
    const char* name;
    TPixelFormat format;
    int tableSize;  // 0: what the colour reduction makes of it
};

class XcGifBitmapFormats : public ::testing::TestWithParam<FormatCase> {};

}  // namespace

// Every way a bitmap becomes a frame (AddFrame, Assign of the bitmap, a copy of the image)
// keeps its colours, whatever the bitmap's format; odd widths leave padded rows.
TEST_P(XcGifBitmapFormats, FramesMadeFromTheBitmapKeepItsColours) {
    const TPixelFormat pf = GetParam().format;
    for (int w : {1, 7, 13, 33}) {
        SCOPED_TRACE("width " + std::to_string(w));
        const int h = 5;
        TBitmap bmp;
        std::vector<uint32_t> want;
        FillInFormat(bmp, pf, w, h, want);
        ASSERT_EQ(bmp.PixelFormat(), pf);

        TXcGIFImage added;
        EXPECT_EQ(added.AddFrame(&bmp), 0);
        EXPECT_EQ(added.Width(), w);
        EXPECT_EQ(added.Height(), h);
        EXPECT_EQ(GiflibColours(Save(added), 0), want) << "AddFrame";
        // Indexed bitmaps keep their own table; others are reduced to 8 bits.
        const int table = GiflibTableSize(Save(added), 0);
        if (GetParam().tableSize)
            EXPECT_EQ(table, GetParam().tableSize);
        else
            EXPECT_LE(table, 256);

        TXcGIFImage assigned;
        assigned.Assign(&bmp);
        EXPECT_EQ(GiflibColours(Save(assigned), 0), want) << "Assign";

        // A copy of an image whose frame still holds only the bitmap copies that bitmap.
        TXcGIFImage source, copy;
        source.AddFrame(&bmp);
        copy.Assign(source);
        EXPECT_EQ(GiflibColours(Save(copy), 0), want) << "copy of the image";

        // Back to a bitmap: the frame's bitmap, pixel for pixel.
        TBitmap back;
        source.AssignTo(&back);
        ASSERT_EQ(back.Width(), w);
        std::vector<uint32_t> got;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) got.push_back(back.Image().pixel(x, y) & 0xFFFFFF);
        EXPECT_EQ(got, want) << "AssignTo";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, XcGifBitmapFormats,
    ::testing::Values(FormatCase{"OneBit", pf1bit, 2}, FormatCase{"FourBit", pf4bit, 16},
                      FormatCase{"EightBit", pf8bit, 256}, FormatCase{"FifteenBit", pf15bit, 0},
                      FormatCase{"SixteenBit", pf16bit, 0}, FormatCase{"TwentyFourBit", pf24bit, 0},
                      FormatCase{"ThirtyTwoBit", pf32bit, 0}, FormatCase{"Device", pfDevice, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A frame copied into a bitmap of another format takes the frame's format and rows.
TEST(XcGifImage, FrameCopiedOverABitmapOfAnotherFormat) {
    TBitmap wide;
    std::vector<uint32_t> want;
    FillInFormat(wide, pf24bit, 21, 4, want);
    TXcGIFImage gif;
    gif.AddFrame(&wide);
    for (TPixelFormat before : {pf1bit, pf4bit, pf8bit, pf16bit, pf32bit}) {
        TBitmap narrow;
        narrow.SetSize(3, 2);
        narrow.SetPixelFormat(before);
        gif.AssignTo(&narrow);
        EXPECT_EQ(narrow.PixelFormat(), pf24bit);
        ASSERT_EQ(narrow.Width(), 21);
        ASSERT_EQ(narrow.Height(), 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 21; ++x)
                ASSERT_EQ(narrow.Image().pixel(x, y) & 0xFFFFFF, want[size_t(y) * 21 + size_t(x)])
                    << int(before) << " at " << x << "," << y;
    }
}
