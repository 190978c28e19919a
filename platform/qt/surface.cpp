#include "platform/qt/surface.h"

#include <QBuffer>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QRawFont>
#include <QTextLayout>
#include <cmath>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/qt/fontSetUp.h"
#include "platform/qt/qimageAccess.h"
#include "platform/qt/qtapp.h"
#include "platform/user/window.h"
#include "platform/vcl/peer.h"

namespace qtbridge {

namespace {
QColor ToQ(uint32_t bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}
uint32_t FromQ(QRgb c) {
    return uint32_t(qRed(c)) | (uint32_t(qGreen(c)) << 8) | (uint32_t(qBlue(c)) << 16);
}

QFont ToQFont(const gdi::FontSpec& f) {
    QFont q(QString::fromStdString(f.name));
    // The mapped faces (see MapFonts) stand behind the named one for glyphs it lacks.
    QStringList families{QString::fromStdString(f.name)};
    families += QFont::substitutes(families.front());
    q.setFamilies(families);
    q.setPixelSize(std::max(1, f.pixelHeight));
    q.setBold(f.bold);
    q.setItalic(f.italic);
    q.setUnderline(f.underline);
    q.setStrikeOut(f.strikeOut);
    q.setStyleStrategy(QFont::NoAntialias);
    if (f.charExtra != 0) q.setLetterSpacing(QFont::AbsoluteSpacing, f.charExtra);
    return q;
}

bool IsSongFace(const std::string& name) {
    return name == "宋体" || name == "新宋体" || name == "SimSun" || name == "NSimSun";
}

}  // namespace

double SongInk(const QFont& f) {
    const QStringList families = f.families();
    if (families.isEmpty() || !IsSongFace(families.front().toStdString())) return 1.0;
    const QString real = QFontInfo(f).family();
    if (real == QLatin1String("SimSun") || real == QLatin1String("NSimSun")) return 1.0;
    const int size = f.pixelSize();
    if (size <= 1) return 1.0;
    // 11 pixels of ink at 12, at least one pixel less than the size.
    const int inkPixels = std::min(size - 1, (size * kSongInk + 6) / 12);
    return double(inkPixels) / size;
}

QFont SongInkFace(const QFont& f) {
    const double ink = SongInk(f);
    if (ink >= 1.0) return f;
    QFont drawn(f);
    drawn.setPixelSize(std::max(1, int(std::lround(f.pixelSize() * ink))));
    return drawn;
}

namespace {

// AR PL UMing draws Latin-1 signs (», ±, é ...) from tiny bitmap strikes at small sizes, so
// runs of them are drawn from a Latin face of the same pixel size; other text keeps the face.
bool SplitsLatin1(const QFont& f) {
    return QFontInfo(f).family().startsWith(QLatin1String("AR PL"));
}
QFont Latin1Face(const QFont& f) {
    QFont l(f);
    l.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    return l;
}
bool IsLatin1Sign(QChar c) { return c.unicode() >= 0xA0 && c.unicode() <= 0xFF; }

// The face's half-width Latin letters are too narrow to take its made-up bold (a W becomes a
// solid block), so in bold text they and the digits are drawn from a monospaced Latin face
// with a bold of its own, whose letters fill the same half-width cell.
QFont BoldLettersFace(const QFont& f) {
    QFont l(f);
    l.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono")});
    return l;
}
bool IsAsciiLetterOrDigit(QChar c) { return c.unicode() < 0x80 && c.isLetterOrNumber(); }

// Calls f(run, face) for each run of the text with the face that draws the run.
template <class F>
void ForRuns(const QFont& font, const QString& s, F f) {
    const QFont latin1 = Latin1Face(font), letters = BoldLettersFace(font);
    auto faceOf = [&](QChar c) -> const QFont& {
        if (IsLatin1Sign(c)) return latin1;
        return font.bold() && IsAsciiLetterOrDigit(c) ? letters : font;
    };
    int start = 0;
    for (int i = 1; i <= s.size(); ++i)
        if (i == s.size() || &faceOf(s[i]) != &faceOf(s[start])) {
            f(s.mid(start, i - start), faceOf(s[start]));
            start = i;
        }
}

int Advance(const QFont& font, const QString& s, bool splitsLatin1) {
    if (s.isEmpty()) return 0;
    if (!splitsLatin1) return QFontMetrics(font).horizontalAdvance(s);
    int w = 0;
    ForRuns(font, s, [&](const QString& run, const QFont& face) {
        w += QFontMetrics(face).horizontalAdvance(run);
    });
    return w;
}
int Advance(const QFont& font, const QString& s) {
    return s.isEmpty() ? 0 : Advance(font, s, SplitsLatin1(font));
}

// Draws the text in the painter's font with its glyphs scaled by `ink` about the baseline,
// each glyph at the place the font's own advances give it.
void DrawScaledGlyphs(QPainter& p, int x, int baseline, const QString& s, double ink) {
    QTextLayout layout(s, p.font());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid()) return;
    for (QGlyphRun run : line.glyphRuns()) {
        QRawFont raw = run.rawFont();
        raw.setPixelSize(std::max(1.0, std::round(raw.pixelSize() * ink)));
        run.setRawFont(raw);
        p.drawGlyphRun(QPointF(x, baseline - line.ascent()), run);
    }
}

void DrawRun(QPainter& p, int x, int baseline, const QString& s) {
    const double ink = SongInk(p.font());
    if (ink < 1.0)
        DrawScaledGlyphs(p, x, baseline, s, ink);
    else
        p.drawText(x, baseline, s);
}

void DrawRuns(QPainter& p, int x, int baseline, const QString& s) {
    const QFont font = p.font();
    if (!SplitsLatin1(font)) {
        DrawRun(p, x, baseline, s);
        return;
    }
    ForRuns(font, s, [&](const QString& run, const QFont& face) {
        p.setFont(face);
        DrawRun(p, x, baseline, run);
        x += QFontMetrics(p.font()).horizontalAdvance(run);
    });
    p.setFont(font);
}

// Measuring is asked for the same few fonts and texts again and again (every label, list
// row and caption at start, every paint after), and building a QFont from a font
// description, resolving its faces and shaping the text cost far more than the answer.
// Fonts, their metrics and advances are kept per font description; the substitutions they
// depend on are set once at start (MapFonts), before anything is measured. Held behind a
// pointer that is never freed, so no QFont outlives the toolkit at exit.
struct FontKey {
    std::string name;
    int pixelHeight;
    int charExtra;
    unsigned style;  // bold, italic, underline, strike-out
    bool operator==(const FontKey&) const = default;
};
FontKey KeyOf(const gdi::FontSpec& f) {
    return {f.name, f.pixelHeight, f.charExtra,
            unsigned(f.bold) | unsigned(f.italic) << 1 | unsigned(f.underline) << 2 |
                unsigned(f.strikeOut) << 3};
}
struct FontKeyHash {
    size_t operator()(const FontKey& k) const {
        return std::hash<std::string>()(k.name) ^ (size_t(k.pixelHeight) << 8) ^
               (size_t(k.charExtra) << 20) ^ (size_t(k.style) << 28);
    }
};
struct CachedFont {
    QFont font;
    std::optional<bool> splitsLatin1;  // asked only when text is measured: it loads the face
    std::optional<gdi::FontInfo> info;
    std::unordered_map<std::string, int> advances;
};
// Bounds on what is kept; past them the cache starts afresh (a program that shows ever new
// texts keeps measuring them correctly, only without the saving).
constexpr size_t kMaxFonts = 256;
constexpr size_t kMaxAdvancesPerFont = 4096;

class FontCache {
public:
    // The entry for the font description, made when first asked for. Call with the lock held.
    CachedFont& entry(const gdi::FontSpec& f) {
        FontKey key = KeyOf(f);
        auto it = fonts_.find(key);
        if (it != fonts_.end()) return it->second;
        if (fonts_.size() >= kMaxFonts) fonts_.clear();
        CachedFont& c = fonts_[std::move(key)];
        c.font = ToQFont(f);
        return c;
    }
    std::mutex lock;

private:
    std::unordered_map<FontKey, CachedFont, FontKeyHash> fonts_;
};
FontCache& Fonts() {
    static FontCache* cache = new FontCache;
    return *cache;
}

// Text measured or drawn: the first waits for fontconfig's set-up, started with the
// application (a font made for a widget needs none of it).
void TextNeedsFonts() {
    static const bool ready = (WaitForFontSetUp(), true);
    (void)ready;
}

int ToQtFlags(unsigned f) {
    int q = 0;
    q |= (f & DT_CENTER) ? Qt::AlignHCenter : (f & DT_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
    if (f & DT_SINGLELINE)
        q |= (f & DT_VCENTER) ? Qt::AlignVCenter : (f & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop;
    else
        q |= Qt::AlignTop;
    if (f & DT_WORDBREAK) q |= Qt::TextWordWrap;
    if (f & DT_SINGLELINE) q |= Qt::TextSingleLine;
    if (f & DT_EXPANDTABS) q |= Qt::TextExpandTabs;
    if (!(f & DT_NOPREFIX)) q |= Qt::TextShowMnemonic;
    return q;
}
}  // namespace

std::unique_ptr<gdi::ImageData> QtImageData::clone() const {
    auto r = std::make_unique<QtImageData>();
    r->img = img.copy();
    return r;
}
// Copies are deep: a painter may be drawing on the original, and a shared buffer would leave
// it drawing on the copy once the original detaches.
void QtImageData::copyFrom(const gdi::ImageData& other) {
    if (&other != this) replace(static_cast<const QtImageData&>(other).img.copy());
}

void QtImageData::resize(int w, int h) {
    if (w == width() && h == height()) return;
    QImage n(w, h, QImage::Format_RGB32);
    n.fill(Qt::white);
    if (!img.isNull()) {
        QPainter p(&n);
        p.drawImage(0, 0, img);
    }
    replace(std::move(n));
}

void QtImageData::replace(QImage next) {
    if (painter) painter->suspend();
    img = std::move(next);
    if (painter) painter->resume();
}

uint32_t QtImageData::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return 0xFFFFFFFF;
    return FromQ(img.pixel(x, y));
}
void QtImageData::setPixel(int x, int y, uint32_t bgr) {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return;
    img.setPixel(x, y, ToQ(bgr).rgb());
}
namespace {

// The extension of a path in lower case, as the toolkit names image formats ("bmp", "png").
QByteArray ImageFormatOf(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return {};
    return QByteArray::fromStdString(path.substr(dot + 1)).toLower();
}

}  // namespace

// The file itself is written and read by its bytes: a name in another encoding than UTF-8
// (a GBK folder) would not survive the toolkit's text file names.
bool QtImageData::save(const std::string& path) const {
    const QByteArray format = ImageFormatOf(path);
    if (format.isEmpty()) return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!img.save(&buffer, format.constData())) return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.constData(), bytes.size());
    out.close();
    return bool(out);
}
bool QtImageData::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const QByteArray format = ImageFormatOf(path);
    const auto* data = reinterpret_cast<const uchar*>(bytes.data());
    QImage i;
    // The extension names the format, as for a file name; the content decides otherwise.
    if (!i.loadFromData(data, int(bytes.size()), format.isEmpty() ? nullptr : format.constData()) &&
        !i.loadFromData(data, int(bytes.size())))
        return false;
    replace(i.convertToFormat(QImage::Format_RGB32));
    return true;
}
bool QtImageData::loadFromData(const void* data, size_t size) {
    QImage i;
    if (!i.loadFromData(static_cast<const uchar*>(data), int(size))) return false;
    replace(i.convertToFormat(QImage::Format_ARGB32));
    return true;
}

