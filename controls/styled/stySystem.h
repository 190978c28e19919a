// Platform facts gathered at start-up, geometry helpers on rectangles and the folders a
// path prefix stands for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win/wintypes.h"

enum TStyPathPrefix : uint8_t { ppWindows, ppSystem, ppProgram, ppFixed };

// Set once at start-up (StyInitSystemFlags). This platform belongs to neither Windows
// family, so every flag stays False here; they are kept for the controls that read them.
extern bool IsWin9x, IsWin98OrLater, IsWinMe, IsWinNT, IsWin2000, IsWinXP;
extern bool StyDragFullWindows;
void StyInitSystemFlags();

uint8_t GetColorDepth();
DWORD GetMajorVersion();
DWORD GetMinorVersion();
// The login name, or "(未知)" when it cannot be read.
std::string GetUserLogonName();

// Classic rounding of the class library: halves go to the even neighbour.
int StyRound(double v);

TPoint RectSize(const TRect& r);
// The largest / smallest of the elements 0..high (the first one when high < 1; 0 for none).
int MaxOfArray(const std::vector<int>& values, int high);
int MinOfArray(const std::vector<int>& values, int high);
long double MinOfFloats(const std::vector<long double>& values, int high);
// The source's size scaled to fit the destination, at the destination's top-left corner;
// an empty source gives an empty rectangle there.
TRect FitRect(const TRect& source, const TRect& dest);
// The bounding box of the rectangle turned by `degrees` about its centre, moved to (0, 0);
// angle 0 leaves the rectangle as it is.
TRect RotatedBounds(const TRect& r, int degrees);

// Folders with a trailing separator.
std::string GetWindowsFolder();
std::string GetSystemFolder();
std::string GetProgramFolder();
std::string GetPathPrefix(TStyPathPrefix prefix, bool trailingDelimiter);
