#include "chart/ChartCanvas.h"
#include "chart/FontFallback.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cassert>
#include <string>
#include <unordered_map>
#include <cwchar>

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;
// Rendered texts kept per font before the font's cache starts afresh.
constexpr std::size_t kMaxCachedTexts = 2048;
// Rows of fewer pixels than this are filled by a plain loop.
constexpr int kShortRun = 16;

std::uint32_t PixelOf(TColor plain)
{
    const std::uint32_t r = plain & 0xFF, g = (plain >> 8) & 0xFF, b = (plain >> 16) & 0xFF;
    return kOpaque | (r << 16) | (g << 8) | b;
}

TColor ColorOf(std::uint32_t pixel)
{
    const std::uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return r | (g << 8) | (b << 16);
}

// x * a / 255, rounded, for bytes.
inline std::uint32_t MulDiv255(std::uint32_t x, std::uint32_t a)
{
    const std::uint32_t t = x * a + 128;
    return (t + (t >> 8)) >> 8;
}

// Fills n pixels: wmemset where wchar_t is 32 bits (glibc's is vectorised,
// several times faster than a plain loop over a full-HD surface).
inline void FillPixels(std::uint32_t* p, std::size_t n, std::uint32_t value)
{
    if constexpr (sizeof(wchar_t) == sizeof(std::uint32_t))
        std::wmemset(reinterpret_cast<wchar_t*>(p), static_cast<wchar_t>(value), n);
    else
        std::fill(p, p + n, value);
}

struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

} // namespace

// A rendered text: a premultiplied image placed relative to the text's
// reference point.
struct ChartCanvas::TextImage {
    TColor color = 0;
    int angle = 0;
    int offsetX = 0, offsetY = 0;
    QImage image;
};

struct ChartCanvas::ResolvedFont {
    std::string name;
    int pixelSize = 0;
    unsigned style = 0;
    QFont font;
    int height = 0;
    int ascent = 0;
    std::unordered_map<std::string, int, StringHash, std::equal_to<>> widths;
    std::unordered_map<std::string, std::vector<TextImage>, StringHash, std::equal_to<>> texts;
};

ChartCanvas::ChartCanvas() { ResetState(); }

ChartCanvas::~ChartCanvas() = default;

void ChartCanvas::SetSize(int width, int height)
{
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), kOpaque);
    if (width_ > 0 && height_ > 0)
        image_ = QImage(reinterpret_cast<uchar*>(pixels_.data()), width_, height_, width_ * 4, QImage::Format_RGB32);
    else
        image_ = QImage();
    ResetState();
}

void ChartCanvas::DessinerSur(QPainter* painter, int width, int height)
{
    if (painter_ != nullptr)
        PainterFlush();
    painter_ = painter;
    if (painter_ == nullptr)
        return;
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.clear();
    image_ = QImage();
    ResetState();
}

void ChartCanvas::CopyFrom(const ChartCanvas& other)
{
    if (width_ != other.width_ || height_ != other.height_)
        SetSize(other.width_, other.height_);
    std::copy(other.pixels_.begin(), other.pixels_.end(), pixels_.begin());
    ResetState();
}

TColor ChartCanvas::Pixel(int x, int y) const
{
    assert(x >= 0 && x < width_ && y >= 0 && y < height_);
    return ColorOf(pixels_[static_cast<std::size_t>(y) * width_ + x]);
}

void ChartCanvas::SetPen(TColor color, int width, TPenStyle style)
{
    if (painter_ != nullptr)
        PainterFlush();
    penPixel_ = PixelOf(system_.Resolve(color));
    penWidth_ = std::max(width, 1);
    penStyle_ = style;
}

void ChartCanvas::SetBrush(TColor color, TBrushStyle style)
{
    brushPixel_ = PixelOf(system_.Resolve(color));
    brushStyle_ = style;
}