std::unique_ptr<gdi::ImageData> QtImageData::withColorKey(uint32_t bgr) const {
    auto r = std::make_unique<QtImageData>();
    QImage a = img.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ToQ(bgr).rgb() & 0xFFFFFF;
    for (int y = 0; y < a.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(a.scanLine(y));
        for (int x = 0; x < a.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
    }
    r->img = a;
    return r;
}

namespace {
// What a painter holds between drawing calls, so that it can be set again on new pixels.
struct HeldState {
    QTransform transform;
    bool clipping = false, clipByPath = false;
    QRegion clipRegion;
    QPainterPath clipPath;
    QPen pen;
    QBrush brush, background;
    QPoint brushOriginAt;
    Qt::BGMode backgroundMode = Qt::TransparentMode;
    QFont font;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    qreal opacity = 1;
    QPainter::RenderHints hints;
};

HeldState Hold(const QPainter& p) {
    HeldState s;
    s.transform = p.transform();
    s.clipping = p.hasClipping();
    if (s.clipping) {
        // A region is exact while the painter only translates (how the GDI sets clips).
        s.clipByPath = s.transform.type() > QTransform::TxTranslate;
        if (s.clipByPath)
            s.clipPath = p.clipPath();
        else
            s.clipRegion = p.clipRegion();
    }
    s.pen = p.pen();
    s.brush = p.brush();
    s.brushOriginAt = p.brushOrigin();
    s.background = p.background();
    s.backgroundMode = p.backgroundMode();
    s.font = p.font();
    s.mode = p.compositionMode();
    s.opacity = p.opacity();
    s.hints = p.renderHints();
    return s;
}

void SetHeld(QPainter& p, const HeldState& s) {
    p.setRenderHints(p.renderHints(), false);
    p.setRenderHints(s.hints, true);
    p.setTransform(s.transform);
    if (s.clipping) {
        if (s.clipByPath)
            p.setClipPath(s.clipPath);
        else
            p.setClipRegion(s.clipRegion);
    } else {
        p.setClipping(false);
    }
    p.setPen(s.pen);
    p.setBrush(s.brush);
    p.setBrushOrigin(s.brushOriginAt);
    p.setBackground(s.background);
    p.setBackgroundMode(s.backgroundMode);
    p.setFont(s.font);
    p.setCompositionMode(s.mode);
    p.setOpacity(s.opacity);
}
}  // namespace

struct Painter::Impl {
    QPainter p;
    int penX = 0, penY = 0;
    int orientation = 0;  // of the current font, tenths of a degree
    gdi::Path* record = nullptr;
    int saved = 0;                // levels saved on `p`
    std::vector<HeldState> held;  // while suspended: the saved levels, then the current state
};

namespace {
struct QtPathData final : gdi::PathData {
    QPainterPath outlines;
    bool empty() const override { return outlines.isEmpty(); }
};
QPainterPath& OutlinesOf(const gdi::Path& p) { return static_cast<QtPathData&>(p.data()).outlines; }
}  // namespace

namespace {
// The glyph outlines of a text whose baseline starts at (x, baseline), mapped by `t`.
void AddTextOutlines(QPainterPath& out, const QTransform& t, const QFont& font, int x, int baseline,
                     const QString& s) {
    TextNeedsFonts();
    QPainterPath local;
    auto add = [&](const QFont& f, const QString& run) {
        local.addText(x, baseline, f, run);
        x += QFontMetrics(f).horizontalAdvance(run);
    };
    if (!SplitsLatin1(font)) {
        add(font, s);
    } else {
        ForRuns(font, s, [&](const QString& run, const QFont& face) { add(face, run); });
    }
    out.addPath(t.map(local));
}
}  // namespace

Painter::Painter(gdi::Image& target) : target_(&target), d_(std::make_unique<Impl>()) {
    EnsureGui();  // fonts need the application
    if (target.width() > 0 && target.height() > 0 && !target.painter) {
        d_->p.begin(&QImageOf(target));
        target.painter = this;
        QtDataOf(target).painter = this;
    }
}
Painter::~Painter() {
    if (d_->p.isActive()) d_->p.end();
    if (target_->painter == this) target_->painter = nullptr;
    if (QtDataOf(*target_).painter == this) QtDataOf(*target_).painter = nullptr;
}

void Painter::suspend() {
    if (!d_->p.isActive()) return;  // already suspended (pixels of no size) or never drawing
    std::vector<HeldState> levels{Hold(d_->p)};
    for (; d_->saved > 0; --d_->saved) {
        d_->p.restore();
        levels.push_back(Hold(d_->p));
    }
    d_->p.end();
    d_->held.assign(levels.rbegin(), levels.rend());
}

void Painter::resume() {
    QImage& img = QImageOf(*target_);
    if (d_->held.empty() || img.isNull() || img.width() <= 0 || img.height() <= 0) return;
    if (!d_->p.begin(&img)) return;
    for (std::size_t i = 0; i < d_->held.size(); ++i) {
        if (i > 0) {
            d_->p.save();
            ++d_->saved;
        }
        SetHeld(d_->p, d_->held[i]);
    }
    d_->held.clear();
}

void Painter::save() {
    if (!d_->p.isActive()) return;
    d_->p.save();
    ++d_->saved;
}
void Painter::restore() {
    if (!d_->p.isActive() || d_->saved == 0) return;
    d_->p.restore();
    --d_->saved;
}
void Painter::origin(int& x, int& y) const {
    QPointF o = d_->p.isActive() ? d_->p.transform().map(QPointF(0, 0)) : QPointF(0, 0);
    x = int(o.x());
    y = int(o.y());
}
bool Painter::clipBox(int& l, int& t, int& r, int& b) const {
    if (!d_->p.isActive() || !d_->p.hasClipping()) return false;
    QRect c = d_->p.transform().mapRect(d_->p.clipBoundingRect()).toAlignedRect();
    l = c.left();
    t = c.top();
    r = c.right() + 1;
    b = c.bottom() + 1;
    return true;
}
bool Painter::clipRects(std::vector<int>& ltrb) const {
    ltrb.clear();
    if (!d_->p.isActive() || !d_->p.hasClipping()) return false;
    for (const QRect& c : d_->p.transform().map(d_->p.clipRegion()))
        ltrb.insert(ltrb.end(), {c.left(), c.top(), c.right() + 1, c.bottom() + 1});
    return true;
}
void Painter::setClipRects(const int* ltrb, int count) {
    if (!d_->p.isActive()) return;
    QRegion rg;
    for (int i = 0; i < count; ++i)
        rg += QRect(ltrb[4 * i], ltrb[4 * i + 1], ltrb[4 * i + 2] - ltrb[4 * i],
                    ltrb[4 * i + 3] - ltrb[4 * i + 1]);
    QTransform t = d_->p.transform();
    d_->p.resetTransform();
    d_->p.setClipRegion(rg);
    d_->p.setTransform(t);
}
void Painter::setRop2(int r2) {
    if (!d_->p.isActive()) return;
    using M = QPainter::CompositionMode;
    static const M modes[17] = {
        M::CompositionMode_SourceOver,
        M::RasterOp_ClearDestination,
        M::RasterOp_NotSourceAndNotDestination,
        M::RasterOp_NotSourceAndDestination,
        M::RasterOp_NotSource,
        M::RasterOp_SourceAndNotDestination,
        M::RasterOp_NotDestination,
        M::RasterOp_SourceXorDestination,
        M::RasterOp_NotSourceOrNotDestination,
        M::RasterOp_SourceAndDestination,
        M::RasterOp_NotSourceXorDestination,
        M::CompositionMode_Destination,
        M::RasterOp_NotSourceOrDestination,
        M::CompositionMode_SourceOver,
        M::RasterOp_SourceOrNotDestination,
        M::RasterOp_SourceOrDestination,
        M::RasterOp_SetDestination,
    };
    d_->p.setCompositionMode(r2 >= 1 && r2 <= 16 ? modes[r2] : M::CompositionMode_SourceOver);
}
void Painter::setPenEx(uint32_t bgr, int width, int style, bool flatCaps) {
    if (!d_->p.isActive()) return;
    if (style == 5) {
        d_->p.setPen(Qt::NoPen);
        return;
    }
    QPen pen(ToQ(bgr));
    pen.setWidth(std::max(1, width));
    static const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                          Qt::DashDotDotLine};
    pen.setStyle(style >= 0 && style <= 4 ? styles[style] : Qt::SolidLine);
    pen.setCapStyle(flatCaps || width <= 1 ? Qt::FlatCap : Qt::RoundCap);
    pen.setJoinStyle(Qt::MiterJoin);
    d_->p.setPen(pen);
}
void Painter::arc(int l, int t, int r, int b, int start16, int span16, int kind) {
    if (!d_->p.isActive() || r <= l || b <= t) return;
    QRect box(l, t, r - l - 1, b - t - 1);
    if (kind == 1)
        d_->p.drawPie(box, start16, span16);
    else if (kind == 2)
        d_->p.drawChord(box, start16, span16);
    else
        d_->p.drawArc(box, start16, span16);
}
void Painter::polyline(const int* xy, int points) {
    if (!d_->p.isActive() || points < 2) return;
    QPolygon poly;
    for (int i = 0; i < points; ++i) poly << QPoint(xy[2 * i], xy[2 * i + 1]);
    d_->p.drawPolyline(poly);
}
void Painter::polygonFill(const int* xy, int points, bool winding) {
    if (!d_->p.isActive()) return;
    QPolygon poly;
    for (int i = 0; i < points; ++i) poly << QPoint(xy[2 * i], xy[2 * i + 1]);
    d_->p.drawPolygon(poly, winding ? Qt::WindingFill : Qt::OddEvenFill);
}
void Painter::roundRect(int l, int t, int r, int b, int ew, int eh) {
    if (!d_->p.isActive() || r <= l || b <= t) return;
    d_->p.drawRoundedRect(QRectF(l, t, r - l - 1, b - t - 1), ew / 2.0, eh / 2.0);
}

