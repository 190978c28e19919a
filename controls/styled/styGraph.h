// Enumerations shared by the drawing routines and the look objects of the styled layer.
#pragma once

#include <cstdint>

enum TStyBevelStyle : uint8_t {
    bvNone,
    bvLowered,
    bvRaised,
    bvFrameLowered,
    bvFrameRaised,
    bvNormal,
    bvShadow
};

enum TStyBorderStyle : uint8_t {
    lsNone,
    lsSingle,
    lsLowered,
    lsRaised,
    lsRaisedspb,
    lsLoweredspb,
    lsRaisedExt,
    lsLoweredExt,
    lsFrameInset,
    lsFrameOffset,
    lsWindowBorder,
    lsSingleRaised,
    lsSingleLowered,
    lsDoubleRaised,
    lsDoubleLowered
};

enum TStyGradientStyle : uint8_t {
    gstHorizontal,
    gstVertical,
    gstSquare,
    gstElliptic,
    gstTopLeft,
    gstTopRight,
    gstBottomLeft,
    gstBottomRight,
    gstTopLeftDiagonal,
    gstTopRightDiagonal
};

enum TStyAlignment : uint8_t {
    agTopLeft,
    agTopCenter,
    agTopRight,
    agCenterLeft,
    agCenter,
    agCenterRight,
    agBottomLeft,
    agBottomCenter,
    agBottomRight
};

enum TStyUserButtonStyle : uint8_t {
    ubsAutoDetect,
    ubsWin31,
    ubsWin40,
    ubsDelphi,
    ubsDelphiFlat,
    ubsFlat,
    ubsFlatUnColored,
    ubsNavigator,
    ubsExplorer,
    ubsExplorerColored,
    ubsIntegrated,
    ubsWinXP,
    ubsWinXPCombo,
    ubsWinXPTool
};

// Bitmap placement flags (one word shared by the bitmap routines and their callers).
enum : uint16_t {
    bpClip = 1,
    bpOffScreen = 4,
    bpCenter = 8,
    bpStretch = 16,
    bpTile = 32,
    bpMaskFromColor = 64,
    bpTransparentColor = 128,
    bpGivenMask = 256,
    bpPropHeight = 512,
    bpPropWidth = 1024,
    bpPropFit = 1536,
    bpPalette = 4096
};

// Button-frame flags.
enum : uint16_t {
    bfRoundCorners = 1,
    bfFocused = 2,
    bf3D = 4,
    bfExplorerDown = 8,
    bfFillMiddle = 16,
    bfDefault = 32,
    bfHot = 64,
    bfHasDropDown = 128,
    bfDropDownPart = 256
};

// Button state byte: 1 and 7 disabled, 3 latched, 3, 4, 6 and 7 pressed.
inline bool StyStateDisabled(uint8_t s) { return s == 1 || s == 7; }
inline bool StyStateDown(uint8_t s) { return s == 3 || s == 4 || s == 6 || s == 7; }