void ChartCanvas::SetFont(const std::string& name, int points, TColor color, unsigned style)
{
    fontColor_ = color;
    fontPoints_ = points;
    // Points to pixels at the surface's resolution, rounded to nearest.
    const int pixelSize = std::max(1, (points * kDotsPerInch + 36) / 72);
    if (font_ != nullptr && font_->pixelSize == pixelSize && font_->style == style && font_->name == name)
        return;
    for (auto& f : fonts_) {
        if (f->pixelSize == pixelSize && f->style == style && f->name == name) {
            font_ = f.get();
            return;
        }
    }
    auto f = std::make_unique<ResolvedFont>();
    f->name = name;
    f->pixelSize = pixelSize;
    f->style = style;
    f->font = QFont(QString::fromStdString(name));
    f->font.setPixelSize(pixelSize);
    f->font.setBold((style & fsBold) != 0);
    f->font.setItalic((style & fsItalic) != 0);
    f->font.setUnderline((style & fsUnderline) != 0);
    f->font.setStrikeOut((style & fsStrikeOut) != 0);
    f->font = WithFallbackFamily(f->font);
    const QFontMetrics metrics(f->font);
    f->height = metrics.height();
    f->ascent = metrics.ascent();
    font_ = f.get();
    fonts_.push_back(std::move(f));
}

void ChartCanvas::ResetState()
{
    SetPen(clBlack, 1, psSolid);
    penMode_ = pmCopy;
    SetBrush(clWhite, bsSolid);
    fontColor_ = clBlack;
    font_ = nullptr; // "Arial" 10 points, resolved when text is next measured or drawn
    RemoveClip();
}

void ChartCanvas::SetClip(const ClipRect& clip)
{
    clip_.left = std::clamp(clip.left, 0, width_);
    clip_.top = std::clamp(clip.top, 0, height_);
    clip_.right = std::clamp(clip.right, clip_.left, width_);
    clip_.bottom = std::clamp(clip.bottom, clip_.top, height_);
    if (painter_ != nullptr)
        PainterClip();
}

void ChartCanvas::RemoveClip()
{
    clip_ = ClipRect{0, 0, width_, height_};
    if (painter_ != nullptr)
        PainterClip();
}

void ChartCanvas::FillRect(int left, int top, int right, int bottom)
{
    if (brushStyle_ == bsClear)
        return;
    if (painter_ != nullptr) {
        PainterFillRect(left, top, right, bottom);
        return;
    }
    const int l = std::max(left, clip_.left), r = std::min(right, clip_.right);
    const int t = std::max(top, clip_.top), b = std::min(bottom, clip_.bottom);
    if (l >= r || t >= b)
        return;
    if (l == 0 && r == width_) { // whole rows: one run
        FillPixels(pixels_.data() + static_cast<std::size_t>(t) * width_,
                   static_cast<std::size_t>(b - t) * static_cast<std::size_t>(width_), brushPixel_);
        return;
    }
    if (r - l < kShortRun) { // a point's mark: a plain loop costs less than fill calls
        for (int y = t; y < b; ++y) {
            std::uint32_t* row = pixels_.data() + static_cast<std::size_t>(y) * width_;
            for (int x = l; x < r; ++x)
                row[x] = brushPixel_;
        }
        return;
    }
    for (int y = t; y < b; ++y)
        FillPixels(pixels_.data() + static_cast<std::size_t>(y) * width_ + l, static_cast<std::size_t>(r - l),
                   brushPixel_);
}

inline void ChartCanvas::PlotPixel(int x, int y, int k)
{
    std::uint32_t& p = pixels_[static_cast<std::size_t>(y) * width_ + x];
    if (penMode_ == pmNotXor) {
        p = kOpaque | (~(p ^ penPixel_) & 0x00FFFFFFu);
        return;
    }
    if (penStyle_ != psSolid && InGap(penStyle_, k))
        return;
    p = penPixel_;
}

void ChartCanvas::PlotSquare(int x, int y)
{
    const int lo = -(penWidth_ / 2), hi = penWidth_ - 1 - penWidth_ / 2;
    const int l = std::max(x + lo, clip_.left), r = std::min(x + hi + 1, clip_.right);
    const int t = std::max(y + lo, clip_.top), b = std::min(y + hi + 1, clip_.bottom);
    if (l >= r)
        return;
    // A few pixels a row: a plain loop costs less than a fill call.
    for (int yy = t; yy < b; ++yy) {
        std::uint32_t* row = pixels_.data() + static_cast<std::size_t>(yy) * width_;
        for (int xx = l; xx < r; ++xx)
            row[xx] = penPixel_;
    }
}

