#include "platform/win/builtinIcons.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

#include "platform/win/icons.h"

namespace {

using Pt = std::pair<double, double>;

// Draws on an icon image in 32-unit design coordinates, whatever its pixel size.
class Pen32 {
public:
    Pen32(IconImage& img) : img_(img), s_(img.width / 32.0) {}

    void Rect(double l, double t, double r, double b, uint32_t c) {
        int x0 = px(l), y0 = px(t), x1 = std::max(px(r), x0 + 1), y1 = std::max(px(b), y0 + 1);
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) Set(x, y, c);
    }
    // A filled rectangle with a one-pixel border.
    void Box(double l, double t, double r, double b, uint32_t fill, uint32_t border) {
        Rect(l, t, r, b, border);
        int x0 = px(l), y0 = px(t), x1 = std::max(px(r), x0 + 1), y1 = std::max(px(b), y0 + 1);
        for (int y = y0 + 1; y < y1 - 1; ++y)
            for (int x = x0 + 1; x < x1 - 1; ++x) Set(x, y, fill);
    }
    void Poly(std::initializer_list<Pt> pts, uint32_t c) {
        std::vector<Pt> v(pts);
        for (int y = 0; y < img_.height; ++y)
            for (int x = 0; x < img_.width; ++x)
                if (Inside(v, (x + 0.5) / s_, (y + 0.5) / s_)) Set(x, y, c);
    }
    void Disc(double cx, double cy, double r, uint32_t c) {
        for (int y = 0; y < img_.height; ++y)
            for (int x = 0; x < img_.width; ++x) {
                double dx = (x + 0.5) / s_ - cx, dy = (y + 0.5) / s_ - cy;
                if (dx * dx + dy * dy <= r * r) Set(x, y, c);
            }
    }
    void Line(double x0, double y0, double x1, double y1, double w, uint32_t c) {
        double dx = x1 - x0, dy = y1 - y0, len = std::max(1e-9, std::sqrt(dx * dx + dy * dy));
        double nx = -dy / len * w / 2, ny = dx / len * w / 2;
        Poly({{x0 + nx, y0 + ny}, {x1 + nx, y1 + ny}, {x1 - nx, y1 - ny}, {x0 - nx, y0 - ny}}, c);
    }

private:
    int px(double v) const { return int(std::lround(v * s_)); }
    void Set(int x, int y, uint32_t c) {
        if (x < 0 || y < 0 || x >= img_.width || y >= img_.height) return;
        size_t i = size_t(y) * size_t(img_.width) + size_t(x);
        img_.pixels[i] = 0xFF000000u | c;
        img_.mask[i] = 0;
    }
    static bool Inside(const std::vector<Pt>& v, double x, double y) {
        bool in = false;
        for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i++)
            if ((v[i].second > y) != (v[j].second > y) &&
                x < (v[j].first - v[i].first) * (y - v[i].second) / (v[j].second - v[i].second) +
                        v[i].first)
                in = !in;
        return in;
    }
    IconImage& img_;
    double s_;
};

constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kGrey = 0x808080, kLight = 0xC0C0C0,
                   kDark = 0x404040;

void Page(Pen32& p) {
    p.Poly({{6, 2}, {21, 2}, {27, 8}, {27, 30}, {6, 30}}, kGrey);
    p.Poly({{7, 3}, {20.5, 3}, {26, 8.5}, {26, 29}, {7, 29}}, kWhite);
    p.Poly({{20, 2}, {27, 9}, {20, 9}}, kLight);
}

void Lines(Pen32& p, uint32_t c, double from, double to) {
    for (double y = from; y < to; y += 3) p.Rect(10, y, 23, y + 1, c);
}