void Painter::setPen(uint32_t bgr, int width, int style) {
    if (!d_->p.isActive()) return;
    if (style == 5) {
        d_->p.setPen(Qt::NoPen);
        return;
    }
    QPen pen(ToQ(bgr));
    pen.setWidth(std::max(1, width));
    pen.setStyle(style == 1 ? Qt::DashLine : style == 2 ? Qt::DotLine : Qt::SolidLine);
    d_->p.setPen(pen);
}
void Painter::setBrush(uint32_t bgr, int style) {
    if (!d_->p.isActive()) return;
    if (style == 1)
        d_->p.setBrush(Qt::NoBrush);
    else
        d_->p.setBrush(ToQ(bgr));
}
void Painter::setFont(const gdi::FontSpec& f) {
    if (!d_->p.isActive()) return;
    d_->p.setFont(QFontOf(f));
    d_->orientation = f.orientation;
    QPen pen = d_->p.pen();
    pen.setColor(ToQ(f.color));
    d_->p.setPen(pen);
}
void Painter::setClip(int l, int t, int r, int b) {
    if (d_->p.isActive()) d_->p.setClipRect(QRect(l, t, r - l, b - t));
}
void Painter::clearClip() {
    if (d_->p.isActive()) d_->p.setClipping(false);
}
void Painter::setOrigin(int x, int y) {
    if (!d_->p.isActive()) return;
    d_->p.resetTransform();
    d_->p.translate(x, y);
}
void Painter::fillRect(int l, int t, int r, int b, uint32_t bgr) {
    if (d_->p.isActive() && r > l && b > t) d_->p.fillRect(QRect(l, t, r - l, b - t), ToQ(bgr));
}
void Painter::rectangle(int l, int t, int r, int b) {
    if (!d_->p.isActive() || r <= l || b <= t) return;
    // GDI rectangles include the pen inside the right/bottom edges.
    d_->p.drawRect(QRect(l, t, r - l - 1, b - t - 1));
}
void Painter::ellipse(int l, int t, int r, int b) {
    if (d_->p.isActive() && r > l && b > t) d_->p.drawEllipse(QRect(l, t, r - l - 1, b - t - 1));
}
void Painter::line(int x1, int y1, int x2, int y2) {
    if (!d_->p.isActive()) return;
    if (x1 == x2 && y1 == y2) return;
    // Stop one pixel short of the end point, as GDI does.
    int dx = (x2 > x1) - (x2 < x1), dy = (y2 > y1) - (y2 < y1);
    if (x1 == x2 || y1 == y2)
        d_->p.drawLine(x1, y1, x2 - dx, y2 - dy);
    else
        d_->p.drawLine(x1, y1, x2 - dx, y2 - dy);
}
void Painter::polygon(const int* xy, int points) {
    if (!d_->p.isActive()) return;
    QPolygon poly;
    for (int i = 0; i < points; ++i) poly << QPoint(xy[2 * i], xy[2 * i + 1]);
    d_->p.drawPolygon(poly);
}
void Painter::textOut(int x, int y, const std::string& text, bool opaque, uint32_t backBgr) {
    TextNeedsFonts();
    if (!d_->p.isActive()) return;
    QFontMetrics fm(d_->p.font());
    QString s = QString::fromStdString(text);
    if (d_->record) {
        // Inside a path bracket text becomes outlines; its background is no part of them.
        QTransform place;
        place.translate(x, y);
        if (d_->orientation % 3600 != 0) place.rotate(-d_->orientation / 10.0);
        AddTextOutlines(OutlinesOf(*d_->record), place * d_->p.transform(), d_->p.font(), 0,
                        fm.ascent(), s);
        return;
    }
    if (d_->orientation % 3600 != 0) {
        // Rotated text turns about its reference point, counter-clockwise.
        d_->p.save();
        d_->p.translate(x, y);
        d_->p.rotate(-d_->orientation / 10.0);
        if (opaque)
            d_->p.fillRect(QRect(0, 0, Advance(d_->p.font(), s), fm.height()), ToQ(backBgr));
        DrawRuns(d_->p, 0, fm.ascent(), s);
        d_->p.restore();
        return;
    }
    if (opaque) d_->p.fillRect(QRect(x, y, Advance(d_->p.font(), s), fm.height()), ToQ(backBgr));
    DrawRuns(d_->p, x, y + fm.ascent(), s);
}
void Painter::recordTo(gdi::Path* path) { d_->record = path; }

