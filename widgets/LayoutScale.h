#pragma once
// Layout scaling of the windows. Every position and size is given for a
// display of 96 pixels per inch. On another display the window's font grows
// with the pixels per inch (Qt does that for a size in points), and every
// position and size is then scaled by the ratio of the font's new text height
// to its text height at 96 pixels per inch (1 on a 96-dpi display).
//
// An edge is scaled, not a width: a control's width is the difference of its
// scaled right and left edges, so that controls that touch at design still
// touch once scaled. Example with the ratio 16/13: the rectangle
// (left 8, top 8, width 281, height 401) becomes (10, 10, 346, 493).
#include <QRect>
#include <QSize>

class QFont;
class QPaintDevice;

struct LayoutScale {
    int numerator = 1;   // the font's text height on this display
    int denominator = 1; // its text height at 96 pixels per inch

    // value × numerator / denominator, rounded half away from zero.
    int Scale(int value) const;
    QRect Scale(int left, int top, int width, int height) const;
    QSize Scale(QSize size) const;

    // The ratio for `font` on `device`'s display (the primary screen when
    // `device` is null).
    static LayoutScale ForFont(const QFont& font, const QPaintDevice* device);
};
