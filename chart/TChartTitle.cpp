#include "chart/TChartTitle.h"

#include "chart/ChartCanvas.h"
#include "chart/TChartAxis.h"

#include <algorithm>

void TChartTitle::DrawAndReserve(ChartCanvas& canvas, TChartRect& plot)
{
    const int n = static_cast<int>(text_.size());
    if (!visible_ || n == 0)
        return;
    canvas.SetFont(font_);
    const int h = canvas.FontHeight();
    // A brush without a colour of its own is clear.
    if (brush_.Color() == ColorUnset)
        canvas.SetBrush(clWhite, bsClear);
    else
        canvas.SetBrush(brush_.Color(), brush_.Style());
    const bool frameCounts = frame_.Visible() && frame_.Color() != ColorUnset;
    const int f = frameCounts ? frame_.Width() : 0;

    const int bandLeft = plot.Left + f, bandRight = plot.Right - f;
    // The title's lines go down from the plot's top, the foot's up from its
    // bottom with the last line lowest.
    const int y0 = foot_ ? plot.Bottom - f - n * h : plot.Top + f;

    auto placeX = [&](int width) {
        switch (alignment_) {
        case taLeftJustify: return bandLeft;
        case taRightJustify: return bandRight - width;
        case taCenter: break;
        }
        return (bandLeft + bandRight) / 2 - width / 2;
    };

    if (frameCounts) {
        int left = bandLeft - f, right = bandRight + f;
        if (adjustFrame_) {
            int widest = 0;
            for (const std::string& line : text_)
                widest = std::max(widest, canvas.SubscriptTextWidth(line));
            const int width = widest + 2 * f;
            left = placeX(width);
            right = left + width;
        }
        canvas.SetPen(frame_.Color(), frame_.Width(), frame_.Style());
        canvas.Rectangle(left, y0 - f, right, y0 + n * h + f);
    }
    for (int k = 0; k < n; ++k) {
        const std::string& line = text_[static_cast<std::size_t>(k)];
        canvas.SubscriptTextOut(placeX(canvas.SubscriptTextWidth(line)), y0 + k * h, line);
    }

    if (foot_)
        plot.Bottom = y0 - f - 5;
    else
        plot.Top = y0 + n * h + 2 * f + 5;
}