void Painter::strokePath(const gdi::Path& path, uint32_t bgr, int width) {
    if (!d_->p.isActive() || path.empty()) return;
    d_->p.save();
    d_->p.resetTransform();
    QPen pen(ToQ(bgr));
    pen.setWidth(std::max(1, width));
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    d_->p.setPen(pen);
    d_->p.setBrush(Qt::NoBrush);
    d_->p.drawPath(OutlinesOf(path));
    d_->p.restore();
}

int Painter::drawText(const std::string& text, int& l, int& t, int& r, int& b, unsigned flags) {
    TextNeedsFonts();
    QFont f = d_->p.isActive() ? d_->p.font() : QFont();
    QFontMetrics fm(f);
    QString s = QString::fromStdString(text);
    int width = (flags & DT_WORDBREAK) ? std::max(1, r - l) : 100000;
    QRect br = fm.boundingRect(QRect(0, 0, width, 100000), ToQtFlags(flags), s);
    if (flags & DT_CALCRECT) {
        r = l + ((flags & DT_WORDBREAK) ? std::max(br.width(), 0) : br.width());
        b = t + br.height();
        return br.height();
    }
    if (d_->p.isActive()) d_->p.drawText(QRect(l, t, r - l, b - t), ToQtFlags(flags), s);
    return br.height();
}
void Painter::textExtent(const std::string& text, int& w, int& h) {
    TextNeedsFonts();
    QFont f = d_->p.isActive() ? d_->p.font() : QFont();
    w = Advance(f, QString::fromStdString(text));
    h = QFontMetrics(f).height();
}
void Painter::drawImage(int x, int y, const gdi::Image& img) {
    if (d_->p.isActive()) d_->p.drawImage(x, y, QImageOf(img));
}
void Painter::drawImage(int x, int y, const gdi::Image& img, int sx, int sy, int sw, int sh) {
    if (d_->p.isActive()) d_->p.drawImage(x, y, QImageOf(img), sx, sy, sw, sh);
}
void Painter::stretchImage(int l, int t, int r, int b, const gdi::Image& img) {
    if (d_->p.isActive()) d_->p.drawImage(QRect(l, t, r - l, b - t), QImageOf(img));
}
void Painter::invertRect(int l, int t, int r, int b) {
    if (!d_->p.isActive() || r <= l || b <= t) return;
    auto mode = d_->p.compositionMode();
    d_->p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    d_->p.fillRect(QRect(l, t, r - l, b - t), Qt::white);
    d_->p.setCompositionMode(mode);
}

