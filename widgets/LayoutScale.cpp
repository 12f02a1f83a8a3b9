#include "widgets/LayoutScale.h"

#include <QFont>
#include <QFontMetrics>

#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int kDesignDotsPerInch = 96;
constexpr int kPointsPerInch = 72;

int MulDiv(int value, int numerator, int denominator)
{
    assert(denominator > 0);
    const std::int64_t product = std::int64_t{value} * numerator;
    const std::int64_t quotient = (std::llabs(product) * 2 + denominator) / (std::int64_t{2} * denominator);
    return static_cast<int>(product < 0 ? -quotient : quotient);
}

} // namespace

int LayoutScale::Scale(int value) const
{
    return MulDiv(value, numerator, denominator);
}

QRect LayoutScale::Scale(int left, int top, int width, int height) const
{
    const int x = Scale(left);
    const int y = Scale(top);
    return QRect(x, y, Scale(left + width) - x, Scale(top + height) - y);
}

QSize LayoutScale::Scale(QSize size) const
{
    return QSize(Scale(size.width()), Scale(size.height()));
}

LayoutScale LayoutScale::ForFont(const QFont& font, const QPaintDevice* device)
{
    // The same font at the size in pixels that its size in points gives at
    // 96 pixels per inch.
    QFont atDesign(font);
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * double{kPointsPerInch} / kDesignDotsPerInch;
    atDesign.setPixelSize(static_cast<int>(std::lround(points * kDesignDotsPerInch / kPointsPerInch)));

    LayoutScale scale;
    scale.numerator = device != nullptr ? QFontMetrics(font, device).height() : QFontMetrics(font).height();
    scale.denominator = QFontMetrics(atDesign).height();
    if (scale.numerator <= 0 || scale.denominator <= 0)
        scale = LayoutScale{};
    return scale;
}
