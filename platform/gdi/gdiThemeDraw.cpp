// The drawing calls of the theme library. With themes on they paint a plain flat look
// with the GDI; with themes off no theme handle exists and every call answers an error.
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/gdi/iconDraw.h"
#include "platform/win/module.h"
#include "platform/win/theme.h"

namespace {

constexpr COLORREF kBorder = RGB(0x7A, 0x7A, 0x7A), kFace = RGB(0xE1, 0xE1, 0xE1),
                   kHot = RGB(0xE5, 0xF1, 0xFB), kPressed = RGB(0xCC, 0xE4, 0xF7),
                   kDisabled = RGB(0xF4, 0xF4, 0xF4), kChunk = RGB(0x06, 0xB0, 0x25);

bool Valid(HTHEME t) { return !ThemeClassOf(t).empty(); }

// Button states: 1 normal, 2 hot, 3 pressed, 4 disabled (the other classes number alike).
COLORREF FaceFor(int state) {
    switch (state) {
        case 2:
            return kHot;
        case 3:
            return kPressed;
        case 4:
            return kDisabled;
        default:
            return kFace;
    }
}

void Fill(HDC dc, const RECT& r, COLORREF c) {
    HBRUSH b = CreateSolidBrush(c);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

}  // namespace

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* r,
                            const RECT* clip) {
    if (!Valid(theme)) return E_HANDLE;
    if (!dc || !r) return E_INVALIDARG;
    int saved = SaveDC(dc);
    if (clip) IntersectClipRect(dc, clip->left, clip->top, clip->right, clip->bottom);
    bool progress = ThemeClassOf(theme).find("PROGRESS") != std::string::npos;
    if (progress && (part == 3 || part == 4)) {  // the chunks
        Fill(dc, *r, kChunk);
    } else {
        Fill(dc, *r, kBorder);
        RECT in{r->left + 1, r->top + 1, r->right - 1, r->bottom - 1};
        if (in.right > in.left && in.bottom > in.top)
            Fill(dc, in, progress ? RGB(0xE6, 0xE6, 0xE6) : FaceFor(state));
    }
    RestoreDC(dc, saved);
    return S_OK;
}

HRESULT DrawThemeParentBackground(HWND, HDC dc, RECT* r) {
    if (!IsThemeActive()) return E_FAIL;
    if (!dc || !r) return E_INVALIDARG;
    Fill(dc, *r, GetSysColor(COLOR_BTNFACE));
    return S_OK;
}

// Text output waits for the GDI's DrawTextA; until then the call says so and callers draw
// the text themselves, as they do without themes.
HRESULT DrawThemeText(HTHEME theme, HDC dc, int, int, const wchar_t* text, int, DWORD, DWORD,
                      const RECT* r) {
    if (!Valid(theme)) return E_HANDLE;
    if (!dc || !r || !text) return E_INVALIDARG;
    return E_NOTIMPL;
}

// A flat one-pixel frame in the border colour on the sides the flags name.
HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int, int, const RECT* dest, UINT, UINT flags,
                      RECT* content) {
    if (!Valid(theme)) return E_HANDLE;
    if (!dc || !dest) return E_INVALIDARG;
    RECT r = *dest;
    if (flags & BF_LEFT) Fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, kBorder);
    if (flags & BF_TOP) Fill(dc, RECT{r.left, r.top, r.right, r.top + 1}, kBorder);
    if (flags & BF_RIGHT) Fill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, kBorder);
    if (flags & BF_BOTTOM) Fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, kBorder);
    if (flags & BF_MIDDLE) Fill(dc, RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, kFace);
    if (content)
        *content =
            RECT{r.left + ((flags & BF_LEFT) ? 1 : 0), r.top + ((flags & BF_TOP) ? 1 : 0),
                 r.right - ((flags & BF_RIGHT) ? 1 : 0), r.bottom - ((flags & BF_BOTTOM) ? 1 : 0)};
    return S_OK;
}

HRESULT DrawThemeIcon(HTHEME theme, HDC dc, int, int, const RECT* r, HIMAGELIST list, int index) {
    if (!Valid(theme)) return E_HANDLE;
    if (!dc || !r) return E_INVALIDARG;
    return ImageList_Draw(list, index, dc, r->left, r->top, ILD_TRANSPARENT) ? S_OK : E_INVALIDARG;
}

HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC, int, int, const RECT* bounds,
                                      RECT* content) {
    if (!Valid(theme)) return E_HANDLE;
    if (!bounds || !content) return E_INVALIDARG;
    *content = RECT{bounds->left + 2, bounds->top + 2, bounds->right - 2, bounds->bottom - 2};
    return S_OK;
}