void ChartCanvas::Rectangle(int left, int top, int right, int bottom)
{
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    if (right == left || bottom == top)
        return;
    if (painter_ != nullptr) {
        PainterRectangle(left, top, right, bottom);
        return;
    }
    if (brushStyle_ != bsClear && penMode_ == pmCopy)
        FillRect(left + 1, top + 1, right - 1, bottom - 1);
    if (penWidth_ > 1 && penMode_ == pmCopy) {
        MoveTo(left, top);
        LineTo(right - 1, top);
        LineTo(right - 1, bottom - 1);
        LineTo(left, bottom - 1);
        LineTo(left, top);
        return;
    }
    // The ring of columns left .. right-1 and rows top .. bottom-1, each
    // pixel once, so that a not-xor rectangle drawn twice vanishes.
    int k = 0;
    auto plot = [&](int x, int y) {
        if (clip_.Contains(x, y))
            PlotPixel(x, y, k);
        ++k;
    };
    for (int x = left; x < right; ++x)
        plot(x, top);
    for (int y = top + 1; y < bottom; ++y)
        plot(right - 1, y);
    if (bottom - 1 > top)
        for (int x = right - 2; x >= left; --x)
            plot(x, bottom - 1);
    if (right - 1 > left)
        for (int y = bottom - 2; y > top; --y)
            plot(left, y);
}

void ChartCanvas::LineTo(int x, int y)
{
    const int x0 = penX_, y0 = penY_;
    penX_ = x;
    penY_ = y;
    if (painter_ != nullptr) {
        PainterLineTo(x0, y0, x, y);
        return;
    }
    if (penWidth_ == 1 || penMode_ == pmNotXor) {
        if (penMode_ == pmCopy && (x0 == x || y0 == y)) {
            AxisAlignedLine(x0, y0, x, y);
            return;
        }
        RasterLine(x0, y0, x, y, clip_, [this](int px, int py, int k) { PlotPixel(px, py, k); });
        return;
    }
    // The line's pixels whose square reaches into the clip.
    const int lo = -(penWidth_ / 2), hi = penWidth_ - 1 - penWidth_ / 2;
    const ClipRect grown{clip_.left - hi, clip_.top - hi, clip_.right - lo, clip_.bottom - lo};
    RasterLine(x0, y0, x, y, grown, [this](int px, int py, int) { PlotSquare(px, py); });
}

// The same pixels as RasterLine's axis-aligned case, written directly (grid
// lines run across the whole plot at every label).
void ChartCanvas::AxisAlignedLine(int x0, int y0, int x1, int y1)
{
    if (x0 == x1 && y0 == y1)
        return;
    const bool horizontal = y0 == y1;
    const int a0 = horizontal ? x0 : y0, a1 = horizontal ? x1 : y1; // along the line
    const int across = horizontal ? y0 : x0;
    const int acrossLo = horizontal ? clip_.top : clip_.left, acrossHi = horizontal ? clip_.bottom : clip_.right;
    if (across < acrossLo || across >= acrossHi)
        return;
    const int step = a1 > a0 ? 1 : -1;
    int from = a0, to = a1 - step; // inclusive
    if (step < 0)
        std::swap(from, to);
    from = std::max(from, horizontal ? clip_.left : clip_.top);
    to = std::min(to, (horizontal ? clip_.right : clip_.bottom) - 1);
    if (from > to)
        return;
    const std::size_t stride = horizontal ? 1 : static_cast<std::size_t>(width_);
    std::uint32_t* first = horizontal ? pixels_.data() + static_cast<std::size_t>(across) * width_ + from
                                      : pixels_.data() + static_cast<std::size_t>(from) * width_ + across;
    const int count = to - from + 1;
    if (penStyle_ == psSolid) {
        if (horizontal) {
            FillPixels(first, static_cast<std::size_t>(count), penPixel_);
        } else {
            for (int i = 0; i < count; ++i)
                first[i * stride] = penPixel_;
        }
        return;
    }
    if (penStyle_ == psDot) {
        // Dotted: the pixels at an even distance from the line's start.
        for (int i = (std::abs(from - a0) & 1); i < count; i += 2)
            first[static_cast<std::size_t>(i) * stride] = penPixel_;
        return;
    }
    // Dashed: the pattern counted from the line's start.
    for (int i = 0; i < count; ++i)
        if (!InGap(penStyle_, std::abs(from + i - a0)))
            first[static_cast<std::size_t>(i) * stride] = penPixel_;
}

