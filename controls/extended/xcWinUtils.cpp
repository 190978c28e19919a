#include "controls/extended/xcWinUtils.h"

#include "controls/extended/xcConsts.h"
#include "controls/extended/xcUtils.h"
#include "platform/gdi/iconDraw.h"
#include "platform/user/metrics.h"
#include "platform/vcl/forms.h"

void ReleaseModule(HMODULE& module) {
    if (module) FreeLibrary(module);
    module = nullptr;
}

bool FreeItemIdList(LPITEMIDLIST& list) {
    if (!list) return true;
    IMalloc* malloc = nullptr;
    if (FAILED(SHGetMalloc(&malloc)) || !malloc) return false;
    const bool ours = malloc->DidAlloc(list) > 0;
    if (ours) {
        malloc->Free(list);
        list = nullptr;
    }
    malloc->Release();
    return ours;
}

void GetIconSize(HICON icon, int& width, int& height) {
    // Without a picture to measure, the size the system draws icons at.
    width = GetSystemMetrics(SM_CXICON);
    height = GetSystemMetrics(SM_CYICON);
    ICONINFO info;
    if (!icon || !GetIconInfo(icon, &info)) return;
    BITMAP bm;
    if (info.hbmColor && GetObjectA(info.hbmColor, sizeof bm, &bm)) {
        width = bm.bmWidth;
        height = bm.bmHeight;
    } else if (info.hbmMask && GetObjectA(info.hbmMask, sizeof bm, &bm)) {
        width = bm.bmWidth;
        height = bm.bmHeight / 2;
    }
    // The bitmaps GetIconInfo made are the caller's.
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
}

namespace {

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void ReadOrFail(TStream& s, void* to, int64_t n) {
    if (n > 0 && s.Read(to, n) != n) throw EXCLException(SXcIconFormat);
}

// Colour layers times bits per pixel of the screen.
unsigned ScreenBits() {
    HDC dc = GetDC(nullptr);
    const unsigned bits =
        dc ? unsigned(GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL)) : 32;
    if (dc) ReleaseDC(nullptr, dc);
    return bits;
}

}  // namespace

void LoadIconImageFromStream(TStream& stream, HICON& icon, int imageCount, int64_t startOffset) {
    if (imageCount < 1) throw EXCLException(SXcIconFormat);
    std::vector<TIconDirEntry> entries(static_cast<size_t>(imageCount));
    std::vector<IconFileEntry> raw(static_cast<size_t>(imageCount));
    for (size_t i = 0; i < entries.size(); ++i) {
        uint8_t d[16];
        ReadOrFail(stream, d, 16);
        entries[i].Width = d[0];
        entries[i].Height = d[1];
        entries[i].ColourCount = uint16_t(d[2] | d[3] << 8);
        entries[i].Size = Le32(d + 8);
        entries[i].Offset = Le32(d + 12);
        raw[i].width = d[0];
        raw[i].height = d[1];
        raw[i].colorCount = d[2];
    }
    const size_t chosen = ChooseIconEntry(entries, IconScreenColours(ScreenBits()));
    const TIconDirEntry& e = entries[chosen];
    const int64_t skip = int64_t(e.Offset) - (startOffset + 16 * int64_t(imageCount));
    if (skip < 0 || e.Size < 8 || e.Size > (64u << 20) || skip > stream.Size() - stream.Position())
        throw EXCLException(SXcIconFormat);
    stream.Seek(skip, soCurrent);
    IconFileEntry& entry = raw[chosen];
    entry.data.resize(e.Size);
    ReadOrFail(stream, entry.data.data(), int64_t(e.Size));
    // The image as stored, at its own size: mask, alpha and PNG images kept.
    IconImage image;
    if (!DecodeIconEntry(entry, image)) throw EXCLException(SXcIconFormat);
    HICON made = NewIconHandle(image);
    if (!made) throw EXCLException(SXcIconFormat);
    icon = made;
}

HICON CopyIconAtOwnSize(TIcon& icon) {
    TMemoryStream m;
    icon.SaveToStream(m);
    m.SetPosition(0);
    uint8_t header[6] = {};
    if (m.Read(header, 6) != 6) return LoadIconA(nullptr, MAKEINTRESOURCEA(IDI_APPLICATION));
    const unsigned type = unsigned(header[2] | header[3] << 8),
                   count = unsigned(header[4] | header[5] << 8);
    switch (type) {
        case 0:
            return LoadIconA(nullptr, MAKEINTRESOURCEA(IDI_APPLICATION));
        case 1: {
            HICON h = nullptr;
            LoadIconImageFromStream(m, h, int(count), 6);
            return h;
        }
        default:
            return CopyIcon(icon.Handle());
    }
}

void DrawIconAtOwnSize(TCanvas& canvas, TIcon& icon, int x, int y) {
    HICON h = CopyIconAtOwnSize(icon);
    int w = 0, ht = 0;
    GetIconSize(h, w, ht);
    DrawIconEx(canvas.Handle(), x, y, h, w, ht, 0, nullptr, DI_NORMAL);
    DestroyIcon(h);
}

int DrawTextA(HDC dc, const std::string& text, RECT& rect, UINT flags) {
    return ::DrawTextA(dc, text.c_str(), int(text.size()), &rect, flags & ~DT_MODIFYSTRING);
}

int CanvasTextHeight(TCanvas& canvas) {
    TEXTMETRICA tm{};
    GetTextMetricsA(canvas.Handle(), &tm);
    return tm.tmHeight;
}

std::shared_ptr<WNDPROC> MakeObjectInstance(TWndMethod method) {
    return std::make_shared<WNDPROC>(
        [method = std::move(method)](HWND, UINT msg, WPARAM w, LPARAM l) {
            TMessage m{msg, w, l, 0};
            method(m);
            return m.Result;
        });
}

void FreeObjectInstance(std::shared_ptr<WNDPROC>& instance) { instance.reset(); }

void RegisterDragCursors() {
    if (!Screen) return;
    Screen->SetCursors(crXcDrag0, Screen->Cursors(crMultiDrag));
    Screen->SetCursors(crXcDrag1, Screen->Cursors(crDrag));
    Screen->SetCursors(crXcDrag2, Screen->Cursors(crMultiDrag));
    Screen->SetCursors(crXcDrag3, Screen->Cursors(crMultiDrag));
}