void FolderShape(Pen32& p, bool open) {
    p.Poly({{2, 7}, {11, 7}, {13, 10}, {29, 10}, {29, 27}, {2, 27}}, 0x9A7A10);
    p.Poly({{3, 8}, {10.5, 8}, {12.5, 11}, {28, 11}, {28, 26}, {3, 26}}, 0xF0C830);
    if (open) {
        p.Poly({{6, 14}, {31, 14}, {27, 27}, {2, 27}}, 0x9A7A10);
        p.Poly({{7, 15}, {29.5, 15}, {26, 26}, {3.5, 26}}, 0xFFE680);
    } else {
        p.Rect(3, 13, 28, 14, 0xFFE680);
    }
}

void DriveBox(Pen32& p, uint32_t face) {
    p.Box(2, 12, 30, 24, face, kDark);
    p.Rect(3, 21, 29, 23, kGrey);
}

void Sign(Pen32& p, uint32_t c) {
    p.Disc(16, 16, 14, kDark);
    p.Disc(16, 16, 13, c);
}

}  // namespace

IconImage DrawBuiltinIcon(BuiltinIcon kind, int size) {
    IconImage img;
    img.Resize(size, size);
    img.bitCount = 32;
    Pen32 p(img);
    switch (kind) {
        case BuiltinIcon::Application:
            p.Box(2, 5, 30, 27, kWhite, kDark);
            p.Rect(3, 6, 29, 10, 0x0A246A);
            p.Rect(25, 7, 28, 9, kLight);
            break;
        case BuiltinIcon::WinLogo:
            p.Rect(4, 4, 15, 15, 0xE04020);
            p.Rect(17, 4, 28, 15, 0x30A030);
            p.Rect(4, 17, 15, 28, 0x2060E0);
            p.Rect(17, 17, 28, 28, 0xF0C020);
            break;
        case BuiltinIcon::Error:
            Sign(p, 0xE02020);
            p.Line(10, 10, 22, 22, 3.5, kWhite);
            p.Line(22, 10, 10, 22, 3.5, kWhite);
            break;
        case BuiltinIcon::Question:
            Sign(p, 0x2050D0);
            p.Rect(11, 8, 21, 11, kWhite);
            p.Rect(18, 8, 21, 16, kWhite);
            p.Rect(14, 14, 21, 17, kWhite);
            p.Rect(14, 14, 17, 20, kWhite);
            p.Rect(14, 22, 17, 25, kWhite);
            break;
        case BuiltinIcon::Warning:
            p.Poly({{16, 1}, {31, 29}, {1, 29}}, kDark);
            p.Poly({{16, 3.5}, {29, 28}, {3, 28}}, 0xF8D020);
            p.Rect(14.5, 10, 17.5, 21, kBlack);
            p.Rect(14.5, 23, 17.5, 26, kBlack);
            break;
        case BuiltinIcon::Information:
            Sign(p, 0x2070E0);
            p.Rect(14.5, 7, 17.5, 10, kWhite);
            p.Rect(14.5, 12, 17.5, 25, kWhite);
            break;
        case BuiltinIcon::Folder:
            FolderShape(p, false);
            break;
        case BuiltinIcon::FolderOpen:
            FolderShape(p, true);
            break;
        case BuiltinIcon::File:
            Page(p);
            break;
        case BuiltinIcon::Pdf:
            Page(p);
            p.Rect(7, 16, 26, 25, 0xC81E1E);
            p.Rect(9, 18, 12, 23, kWhite);
            p.Rect(14, 18, 17, 23, kWhite);
            p.Rect(19, 18, 22, 23, kWhite);
            break;
        case BuiltinIcon::PostScript:
            Page(p);
            p.Rect(7, 16, 26, 25, 0x1E3C8C);
            p.Disc(16.5, 20.5, 3, kWhite);
            break;
        case BuiltinIcon::Image:
            Page(p);
            p.Rect(9, 12, 24, 26, 0x70B8F0);
            p.Poly({{9, 26}, {14, 18}, {18, 23}, {20, 20}, {24, 26}}, 0x2E9A3A);
            p.Disc(20, 15, 1.8, 0xF8E040);
            break;
        case BuiltinIcon::Document:
            Page(p);
            p.Rect(9, 6, 18, 9, 0x2A5CAA);
            Lines(p, 0x2A5CAA, 12, 27);
            break;
        case BuiltinIcon::Spreadsheet:
            Page(p);
            p.Rect(9, 11, 24, 26, 0x1E7A3C);
            for (double y = 12; y < 25; y += 4.5) p.Rect(10, y, 23, y + 3.5, 0xD8F0DC);
            p.Rect(16, 11, 17, 26, 0x1E7A3C);
            break;
        case BuiltinIcon::Presentation:
            Page(p);
            p.Rect(9, 12, 24, 24, 0xD2591E);
            p.Rect(11, 19, 13, 22, kWhite);
            p.Rect(15, 16, 17, 22, kWhite);
            p.Rect(19, 14, 21, 22, kWhite);
            break;
        case BuiltinIcon::Database:
            p.Rect(6, 7, 26, 26, 0x1A7A7A);
            p.Disc(16, 26, 10, 0x1A7A7A);
            p.Disc(16, 7, 10, 0x2AA8A8);
            p.Rect(7, 14, 25, 15, 0x6AD0D0);
            p.Rect(7, 21, 25, 22, 0x6AD0D0);
            break;
        case BuiltinIcon::Text:
            Page(p);
            Lines(p, kGrey, 11, 27);
            break;
        case BuiltinIcon::Archive:
            Page(p);
            p.Rect(7, 14, 26, 25, 0x8A5A2A);
            for (double y = 14; y < 25; y += 2) p.Rect(15, y, 18, y + 1, 0xE0C080);
            break;
        case BuiltinIcon::Executable:
            p.Box(2, 6, 30, 26, 0xE8E8E8, kDark);
            p.Rect(3, 7, 29, 11, 0x2A5CAA);
            p.Rect(6, 14, 14, 22, 0x2E9A3A);
            break;
        case BuiltinIcon::Audio:
            Page(p);
            p.Disc(13, 23, 3, 0x7A2AAA);
            p.Rect(15, 11, 17, 23, 0x7A2AAA);
            p.Rect(15, 11, 22, 13, 0x7A2AAA);
            break;
        case BuiltinIcon::Video:
            Page(p);
            p.Rect(8, 13, 25, 25, kDark);
            p.Poly({{13, 15}, {21, 19}, {13, 23}}, kWhite);
            break;
        case BuiltinIcon::Html:
            Page(p);
            p.Disc(16.5, 19, 7, 0x2A7AD0);
            p.Rect(9.5, 18.5, 23.5, 19.5, kWhite);
            p.Rect(16, 12, 17, 26, kWhite);
            break;
        case BuiltinIcon::DriveFixed:
            DriveBox(p, kLight);
            p.Rect(24, 17, 27, 19, 0x20C020);
            break;
        case BuiltinIcon::DriveRemovable:
            DriveBox(p, 0xD8D0B0);
            p.Rect(6, 16, 20, 18, kDark);
            p.Rect(24, 17, 27, 19, 0xF08020);
            break;
        case BuiltinIcon::DriveCdrom:
            DriveBox(p, kLight);
            p.Disc(16, 13, 9, 0xB0B8D0);
            p.Disc(16, 13, 2, kDark);
            break;
        case BuiltinIcon::DriveRemote:
            DriveBox(p, kLight);
            p.Rect(15, 24, 17, 29, kDark);
            p.Rect(6, 28, 26, 30, 0x20A040);
            break;
        case BuiltinIcon::DriveRam:
            p.Rect(3, 11, 29, 21, 0x1E6A2A);
            for (double x = 5; x < 28; x += 6) p.Rect(x, 13, x + 4, 19, kDark);
            for (double x = 4; x < 29; x += 3) p.Rect(x, 21, x + 1.5, 24, 0xD0B040);
            break;
        case BuiltinIcon::Computer:
            p.Box(4, 3, 28, 21, 0x3070C0, kDark);
            p.Rect(13, 21, 19, 25, kGrey);
            p.Box(6, 25, 26, 29, kLight, kDark);
            break;
        case BuiltinIcon::Home:
            p.Poly({{16, 3}, {30, 15}, {2, 15}}, 0xB03020);
            p.Box(6, 15, 26, 29, 0xF0E0C0, kDark);
            p.Rect(14, 20, 18, 29, 0x8A5A2A);
            break;
    }
    return img;
}