int ChartCanvas::FontHeight()
{
    if (font_ == nullptr)
        SetFont("Arial", 10, fontColor_);
    return font_->height;
}

std::string ChartCanvas::ResolvedFontFamily()
{
    if (font_ == nullptr)
        SetFont("Arial", 10, fontColor_);
    return QFontInfo(font_->font).family().toStdString();
}

QFont ChartCanvas::CurrentFont()
{
    if (font_ == nullptr)
        SetFont("Arial", 10, fontColor_);
    return font_->font;
}

namespace {

// The parts of a text with subscripts, each plain or subscript.
struct TextPart {
    std::string_view text;
    bool subscript = false;
};

std::vector<TextPart> SubscriptParts(std::string_view text)
{
    auto isWordChar = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    };
    std::vector<TextPart> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '_' || i + 1 >= text.size() || !isWordChar(text[i + 1]))
            continue;
        if (i > start)
            parts.push_back({text.substr(start, i - start), false});
        std::size_t end = i + 1;
        while (end < text.size() && isWordChar(text[end]))
            ++end;
        parts.push_back({text.substr(i + 1, end - i - 1), true});
        start = end;
        i = end - 1;
    }
    if (start < text.size())
        parts.push_back({text.substr(start), false});
    return parts;
}

int SubscriptPoints(int points) { return std::max(1, (points * 3 + 2) / 4); }

} // namespace

int ChartCanvas::SubscriptTextWidth(std::string_view utf8)
{
    if (utf8.find('_') == std::string_view::npos || font_ == nullptr)
        return TextWidth(utf8);
    const std::string name = font_->name;
    const unsigned style = font_->style;
    const int points = fontPoints_;
    const TColor color = fontColor_;
    int width = 0;
    for (const TextPart& part : SubscriptParts(utf8)) {
        SetFont(name, part.subscript ? SubscriptPoints(points) : points, color, style);
        width += TextWidth(part.text);
    }
    SetFont(name, points, color, style);
    return width;
}

void ChartCanvas::SubscriptTextOut(int x, int y, std::string_view utf8, TextHAlign align, int angle)
{
    if (utf8.find('_') == std::string_view::npos || font_ == nullptr) {
        TextOut(x, y, utf8, align, angle);
        return;
    }
    const bool turned = angle == 90;
    const int width = SubscriptTextWidth(utf8);
    // Each part's distance from (x, y) along the text and across it (down
    // the upright text); turned text reads upward from y, and TextOut does
    // not align it.
    int along = turned || align == TextHAlign::Left ? 0 : align == TextHAlign::Center ? -(width / 2) : -width;
    const std::string name = font_->name;
    const unsigned style = font_->style;
    const int points = fontPoints_;
    const TColor color = fontColor_;
    const int height = FontHeight(), ascent = font_->ascent;
    for (const TextPart& part : SubscriptParts(utf8)) {
        int across = 0;
        if (part.subscript) {
            SetFont(name, SubscriptPoints(points), color, style);
            // Its baseline a sixth of the line below the text's.
            across = ascent + height / 6 - font_->ascent;
        } else {
            SetFont(name, points, color, style);
        }
        if (turned)
            TextOut(x + across, y - along, part.text, TextHAlign::Left, 90);
        else
            TextOut(x + along, y + across, part.text);
        along += TextWidth(part.text);
    }
    SetFont(name, points, color, style);
}