void MeasureText(const gdi::FontSpec& f, const std::string& text, int& w, int& h) {
    EnsureGui();
    TextNeedsFonts();
    FontCache& cache = Fonts();
    std::lock_guard<std::mutex> hold(cache.lock);
    QFontMetrics fm(cache.entry(f).font);
    QRect br = fm.boundingRect(QRect(0, 0, 100000, 100000), Qt::TextShowMnemonic,
                               QString::fromStdString(text));
    w = br.width();
    h = std::max(br.height(), fm.height());
}

QFont QFontOf(const gdi::FontSpec& f) {
    EnsureGui();
    FontCache& cache = Fonts();
    std::lock_guard<std::mutex> hold(cache.lock);
    return cache.entry(f).font;
}

int TextAdvance(const gdi::FontSpec& f, const std::string& text) {
    if (text.empty()) return 0;
    EnsureGui();
    TextNeedsFonts();
    FontCache& cache = Fonts();
    std::lock_guard<std::mutex> hold(cache.lock);
    CachedFont& c = cache.entry(f);
    if (auto it = c.advances.find(text); it != c.advances.end()) return it->second;
    if (!c.splitsLatin1) c.splitsLatin1 = SplitsLatin1(c.font);
    const int w = Advance(c.font, QString::fromStdString(text), *c.splitsLatin1);
    if (c.advances.size() >= kMaxAdvancesPerFont) c.advances.clear();
    c.advances.emplace(text, w);
    return w;
}

