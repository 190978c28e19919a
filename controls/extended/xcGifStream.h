// The GIF file format (GIF87a and GIF89a) without pictures: the screen and frame records,
// extension blocks and colour tables, reading and writing of the stream, decoding of one
// frame into a bitmap file image, and the composition of frames onto the logical screen.
// The picture class (xcGif.h) keeps its frames in these records.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/extended/gifLzw.h"

constexpr uint32_t GifNoColor = 0x1FFFFFFF;  // no colour (the class library's clNone)
// The largest frame and screen area accepted, in pixels: larger sizes in a file are absurd
// and refused before anything is allocated for them.
constexpr uint64_t MaxGifPixels = uint64_t(1) << 25;

// The name of the format, as a file dialog shows it.
extern const char* const SGifImageDescription;  // 65205
// Error texts.
extern const char* const SGifImageResize;     // 65206
extern const char* const SGifNoData;          // 65207
extern const char* const SGifUnknownExt;      // 65208, formatted with the label
extern const char* const SGifBadColorCount;   // 65209
extern const char* const SGifEncodeError;     // 65212
extern const char* const SGifUnknownVersion;  // 65213
extern const char* const SGifTooLarge;
extern const char* const SReadError;  // the class library's stream-read error

[[noreturn]] void GifError(const std::string& text);

// A colour table: Count entries (0-256) of red, green, blue.
struct TGifColorTable {
    uint32_t Count = 0;
    uint8_t Colors[256][3] = {};
    uint32_t RGB(unsigned i) const {
        return uint32_t(Colors[i][0]) | uint32_t(Colors[i][1]) << 8 | uint32_t(Colors[i][2]) << 16;
    }
    // The first entry of this RGB value (0x00BBGGRR), -1 when there is none.
    int IndexOf(uint32_t rgb) const;
};

// Bits needed for Count colours (the smallest b >= 1 with 2^b >= Count).
int GifBitsForCount(uint32_t count);

enum TGifExtensionKind : uint8_t { ekGraphicControl, ekPlainText, ekApplication, ekComment };

// One extension block: its fixed part and its data sub-blocks.
class TExtension {
public:
    TGifExtensionKind Kind = ekGraphicControl;
    // The fixed block as in the file: graphic control 6 bytes (size 4, packed, delay low,
    // delay high, transparent index, terminator), plain text 13, application 12.
    uint8_t Block[13] = {};
    std::vector<std::string> Data;  // one string per sub-block
    static uint8_t Label(TGifExtensionKind k);
    static size_t BlockSize(TGifExtensionKind k);
    // The text of a comment: its sub-blocks joined.
    std::string Text() const;
};

// The screen-level data of one GIF, shared by images assigned from one another.
struct TGIFData {
    std::vector<std::string> Comment;  // lines
    uint8_t AspectRatio = 0;
    uint8_t BitsPerPixel = 0;
    uint8_t ColorResolution = 0;
    TGifColorTable ColorTable;
};

// The data of one frame: the LZW minimum code size byte and the data sub-blocks exactly as
// in the file, the size, the descriptor's packed fields, bits per pixel and colour table.
struct TGIFItem {
    std::string Data;
    int Width = 0, Height = 0;
    uint8_t Packed = 0;
    uint8_t BitsPerPixel = 0;
    TGifColorTable ColorTable;
};

// One frame without its picture.
class TGifFrameRecord {
public:
    virtual ~TGifFrameRecord() = default;
    std::shared_ptr<TGIFItem> Item = std::make_shared<TGIFItem>();
    std::vector<TExtension> Extensions;
    int Left = 0, Top = 0;
    bool Interlaced = false;
    bool Corrupted = false;
    bool Grayscale = false;
    uint32_t TransparentColor = GifNoColor;  // 0x00BBGGRR
    int DisplayTime = 0;                     // milliseconds
    uint8_t Disposal = 0;
    bool LocalColors = false;

    // Brings the graphic control extension in line with the display time, transparency and
    // disposal, and drops empty comments (before writing).
    void UpdateExtensions();
    // The comment texts of the frame's comment extensions, one line each.
    std::vector<std::string> Comment() const;
};

// The image-level fields.
struct TGifImageRecord {
    std::shared_ptr<TGIFData> Data = std::make_shared<TGIFData>();
    uint8_t Version = 0;  // 0 unknown, 1 "87a", 2 "89a"
    int ScreenWidth = 0, ScreenHeight = 0;
    uint32_t BackgroundColor = GifNoColor;
    bool Looping = false;
    bool Corrupted = false;
    int RepeatCount = 1;
};

// Where the reader puts the frames it reads.
class TGifFrameSink {
public:
    virtual ~TGifFrameSink() = default;
    virtual std::unique_ptr<TGifFrameRecord> NewFrame() = 0;
    virtual void AppendFrame(std::unique_ptr<TGifFrameRecord> frame) = 0;
};

// Reads a whole GIF file image into Image (which must be fresh) and the sink. Errors raise
// EInvalidGraphicOperation; what was read before an error stays. A frame whose data is cut
// short is kept, marked corrupted, when Tolerate is on, else it raises the read error.
void ReadGifStream(const uint8_t* data, size_t size, TGifImageRecord& image, TGifFrameSink& sink,
                   bool tolerate);

// Writes the GIF file image of Image and its frames (each with its data) to Dest, after
// the 32-bit byte count when WithCount. Updates the frames' extensions and the version.
void WriteGifStream(TStream& dest, TGifImageRecord& image,
                    const std::vector<TGifFrameRecord*>& frames, bool withCount);

// A frame's pixels decoded: a bitmap file image at 1, 4 or 8 bits per pixel (the smallest
// that holds the frame's colour depth) with the frame's colour table. Sets the frame's
// Corrupted flag when damage was tolerated.
std::string DecodeGifFrameToDIB(TGifFrameRecord& frame, bool tolerate,
                                const TGifProgressEvent& progress = nullptr);

// Decodes a frame to one palette index per pixel, top row first (Width x Height bytes).
std::vector<uint8_t> DecodeGifFrameIndices(TGifFrameRecord& frame, bool tolerate);

// Plays the frames of a GIF on its logical screen as a viewer does: each frame is drawn
// over what the disposal of the previous one left, transparent pixels showing through.
class TGifComposer {
public:
    TGifComposer(const TGifImageRecord& image, bool tolerate);
    // Draws the next frame; the screen then holds the picture to show.
    void Draw(TGifFrameRecord& frame);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // 0x00RRGGBB per pixel, top row first; pixels nothing was drawn on are the background.
    const std::vector<uint32_t>& Screen() const { return screen_; }

private:
    int width_, height_;
    bool tolerate_;
    uint32_t background_;
    std::vector<uint32_t> screen_, saved_;
    int lastDisposal_ = 0, lastLeft_ = 0, lastTop_ = 0, lastWidth_ = 0, lastHeight_ = 0;
};