int ChartCanvas::TextWidth(std::string_view utf8)
{
    if (font_ == nullptr)
        SetFont("Arial", 10, fontColor_);
    if (auto it = font_->widths.find(utf8); it != font_->widths.end())
        return it->second;
    if (font_->widths.size() >= kMaxCachedTexts)
        font_->widths.clear();
    const QFontMetrics metrics(font_->font);
    const int w = metrics.horizontalAdvance(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    font_->widths.emplace(std::string(utf8), w);
    return w;
}

const ChartCanvas::TextImage& ChartCanvas::RenderedText(std::string_view utf8, int angle)
{
    auto it = font_->texts.find(utf8);
    if (it == font_->texts.end()) {
        if (font_->texts.size() >= kMaxCachedTexts)
            font_->texts.clear();
        it = font_->texts.emplace(std::string(utf8), std::vector<TextImage>{}).first;
    }
    for (const TextImage& t : it->second)
        if (t.color == fontColor_ && t.angle == angle)
            return t;

    // Render the text upright on a transparent image covering both its cell
    // and the ink of its glyphs (which may reach past the cell).
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    const QFontMetrics metrics(font_->font);
    const int advance = metrics.horizontalAdvance(text);
    QRect ink = metrics.boundingRect(text); // relative to the baseline origin
    ink.adjust(-1, -1, 1, 1);               // room for antialiasing
    const QRect cell(0, -font_->ascent, std::max(advance, 1), font_->height);
    const QRect area = ink.united(cell);

    QImage upright(area.width(), area.height(), QImage::Format_ARGB32_Premultiplied);
    upright.fill(Qt::transparent);
    {
        QPainter painter(&upright);
        painter.setFont(font_->font);
        const TColor c = system_.Resolve(fontColor_);
        painter.setPen(QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)));
        painter.drawText(QPoint(-area.left(), -area.top()), text);
    }
    // Keep only the rows and columns that hold ink: blending then skips the
    // empty margins.
    int inkLeft = upright.width(), inkRight = -1, inkTop = upright.height(), inkBottom = -1;
    for (int v = 0; v < upright.height(); ++v) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(upright.constScanLine(v));
        for (int u = 0; u < upright.width(); ++u) {
            if ((row[u] >> 24) != 0) {
                inkLeft = std::min(inkLeft, u);
                inkRight = std::max(inkRight, u);
                inkTop = std::min(inkTop, v);
                inkBottom = std::max(inkBottom, v);
            }
        }
    }
    int ox = area.left(), oy = area.top() + font_->ascent; // image offsets from the cell's top-left
    if (inkRight < 0) { // blanks only
        upright = QImage();
        inkLeft = inkTop = 0;
    } else {
        upright = upright.copy(inkLeft, inkTop, inkRight - inkLeft + 1, inkBottom - inkTop + 1);
        ox += inkLeft;
        oy += inkTop;
    }
    TextImage rendered;
    rendered.color = fontColor_;
    rendered.angle = angle;
    if (angle == 90 && !upright.isNull()) {
        // Turned a quarter counter-clockwise: upright pixel (u, v) goes to
        // (v, W - 1 - u); the cell's top-left corner stays at the reference.
        const int w = upright.width(), h = upright.height();
        QImage turned(h, w, QImage::Format_ARGB32_Premultiplied);
        for (int v = 0; v < h; ++v) {
            const auto* src = reinterpret_cast<const std::uint32_t*>(upright.constScanLine(v));
            for (int u = 0; u < w; ++u)
                reinterpret_cast<std::uint32_t*>(turned.scanLine(w - 1 - u))[v] = src[u];
        }
        rendered.image = std::move(turned);
        rendered.offsetX = oy;
        rendered.offsetY = -ox - w;
    } else {
        rendered.image = std::move(upright);
        rendered.offsetX = ox;
        rendered.offsetY = oy;
    }
    it->second.push_back(std::move(rendered));
    return it->second.back();
}

void ChartCanvas::BlendText(const TextImage& text, int left, int top)
{
    const int w = text.image.width(), h = text.image.height();
    const int x0 = std::max(left, clip_.left), x1 = std::min(left + w, clip_.right);
    const int y0 = std::max(top, clip_.top), y1 = std::min(top + h, clip_.bottom);
    for (int y = y0; y < y1; ++y) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(text.image.constScanLine(y - top));
        std::uint32_t* dst = pixels_.data() + static_cast<std::size_t>(y) * width_;
        for (int x = x0; x < x1; ++x) {
            const std::uint32_t s = src[x - left];
            const std::uint32_t a = s >> 24;
            if (a == 0)
                continue;
            if (a == 255) {
                dst[x] = s;
                continue;
            }
            const std::uint32_t d = dst[x], ia = 255 - a;
            const std::uint32_t r = ((s >> 16) & 0xFF) + MulDiv255((d >> 16) & 0xFF, ia);
            const std::uint32_t g = ((s >> 8) & 0xFF) + MulDiv255((d >> 8) & 0xFF, ia);
            const std::uint32_t b = (s & 0xFF) + MulDiv255(d & 0xFF, ia);
            dst[x] = kOpaque | (std::min(r, 255u) << 16) | (std::min(g, 255u) << 8) | std::min(b, 255u);
        }
    }
}

