// How the styled layer stores its payloads (pictures, string lists, waves, list images) in
// streams: 32-bit little-endian integers, flag bytes and short texts; a chunked compressed
// item over the block codec; pictures as their own stream form or as a bitmap file of a
// chosen colour depth. Every payload carries its length, so a reader can step over one
// it does not know.
//
// Plain item:      n (4 bytes), then n payload bytes.
// Compressed item: total (4 bytes, all chunks with their headers), then chunks, each c
//                  (4 bytes) and c bytes of one compressed block of at most 32781 source
//                  bytes; the blocks joined give the plain payload.
//
// Everything read is checked against what the stream really holds: a cut-short or lying
// item raises EReadError (or ELZRWError for a damaged block) and never allocates more
// than the stream could justify.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/classes.h"
#include "platform/vcl/graphics.h"
#include "platform/vcl/icon.h"

class TStyWave;

// Source bytes per compressed block.
constexpr int StyCompressBlockSize = 32781;

// Colour depths of the bitmap-file writers: no bitmap file (the picture's own form), the
// bitmap's own depth, 1, 4 and 8 bits.
constexpr int StyDepthOwnForm = -1, StyDepthOwn = 0, StyDepth1Bit = 2, StyDepth4Bit = 16,
              StyDepth8Bit = 256;

void WriteLongInt(TStream& s, int32_t v);
int32_t ReadLongInt(TStream& s);
void WriteFlag(TStream& s, uint8_t v);
uint8_t ReadFlag(TStream& s);
// One length byte and the text: a text longer than 255 bytes raises EStreamError (its
// length would not fit and the rest of the stream would be misread).
void WriteShortText(TStream& s, const std::string& text);
std::string ReadShortText(TStream& s);

// Compresses `count` bytes from the source's position into one compressed item.
void WriteCompressedStream(TStream& source, TStream& dest, int64_t count);
// Reads one compressed item at the source's position and appends its payload to `dest`.
void ReadCompressedStream(TStream& source, TStream& dest);

// Bitmap files. A bitmap handle of 0 (or not a bitmap) raises EInvalidGraphic "位图无效".
int StyDibBitCount(HBITMAP bmp, int colorDepth);
void GetDIBSizes(HBITMAP bmp, DWORD& headerSize, DWORD& imageSize, int colorDepth);
// Fills the info header (with room for the colour table after it) and the bits.
bool GetDIB(HBITMAP bmp, HPALETTE palette, void* header, int colorDepth, void* bits);
std::vector<uint8_t> MakeBitmapFile(HBITMAP bmp, HPALETTE palette, int colorDepth);
void WriteDIB(TStream& s, HBITMAP bmp, HPALETTE palette, int colorDepth, bool withLength);
// The bitmap's file (1 bit for a monochrome bitmap); the stream is left at position 0.
void WriteBitmapAsDIB(TStream& s, TBitmap* bmp, int colorDepth);

// A picture's own stream form: a bitmap writes its bitmap file at its own depth, an icon
// its icon file; other pictures cannot be stored (EInvalidGraphicOperation).
void SaveGraphicOwnForm(TGraphic* g, TStream& s);
// Reads a picture from the rest of the stream.
void LoadGraphicOwnForm(TGraphic* g, TStream& s);

// Payloads: plain or compressed items.
void WriteGraphicToStream(TStream& s, TGraphic* g, bool compressed, int colorDepth);
void ReadGraphicFromStream(TStream& s, TGraphic* g, bool compressed);
void WriteStringsToStream(TStream& s, TStringList* list, bool compressed);
void ReadStringsFromStream(TStream& s, TStringList* list, bool compressed);
void WriteWaveToStream(TStream& s, TStyWave* wave, bool compressed);
void ReadWaveToStream(TStream& s, TStyWave* wave, bool compressed);

// The payload of one plain or compressed item read into a memory stream at position 0.
void ReadItemPayload(TStream& s, bool compressed, TMemoryStream& out);
// Steps over one plain or compressed item without reading its payload.
void SkipItem(TStream& s);
// The bytes left between the stream's position and its end.
int64_t StyBytesLeft(TStream& s);
