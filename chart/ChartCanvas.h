#pragma once
// The chart's drawing surface: a 32-bit image with a pen, a brush, a font, a
// current position and a rectangular clip.
//
// Lines, rectangles and the clip are drawn by our own pixel code so that
// every pixel is where the chart's layout puts it:
//  - a line includes its start pixel and excludes its end pixel (LineRaster.h);
//  - a pen wider than one pixel paints a w x w square at each pixel of the
//    one-pixel line, offsets -(w/2) .. w-1-(w/2) on both axes: for w = 2 the
//    line's own pixel and the one above and left of it. Drawn along a line
//    this covers both sides of the ideal line and closes the corner where
//    two such lines meet;
//  - a dotted pen paints every other pixel, starting with the first pixel of
//    each line, and leaves the gaps untouched; a dotted pen wider than one
//    pixel draws solid;
//  - a dashed pen paints kDashOn pixels then skips kDashOff, starting with
//    a dash at the first pixel of each line; wider than one pixel it draws
//    solid too;
//  - in not-exclusive-or mode each pixel becomes the inverse of (pen colour
//    xor pixel), so drawing the same figure twice restores the picture; the
//    pen is then one pixel wide whatever its width, so no pixel is inverted
//    twice within one figure;
//  - Rectangle(l, t, r, b) outlines columns l .. r-1 and rows t .. b-1 with
//    the pen (each pixel once) and, with a solid brush, fills the inside.
// Text goes through Qt's font rendering. A rendered text is kept, per font,
// colour, angle and string, as a small premultiplied image and blended over
// the surface, so a label drawn at every paint is rendered only once.
//
// The same calls can instead go to a QPainter (DessinerSur): the surface then
// keeps no pixels, and each figure becomes a vector one on the painter's
// device (a PDF, an SVG, a printer, a high-resolution image): lines through
// the centres of the pixels the raster code would paint, joined into one
// path while each starts where the last ended; a wide pen as wide, centred
// where the raster code's squares are; rectangles and fills as rectangles;
// text as text. Coordinates are the surface's pixels (fonts at
// kDotsPerInch); the painter's transformation places and scales them.
// Not-exclusive-or figures belong to the window only and are left out.
#include "chart/ChartColors.h"
#include "chart/ChartPens.h"
#include "chart/LineRaster.h"

#include <QFont>
#include <QImage>
#include <QPolygonF>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QPainter;

enum TPenMode { pmCopy, pmNotXor };
enum class TextHAlign { Left, Center, Right };

class ChartCanvas {
public:
    // The resolution at which font sizes in points become pixels.
    static constexpr int kDotsPerInch = 96;
    // The pattern of a dashed pen, in pixels along the line.
    static constexpr int kDashOn = 6, kDashOff = 4;
    // Whether step k of a line falls in a gap of `style` (never for psSolid).
    static constexpr bool InGap(TPenStyle style, int k)
    {
        return (style == psDot && (k & 1) != 0) || (style == psDash && k % (kDashOn + kDashOff) >= kDashOn);
    }

    ChartCanvas();
    ~ChartCanvas();
    ChartCanvas(const ChartCanvas&) = delete;
    ChartCanvas& operator=(const ChartCanvas&) = delete;

    // Makes a surface of w x h pixels (contents undefined until drawn) and
    // resets the drawing state.
    void SetSize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // From now on, draws through `painter` on a surface of w x h pixels
    // (resets the drawing state and drops the pixels); nullptr ends it, the
    // last figure being handed to the painter first. The painter must stay
    // active meanwhile; SetSize is needed before drawing pixels again.
    void DessinerSur(QPainter* painter, int width, int height);
    // Takes the size and pixels of `other` and resets the drawing state.
    void CopyFrom(const ChartCanvas& other);
    // The surface as an image (shares the surface's memory).
    const QImage& Image() const { return image_; }
    // The colour of pixel (x, y) as 0x00BBGGRR.
    TColor Pixel(int x, int y) const;

    void SetSystemColors(const SystemColors& colors) { system_ = colors; }
    const SystemColors& Colors() const { return system_; }