gdi::FontInfo FontInfoOf(const gdi::FontSpec& f) {
    EnsureGui();
    TextNeedsFonts();
    FontCache& cache = Fonts();
    std::lock_guard<std::mutex> hold(cache.lock);
    CachedFont& c = cache.entry(f);
    if (c.info) return *c.info;
    const QFont& q = c.font;
    QFontMetrics fm(q);
    QFontInfo fi(q);
    gdi::FontInfo r;
    r.ascent = fm.ascent();
    r.descent = fm.descent();
    // The Song face the forms name (宋体) reaches 36/256 of its size below the baseline;
    // the face standing in for it may reach less (AR PL UMing: 1 pixel at 12 pixels, where
    // the Song face has 2). Its lines keep the Song face's height, so lines of Chinese text
    // and list rows (13 pixels at 12) keep the pixel of space the forms are laid out with.
    if (IsSongFace(f.name))
        r.descent = std::max(r.descent, (std::max(1, f.pixelHeight) * 36 + 128) / 256);
    r.height = r.ascent + r.descent;
    r.leading = std::max(0, fm.leading());
    r.averageWidth = fm.averageCharWidth();
    r.maxWidth = fm.maxWidth();
    r.weight = f.bold ? 700 : 400;
    r.fixedPitch = fi.fixedPitch();
    r.family = fi.family().toStdString();
    r.scalable = QFontDatabase::isSmoothlyScalable(fi.family(), fi.styleName());
    c.info = r;
    return r;
}