void ChartCanvas::TextOut(int x, int y, std::string_view utf8, TextHAlign align, int angle)
{
    if (utf8.empty() || width_ == 0)
        return;
    if (font_ == nullptr)
        SetFont("Arial", 10, fontColor_);
    if (angle == 0 && align != TextHAlign::Left) {
        const int w = TextWidth(utf8);
        x -= (align == TextHAlign::Center) ? w / 2 : w;
    }
    if (painter_ != nullptr) {
        PainterTextOut(x, y, utf8, angle == 90 ? 90 : 0);
        return;
    }
    const TextImage& text = RenderedText(utf8, angle == 90 ? 90 : 0);
    BlendText(text, x + text.offsetX, y + text.offsetY);
}

// The figures on a painter. A pixel (x, y) is the square from (x, y) to
// (x + 1, y + 1): a one-pixel line runs through the pixels' centres.

namespace {

QColor QColorOf(TColor plain) { return QColor(int(plain & 0xFF), int((plain >> 8) & 0xFF), int((plain >> 16) & 0xFF)); }

} // namespace

void ChartCanvas::PainterFlush()
{
    if (trace_.size() >= 2) {
        // The raster pen's squares span -(w/2) .. w-1-(w/2) around each
        // pixel of the line: their centre is that far off the pixel's.
        const double decalage = 0.5 + (penWidth_ - 1 - 2 * (penWidth_ / 2)) / 2.0;
        QPen pen(QColorOf(ColorOf(penPixel_)), penWidth_, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
        if (penWidth_ == 1 && penStyle_ != psSolid) // wider pens draw solid
            pen.setDashPattern(penStyle_ == psDot ? QList<qreal>{1, 1} : QList<qreal>{kDashOn, kDashOff});
        painter_->setPen(pen);
        painter_->setBrush(Qt::NoBrush);
        trace_.translate(decalage, decalage);
        painter_->drawPolyline(trace_);
    }
    trace_.clear();
}

void ChartCanvas::PainterClip()
{
    PainterFlush();
    painter_->setClipRect(QRectF(clip_.left, clip_.top, clip_.right - clip_.left, clip_.bottom - clip_.top));
}

void ChartCanvas::PainterFillRect(int left, int top, int right, int bottom)
{
    PainterFlush();
    if (right > left && bottom > top)
        painter_->fillRect(QRectF(left, top, right - left, bottom - top), QColorOf(ColorOf(brushPixel_)));
}

void ChartCanvas::PainterRectangle(int left, int top, int right, int bottom)
{
    if (penMode_ != pmCopy)
        return;
    PainterFlush();
    if (brushStyle_ != bsClear)
        PainterFillRect(left + 1, top + 1, right - 1, bottom - 1);
    // The outline through the centres of its pixels, as a closed path.
    trace_ << QPointF(left, top) << QPointF(right - 1, top) << QPointF(right - 1, bottom - 1)
           << QPointF(left, bottom - 1) << QPointF(left, top);
    PainterFlush();
}

void ChartCanvas::PainterLineTo(int x0, int y0, int x1, int y1)
{
    if (penMode_ != pmCopy || (x0 == x1 && y0 == y1))
        return;
    const QPointF depart(x0, y0);
    if (trace_.isEmpty() || trace_.last() != depart) {
        PainterFlush();
        trace_ << depart;
    }
    trace_ << QPointF(x1, y1);
}

void ChartCanvas::PainterTextOut(int x, int y, std::string_view utf8, int angle)
{
    PainterFlush();
    painter_->save();
    painter_->setFont(font_->font);
    painter_->setPen(QColorOf(system_.Resolve(fontColor_)));
    painter_->translate(x, y);
    if (angle == 90)
        painter_->rotate(-90); // reading upward; the cell's top-left corner stays at (x, y)
    painter_->drawText(QPointF(0, font_->ascent),
                       QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    painter_->restore();
}