HRESULT GetThemePartSize(HTHEME theme, HDC, int part, int, const RECT* r, THEMESIZE, SIZE* out) {
    if (!Valid(theme)) return E_HANDLE;
    if (!out) return E_INVALIDARG;
    bool box = ThemeClassOf(theme).find("BUTTON") != std::string::npos && (part == 2 || part == 3);
    if (box)
        *out = SIZE{13, 13};
    else if (r)
        *out = SIZE{r->right - r->left, r->bottom - r->top};
    else
        *out = SIZE{0, 0};
    return S_OK;
}

HRESULT GetThemeColor(HTHEME theme, int, int state, int prop, COLORREF* out) {
    if (!Valid(theme)) return E_HANDLE;
    if (!out) return E_INVALIDARG;
    switch (prop) {
        case TMT_BORDERCOLOR:
            *out = kBorder;
            return S_OK;
        case TMT_FILLCOLOR:
        case TMT_EDGEFILLCOLOR:
            *out = FaceFor(state);
            return S_OK;
        case TMT_TEXTCOLOR:
            *out = state == 4 ? RGB(0xA0, 0xA0, 0xA0) : RGB(0, 0, 0);
            return S_OK;
        case TMT_EDGELIGHTCOLOR:
        case TMT_EDGEHIGHLIGHTCOLOR:
            *out = RGB(0xFF, 0xFF, 0xFF);
            return S_OK;
        case TMT_EDGESHADOWCOLOR:
        case TMT_EDGEDKSHADOWCOLOR:
            *out = kBorder;
            return S_OK;
        default:
            return E_FAIL;  // no such property
    }
}

HRESULT GetThemeMetric(HTHEME theme, HDC, int, int, int, int* out) {
    if (!Valid(theme)) return E_HANDLE;
    if (out) *out = 0;
    return E_FAIL;
}

HRESULT GetThemePosition(HTHEME theme, int, int, int, POINT* out) {
    if (!Valid(theme)) return E_HANDLE;
    if (out) *out = POINT{};
    return E_FAIL;
}

HRESULT GetThemeFont(HTHEME theme, HDC, int, int, int, LOGFONTW*) {
    return Valid(theme) ? E_FAIL : E_HANDLE;
}

HRESULT GetThemeRect(HTHEME theme, int, int, int, RECT* out) {
    if (!Valid(theme)) return E_HANDLE;
    if (out) *out = RECT{};
    return E_FAIL;
}

COLORREF GetThemeSysColor(HTHEME, int colorId) { return GetSysColor(colorId); }
HBRUSH GetThemeSysColorBrush(HTHEME, int colorId) { return GetSysColorBrush(colorId); }

void RegisterThemeDrawingExports() {
    const std::pair<const char*, FARPROC> exports[] = {
        {"DrawThemeEdge", reinterpret_cast<FARPROC>(&DrawThemeEdge)},
        {"DrawThemeBackground", reinterpret_cast<FARPROC>(&DrawThemeBackground)},
        {"DrawThemeParentBackground", reinterpret_cast<FARPROC>(&DrawThemeParentBackground)},
        {"DrawThemeText", reinterpret_cast<FARPROC>(&DrawThemeText)},
        {"DrawThemeIcon", reinterpret_cast<FARPROC>(&DrawThemeIcon)},
        {"GetThemeBackgroundContentRect",
         reinterpret_cast<FARPROC>(&GetThemeBackgroundContentRect)},
        {"GetThemePartSize", reinterpret_cast<FARPROC>(&GetThemePartSize)},
        {"GetThemeColor", reinterpret_cast<FARPROC>(&GetThemeColor)},
        {"GetThemeMetric", reinterpret_cast<FARPROC>(&GetThemeMetric)},
        {"GetThemePosition", reinterpret_cast<FARPROC>(&GetThemePosition)},
        {"GetThemeFont", reinterpret_cast<FARPROC>(&GetThemeFont)},
        {"GetThemeRect", reinterpret_cast<FARPROC>(&GetThemeRect)},
        {"GetThemeSysColor", reinterpret_cast<FARPROC>(&GetThemeSysColor)},
        {"GetThemeSysColorBrush", reinterpret_cast<FARPROC>(&GetThemeSysColorBrush)},
    };
    for (const auto& [name, proc] : exports) RegisterModuleExport("uxtheme.dll", name, proc);
}
