// Block compression of the LZRW1 family: one block of at most 65535 bytes in, one block
// out. The graphic stream routines store bitmaps, waves and list images with it, cut into
// chunks of at most 32781 bytes.
//
// Block layout (numbers big-endian): byte 0 is the kind, 0x80 = stored (the input follows
// unchanged), anything else = compressed. A compressed block is a series of groups, each a
// 16-bit control word and up to 16 items; control bits, from the top down, say literal (0)
// or copy/run (1). A copy is 2 bytes, offset (12 bits, 1..4095 back) and length - 3 (4
// bits); a run is 4 bytes: 0, the high four bits of R, the low eight bits of R, the byte,
// repeated R + 16 times.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/rtl/sysutils.h"

// Room the compressor may use beyond the input length.
constexpr size_t LZRWSlack = 6;
constexpr uint8_t LZRWCompressedFlag = 0x40;
constexpr uint8_t LZRWStoredFlag = 0x80;

// Raised when a block cannot be decompressed into the room given (a damaged block).
class ELZRWError : public Exception {
    using Exception::Exception;
};

// Compresses Len bytes of Source into Dest, which must hold Len + LZRWSlack bytes, and
// returns the length of the block written. Never reads past Source[Len - 1].
// The block is at most Len + 1 bytes long (the stored form), so 65536 for a full 65535.
size_t LZRWCompress(const uint8_t* source, uint8_t* dest, uint16_t len);
// The same with the sizes checked: raises ELZRWError when Source is longer than 65535 bytes
// or Dest holds fewer than Source.size() + LZRWSlack bytes.
size_t LZRWCompress(std::span<const uint8_t> source, std::span<uint8_t> dest);

// Decompresses a block of Len bytes into Dest of DestSize bytes and returns the number of
// bytes written. A block that is cut short, copies from before the start of the output or
// expands beyond DestSize (or beyond 65535 bytes, more than any source) raises ELZRWError; nothing
// outside the block and Dest is read or written.
size_t LZRWDecompress(const uint8_t* block, uint8_t* dest, size_t len, size_t destSize);
size_t LZRWDecompress(std::span<const uint8_t> block, std::span<uint8_t> dest);
