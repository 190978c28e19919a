// The GIF picture: reads and writes GIF87a/GIF89a files, keeps every frame with its
// position, delay, disposal, transparency and comments, and decodes a frame's bitmap only
// when it is first drawn or measured. It draws the current frame; it does not animate.
#pragma once

#include <memory>
#include <vector>

#include "controls/extended/xcAni.h"
#include "controls/extended/xcBitmaps.h"
#include "controls/extended/xcGifStream.h"

class TXcGIFImage;
class TXcAni;

// The clipboard format "GIF Image", registered when the program starts: a 32-bit byte
// count, then the GIF data.
extern const UINT CF_GIF;

// Whether damaged frame data is kept (marked corrupted) instead of raising an error.
extern bool TolerateCorruptGifData;

class TXcGIFFrame : public TPersistent, public TGifFrameRecord {
public:
    explicit TXcGIFFrame(TXcGIFImage* owner);
    ~TXcGIFFrame() override;
    std::string ClassName() const override { return "TXcGIFFrame"; }
    TXcGIFImage* Owner() const { return owner_; }
    // The frame's picture, decoded from its data on first need.
    TBitmap* Bitmap();
    bool HasBitmap() const { return bitmap_ != nullptr; }

    // Shares the other frame's data and copies its settings and picture.
    void Assign(const TXcGIFFrame& src);
    // The current frame of an image (frame 0 while it has none).
    void Assign(const TXcGIFImage& src);
    // Any other picture: its bitmap, and its transparent colour when it is transparent.
    void Assign(TGraphic* src);
    // To a bitmap: the frame's bitmap, transparent by the frame's transparent colour.
    void AssignTo(TBitmap& dest);

    // Makes the frame's data from its bitmap (when it has none yet).
    void Encode();

private:
    TXcGIFImage* owner_;
    std::unique_ptr<TBitmap> bitmap_;
};

class TXcGIFImage : public TGraphic, public TGifImageRecord {
public:
    TXcGIFImage();
    ~TXcGIFImage() override;
    std::string ClassName() const override { return "TXcGIFImage"; }

    int Width() const override;
    int Height() const override;
    bool Empty() const override;
    void Draw(TCanvas* c, const TRect& r) override;
    void LoadFromFile(const std::string& name) override;
    void SaveToFile(const std::string& name) override;
    void LoadFromData(const std::string& bytes) override;
    // With the clipboard open: the GIF data when it offers them (frame 0's bitmap then from
    // its CF_BITMAP, when there is one), else a bitmap of the given format made the image.
    void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
    // Frame 0's bitmap as the format to put; with the clipboard open and every frame's data
    // at hand, the GIF data go on it too in their own format.
    void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;
    void SetWidth(int);
    void SetHeight(int);
    // Transparent on, and at least one frame with a transparent colour.
    bool GetTransparent() const;

    // GIF data from the stream's position to its end, and back (without a count).
    void LoadFromStream(TStream& s);
    void SaveToStream(TStream& s);
    // The resource form: a 32-bit byte count, then the GIF data.
    void ReadData(TStream& s);
    void WriteData(TStream& s);

    // Appends a frame made from the picture, makes it current; returns its index.
    int AddFrame(TGraphic* g);
    void NewImage();
    // The current frame's bitmap (frame 0 when the index is out of range).
    TBitmap* GetBitmap();

    void Assign(const TXcGIFImage& src);
    // A new image of the one frame, with its owner's screen colours.
    void Assign(const TXcGIFFrame& src);
    void Assign(TGraphic* src);
    void Assign(TXcAni& src);
    void AssignTo(TGraphic* dest);
    bool Equals(const TXcGIFImage& other) const { return Data == other.Data; }

    int FrameCount() const { return int(frames_.size()); }
    TXcGIFFrame* Frames(int i) const { return frames_.at(size_t(i)).get(); }
    int FrameIndex = -1;

    // Reads Size bytes of GIF data at the stream's position; DecodeFirst decodes the first
    // frame's bitmap at once.
    void ReadGIFStream(int64_t size, TStream& s, bool decodeFirst);
    void WriteGIFStream(TStream& s, bool withCount);
    // The screen grows to cover a frame.
    void RecomputeScreen();
    void Changed() {
        if (OnChange) OnChange();
    }

private:
    friend class TXcGIFFrame;
    TXcGIFFrame* Current() const;
    std::vector<std::unique_ptr<TXcGIFFrame>> frames_;
};

// Registers the picture class for the extension "gif" (with its description) and for its
// clipboard format; done when the program starts, undone when it ends.
void RegisterGIFFormat();
void UnregisterGIFFormat();
