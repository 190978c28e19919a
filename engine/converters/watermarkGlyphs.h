#pragma once

// Which characters the watermark stamp can draw. A text of ASCII alone is drawn in
// Helvetica; any other text goes through Ghostscript's Chinese CID font STSong-Light with
// the UniGB-UTF8-H character map, which the installed Song face (AR PL UMing) stands in
// for. A character outside both is drawn as nothing, so the stamp would be wrong while the
// run reports success: such a text is refused before the run.

#include <optional>
#include <string>
#include <vector>

#include "platform/rtl/trueTypeCmap.h"

// The font file and face a Ghostscript CID font map (cidfmap) sends a font name to,
// following aliases ("/STSong-Light /BousungEG-Light-GB ;"); none when the map does not
// name it or names no TrueType file for it.
struct TCidFontFile {
    std::string path;
    unsigned face = 0;
};
std::optional<TCidFontFile> CidFontFile(const std::string& cidfmap, const std::string& fontName);

// What the stamp's Chinese font draws: the characters the character map leads to the Song
// face (a measured table), narrowed to those the installed face has glyphs for, read from
// the font file the first cidfmap of `cidfmaps` that names STSong-Light points to. When no
// such file can be read, the measured table alone decides, and Source() says so.
class TWatermarkFonts {
public:
    explicit TWatermarkFonts(const std::vector<std::string>& cidfmaps);
    // Whether the stamp's fonts draw the character (a blank counts: it is drawn as space).
    bool Draws(char32_t c) const;
    bool FaceRead() const { return faceRead_; }
    // For the log: the face read, or why the measured table decides alone.
    const std::string& Source() const { return source_; }

private:
    bool faceRead_ = false;
    std::vector<TCodeRange> face_;
    std::string source_;
};

// The fonts as this system's Ghostscript installs them, read on first use.
const TWatermarkFonts& InstalledWatermarkFonts();

// Whether the installed stamp fonts draw the character.
bool WatermarkFontsDraw(char32_t c);

// The first character of a UTF-8 text the stamp cannot draw, as "U+XXXX"; empty when
// every character can be drawn. Bytes that are not UTF-8 are named by their first byte
// ("0xB2").
std::string FirstUndrawableCharacter(const std::string& text,
                                     const TWatermarkFonts& fonts = InstalledWatermarkFonts());

// Why a watermark text cannot be stamped, as the message says it; empty when it can.
std::string WatermarkTextProblem(const std::string& text,
                                 const TWatermarkFonts& fonts = InstalledWatermarkFonts());