bool DrawBuiltinCursor(unsigned idc, IconImage& out) {
    out = IconImage{};
    out.Resize(kCursorSize, kCursorSize);
    out.bitCount = 1;
    Pen32 p(out);
    auto arrow = [&] {
        p.Poly({{0, 0}, {0, 17}, {4, 13}, {7, 20}, {10, 19}, {7, 12.5}, {12, 12.5}}, kBlack);
        p.Poly({{1, 2.5}, {1, 14.5}, {4.3, 11.3}, {7.5, 18.5}, {8.6, 18}, {5.4, 11}, {9.6, 11}},
               kWhite);
    };
    switch (idc) {
        case IDC_ARROW:
        case IDC_APPSTARTING:
        case IDC_HELP:
        case IDC_HAND:
        case IDC_UPARROW:
            arrow();
            break;
        case IDC_DRAG:
            arrow();
            p.Box(9, 20, 21, 30, kWhite, kBlack);
            break;
        case IDC_MULTIDRAG:
            arrow();
            p.Box(13, 18, 25, 27, kWhite, kBlack);
            p.Box(9, 21, 21, 30, kWhite, kBlack);
            break;
        case IDC_NODROP:
        case IDC_NO:
            p.Disc(16, 16, 11, kBlack);
            p.Disc(16, 16, 8, kWhite);
            p.Line(9, 9, 23, 23, 3, kBlack);
            out.hotX = out.hotY = 16;
            break;
        case IDC_WAIT:
        case IDC_SQLWAIT:
            p.Poly({{8, 2}, {24, 2}, {16, 16}}, kBlack);
            p.Poly({{16, 16}, {24, 30}, {8, 30}}, kBlack);
            p.Poly({{11, 4}, {21, 4}, {16, 13}}, kWhite);
            p.Poly({{16, 19}, {21, 28}, {11, 28}}, kWhite);
            out.hotX = out.hotY = 16;
            break;
        case IDC_IBEAM:
            p.Rect(15, 4, 17, 28, kBlack);
            p.Rect(11, 3, 21, 5, kBlack);
            p.Rect(11, 27, 21, 29, kBlack);
            out.hotX = out.hotY = 16;
            break;
        case IDC_CROSS:
        case IDC_SIZEALL:
        case IDC_SIZE:
            p.Rect(15, 2, 17, 30, kBlack);
            p.Rect(2, 15, 30, 17, kBlack);
            out.hotX = out.hotY = 16;
            break;
        case IDC_SIZEWE:
        case IDC_HSPLIT:
            p.Rect(3, 15, 29, 17, kBlack);
            p.Poly({{1, 16}, {7, 10}, {7, 22}}, kBlack);
            p.Poly({{31, 16}, {25, 10}, {25, 22}}, kBlack);
            out.hotX = out.hotY = 16;
            break;
        case IDC_SIZENS:
        case IDC_VSPLIT:
            p.Rect(15, 3, 17, 29, kBlack);
            p.Poly({{16, 1}, {10, 7}, {22, 7}}, kBlack);
            p.Poly({{16, 31}, {10, 25}, {22, 25}}, kBlack);
            out.hotX = out.hotY = 16;
            break;
        case IDC_SIZENWSE:
            p.Line(4, 4, 28, 28, 2.5, kBlack);
            out.hotX = out.hotY = 16;
            break;
        case IDC_SIZENESW:
            p.Line(28, 4, 4, 28, 2.5, kBlack);
            out.hotX = out.hotY = 16;
            break;
        case IDC_ICON:
            p.Box(8, 8, 24, 24, kWhite, kBlack);
            out.hotX = out.hotY = 16;
            break;
        default:
            return false;
    }
    return true;
}