int WrappedTextHeight(const gdi::FontSpec& f, const std::string& text, int width) {
    EnsureGui();
    TextNeedsFonts();
    FontCache& cache = Fonts();
    std::lock_guard<std::mutex> hold(cache.lock);
    QFontMetrics fm(cache.entry(f).font);
    QRect br =
        fm.boundingRect(QRect(0, 0, std::max(1, width), 1000000),
                        Qt::TextWordWrap | Qt::TextShowMnemonic, QString::fromStdString(text));
    return std::max(br.height(), fm.height());
}

void InstallDrawing() {
    gdi::SurfaceDriver d;
    d.newImage = [](int w, int h) -> std::unique_ptr<gdi::ImageData> {
        auto r = std::make_unique<QtImageData>();
        r->resize(std::max(0, w), std::max(0, h));
        return r;
    };
    d.newPainter = [](gdi::Image& target) -> std::unique_ptr<gdi::Painter> {
        return std::make_unique<Painter>(target);
    };
    d.newPath = []() -> std::unique_ptr<gdi::PathData> { return std::make_unique<QtPathData>(); };
    d.measureText = &MeasureText;
    d.textAdvance = &TextAdvance;
    d.fontInfo = &FontInfoOf;
    d.wrappedTextHeight = &WrappedTextHeight;
    d.windowAlive = [](HWND hwnd) { return WindowFromHandle(hwnd) != nullptr; };
    d.windowSurface = [](HWND hwnd, bool whole) -> gdi::Image* {
        WindowObject* w = WindowFromHandle(hwnd);
        auto* painted = w && w->peer
                            ? dynamic_cast<ws::PaintedPeer*>(static_cast<ws::Peer*>(w->peer))
                            : nullptr;
        return painted ? painted->surface(whole) : nullptr;
    };
    d.showWindowSurface = [](HWND hwnd) {
        WindowObject* w = WindowFromHandle(hwnd);
        if (auto* painted = w && w->peer
                                ? dynamic_cast<ws::PaintedPeer*>(static_cast<ws::Peer*>(w->peer))
                                : nullptr)
            painted->showSurface();
    };
    gdi::InstallSurfaceDriver(d);
}

namespace {
// Installed before main, so images and device contexts work from the start wherever this
// back end is linked in.
[[maybe_unused]] const bool g_drawingInstalled = (InstallDrawing(), true);
}  // namespace

}  // namespace qtbridge
