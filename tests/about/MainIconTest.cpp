// The program's icon against its description: a slanted sheet edged in red,
// white along its top, crossed below by a red band, then yellow, with a black
// curve that rises and then levels off, and coloured speckles towards its
// lower edge; 16 VGA colours on a transparent ground.
#include "runtime/qt/MainIcon.h"

#include <QIcon>
#include <QPixmap>

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <vector>

namespace {

enum Vga { kBlack = 0, kRed = 12, kYellow = 14, kWhite = 15, kTransparent = 16 };

int At(const QImage& image, int x, int y) { return image.pixelIndex(x, y); }

// The colours met going down column x, each run counted once.
std::vector<int> RunsDown(const QImage& image, int x)
{
    std::vector<int> runs;
    for (int y = 0; y < image.height(); ++y)
        if (runs.empty() || runs.back() != At(image, x, y))
            runs.push_back(At(image, x, y));
    return runs;
}

std::optional<int> LeftmostOf(const QImage& image, int y, int colour)
{
    for (int x = 0; x < image.width(); ++x)
        if (At(image, x, y) == colour)
            return x;
    return std::nullopt;
}

} // namespace

TEST(MainIcon, is_32_by_32_in_the_16_vga_colours_and_transparency)
{
    const QImage icon = MainIconImage();

    ASSERT_EQ(icon.size(), QSize(32, 32));
    ASSERT_EQ(icon.format(), QImage::Format_Indexed8);
    const QList<QRgb> table = icon.colorTable();
    ASSERT_EQ(table.size(), 17);
    // The colours the tests below name.
    EXPECT_EQ(table[kBlack], qRgb(0, 0, 0));
    EXPECT_EQ(table[kRed], qRgb(0xFF, 0, 0));
    EXPECT_EQ(table[kYellow], qRgb(0xFF, 0xFF, 0));
    EXPECT_EQ(table[kWhite], qRgb(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(qAlpha(table[kTransparent]), 0);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_LE(At(icon, x, y), kTransparent);
    for (const QPoint corner : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31)})
        EXPECT_EQ(At(icon, corner.x(), corner.y()), kTransparent);
}

TEST(MainIcon, a_slanted_sheet_white_at_the_top_then_a_red_band_then_yellow)
{
    const QImage icon = MainIconImage();

    // Slanted: the red edge starts further right at the top than at the bottom.
    int top = 0;
    while (!LeftmostOf(icon, top, kRed))
        ++top;
    int bottom = 31;
    while (!LeftmostOf(icon, bottom, kRed))
        --bottom;
    EXPECT_GT(*LeftmostOf(icon, top, kRed), *LeftmostOf(icon, bottom, kRed) + 3);

    // Down every column that crosses the whole sheet, from its top edge to
    // its bottom edge, black and speckles aside: edge, white, band, yellow, edge.
    int lastOfBottom = 31;
    while (At(icon, lastOfBottom, bottom) != kRed)
        --lastOfBottom;
    int columns = 0;
    for (int x = *LeftmostOf(icon, top, kRed) + 1; x < lastOfBottom; ++x) {
        std::vector<int> runs;
        for (int colour : RunsDown(icon, x))
            if ((colour == kTransparent || colour == kRed || colour == kWhite || colour == kYellow)
                && (runs.empty() || runs.back() != colour))
                runs.push_back(colour);
        ++columns;
        SCOPED_TRACE(x);
        EXPECT_EQ(runs, (std::vector<int>{kTransparent, kRed, kWhite, kRed, kYellow, kRed, kTransparent}));
    }
    EXPECT_GE(columns, 15);
}

TEST(MainIcon, the_black_curve_rises_then_levels_off)
{
    const QImage icon = MainIconImage();
    std::vector<int> heights; // the highest black pixel of each column, left to right
    for (int x = 0; x < 32; ++x)
        for (int y = 0; y < 32; ++y)
            if (At(icon, x, y) == kBlack) {
                heights.push_back(y);
                break;
            }

    ASSERT_GE(heights.size(), 12u);
    for (std::size_t i = 1; i < heights.size(); ++i)
        EXPECT_LE(heights[i], heights[i - 1]) << "column " << i << " of the curve goes down";
    EXPECT_GE(heights.front() - heights.back(), 8) << "it rises";
    EXPECT_EQ(heights[heights.size() - 5], heights.back()) << "it ends level";
    EXPECT_GE(heights[0] - heights[3], 3 * (heights[heights.size() - 4] - heights.back())) << "steep first";
}

TEST(MainIcon, coloured_speckles_lie_towards_the_lower_edge)
{
    const QImage icon = MainIconImage();
    const std::set<int> sheetColours = {kBlack, kRed, kYellow, kWhite, kTransparent, 8};
    std::set<int> speckleColours;
    int highest = 32;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (!sheetColours.count(At(icon, x, y))) {
                speckleColours.insert(At(icon, x, y));
                highest = std::min(highest, y);
            }

    EXPECT_GE(speckleColours.size(), 3u);
    EXPECT_GE(highest, 24) << "speckles only in the lower part of the sheet";
}

TEST(MainIcon, larger_sizes_repeat_each_pixel_of_the_32_by_32_image)
{
    const QImage image = MainIconImage().convertToFormat(QImage::Format_ARGB32);
    const QIcon icon = MainIcon();

    const QList<QSize> sizes = icon.availableSizes();
    for (int side : {32, 64, 128, 256}) {
        SCOPED_TRACE(side);
        ASSERT_TRUE(sizes.contains(QSize(side, side)));
        const QImage scaled = icon.pixmap(QSize(side, side)).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(scaled.size(), QSize(side, side));
        const int factor = side / 32;
        int wrong = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                if (scaled.pixel(x, y) != image.pixel(x / factor, y / factor))
                    ++wrong;
        EXPECT_EQ(wrong, 0);
    }
}
