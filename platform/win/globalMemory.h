// Global memory blocks: the movable blocks that carry data to the clipboard. A handle is a
// counted id; GlobalLock gives the block's bytes until the matching GlobalUnlock.
#pragma once

#include <cstddef>

#include "platform/win/wintypes.h"

using HGLOBAL = HANDLE;

constexpr UINT GMEM_FIXED = 0x0000, GMEM_MOVEABLE = 0x0002, GMEM_ZEROINIT = 0x0040, GHND = 0x0042;

// A zero-filled block of Bytes bytes (0 bytes gives a block of size 0); null when the size
// is absurd (over 1 GiB) and memory cannot be had.
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
// The block's first byte (null for an unknown handle); the lock count rises.
void* GlobalLock(HGLOBAL mem);
// TRUE_ while the block is still locked after this call.
BOOL GlobalUnlock(HGLOBAL mem);
// 0 for an unknown handle.
size_t GlobalSize(HGLOBAL mem);
// Null on success, the handle when it is unknown.
HGLOBAL GlobalFree(HGLOBAL mem);
