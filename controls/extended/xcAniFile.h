// Animated cursor files (RIFF form "ACON"): the chunks as data, without pictures. Each
// frame is a whole icon or cursor file; xcAni.h makes pictures of them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/extended/xcDib.h"
#include "platform/vcl/icon.h"

extern const char* const SAniReadError;  // the class library's stream-read error

// The "anih" chunk: nine 32-bit fields.
struct TAniHeader {
    uint32_t HeaderSize = 36;
    uint32_t IconTotal = 0;
    uint32_t Steps = 0;
    uint32_t Width = 0, Height = 0;
    uint32_t BitCount = 0, Planes = 0;
    uint32_t DefaultRate = 0;  // jiffies (1/60 s)
    uint32_t Flags = 0;        // bit 0: the frames are icons
};

// One stored icon: the icon file as read (a cursor's type rewritten to 1, as the icon
// loader wants it), what its directory says, and the picture the class library's icon
// loaded from it (null in an icon that was not read from a file).
struct TAniIcon {
    std::string Data;
    bool IsIcon = true;
    int HotX = 0, HotY = 0;
    std::shared_ptr<TIcon> Picture;
};

struct TAniContent {
    TAniHeader Header;
    std::string Title, Author;
    std::vector<uint32_t> Rates;     // jiffies per step; may be empty
    std::vector<uint32_t> Sequence;  // icon index per step; may be empty
    bool HasSequence = false;
    std::vector<TAniIcon> Icons;
    uint16_t Colors = 0;  // the largest palette met among the icons' images
};

// Reads an animated cursor file; each icon is loaded by the class library's icon, and one
// it cannot load ends the reading. Not RIFF/ACON, an "anih" without the icon flag or with no
// icons, or no icon at all raise EReadError; a chunk cut short ends the reading, keeping
// what was read. Sizes are checked against the data before anything is allocated.
TAniContent ReadAniFile(const uint8_t* data, size_t size);

// Writes the chunks in the order INFO list, "anih", "rate", "seq ", "fram" list.
std::string WriteAniFile(const TAniContent& content);