    // Drawing state. Colours may be system colours.
    void SetPen(TColor color, int width = 1, TPenStyle style = psSolid);
    void SetPenMode(TPenMode mode) { penMode_ = mode; }
    TPenMode PenMode() const { return penMode_; }
    void SetBrush(TColor color, TBrushStyle style = bsSolid);
    void SetFont(const std::string& name, int points, TColor color, unsigned style = 0);
    void SetFont(const TChartFont& font) { SetFont(font.Name(), font.Size(), font.Color(), font.Style()); }
    // Pen black, width 1, solid, copy mode; brush white, solid; font black,
    // 10 points; no clip.
    void ResetState();

    // The clip rectangle (right and bottom exclusive), within the surface.
    void SetClip(const ClipRect& clip);
    void RemoveClip();
    const ClipRect& Clip() const { return clip_; }

    // Fills [l, r) x [t, b) with the brush (nothing with a clear brush).
    void FillRect(int left, int top, int right, int bottom);
    void Rectangle(int left, int top, int right, int bottom);
    void MoveTo(int x, int y)
    {
        penX_ = x;
        penY_ = y;
    }
    void LineTo(int x, int y);
    int PenX() const { return penX_; }
    int PenY() const { return penY_; }

    // Text in the font's colour, drawn transparently. Angle 0: `align` places
    // x at the left, centre or right of the text, and y is the top of the
    // text's cell. Angle 90 (reading upward): (x, y) is the text's top-left
    // corner turned with it, so the text covers columns x .. x + FontHeight - 1
    // and rows y - width .. y - 1.
    void TextOut(int x, int y, std::string_view utf8, TextHAlign align = TextHAlign::Left, int angle = 0);
    int TextWidth(std::string_view utf8);
    // Text with subscripts: "_" followed by ASCII letters and digits writes
    // those as a subscript, in a font three quarters the size whose baseline
    // is lowered by a sixth of the line's height ("x_f = 3,08 mmol",
    // "t_a + t½"). x, y, align and angle mean what they mean to TextOut; at
    // angle 90 the text is the one drawn at angle 0 turned a quarter
    // counter-clockwise, its subscripts lowered towards the text's bottom
    // edge (to the right). Text without "_" is drawn exactly as TextOut
    // draws it.
    void SubscriptTextOut(int x, int y, std::string_view utf8, TextHAlign align = TextHAlign::Left, int angle = 0);
    int SubscriptTextWidth(std::string_view utf8);
    // The height of a line of text in the current font (the font's cell:
    // ascent plus descent, whatever the characters).
    int FontHeight();
    // The family that the platform chose for the current font ("Arial"
    // usually resolves to a metric-compatible family such as Liberation Sans).
    std::string ResolvedFontFamily();
    // The Qt font the current font's text is drawn with.
    QFont CurrentFont();

private:
    struct ResolvedFont;
    // The same figures on the painter.
    void PainterFillRect(int left, int top, int right, int bottom);
    void PainterRectangle(int left, int top, int right, int bottom);
    void PainterLineTo(int x0, int y0, int x1, int y1);
    void PainterTextOut(int x, int y, std::string_view utf8, int angle);
    void PainterClip();
    // Hands the path in progress to the painter.
    void PainterFlush();
    struct TextImage;

    void PlotPixel(int x, int y, int k);
    void PlotSquare(int x, int y);
    void AxisAlignedLine(int x0, int y0, int x1, int y1);
    void BlendText(const TextImage& text, int left, int top);
    const TextImage& RenderedText(std::string_view utf8, int angle);

    int width_ = 0, height_ = 0;
    std::vector<std::uint32_t> pixels_;
    QImage image_;
    SystemColors system_;

    std::uint32_t penPixel_ = 0;
    int penWidth_ = 1;
    TPenStyle penStyle_ = psSolid;
    TPenMode penMode_ = pmCopy;
    std::uint32_t brushPixel_ = 0;
    TBrushStyle brushStyle_ = bsSolid;
    int penX_ = 0, penY_ = 0;
    ClipRect clip_;

    std::vector<std::unique_ptr<ResolvedFont>> fonts_;
    ResolvedFont* font_ = nullptr;
    TColor fontColor_ = clBlack;
    int fontPoints_ = 10;

    QPainter* painter_ = nullptr;
    QPolygonF trace_; // the path in progress on the painter
};
