// The drawing surface, pixel by pixel on tiny images: lines exclude their
// end pixel, clip per pixel, dotted and wide pens, not-xor figures,
// rectangle outlines.
#include "ChartTestSupport.h"
#include "chart/ChartCanvas.h"
#include "chart/LineRaster.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

const std::map<TColor, char> kInk{{clWhite, '.'}, {clBlack, '#'}, {clRed, 'r'}, {clGray, 'g'}};

// A white surface of w x h pixels.
void MakeWhite(ChartCanvas& c, int w, int h)
{
    c.SetSize(w, h);
    c.SetBrush(clWhite);
    c.FillRect(0, 0, w, h);
}

} // namespace

TEST(CanvasLine, lines_take_their_start_and_leave_out_their_end_pixel)
{
    struct Case {
        const char* what;
        int w, h;
        std::vector<std::pair<int, int>> points;
        TPenStyle style;
        int width;
        const char* picture;
    };
    const Case cases[] = {
        {"five pixels, two rows down, the end left out", 8, 5, {{1, 1}, {6, 3}}, psSolid, 1,
         "........\n"
         ".##.....\n"
         "...##...\n"
         ".....#..\n"
         "........\n"},
        {"the same line backwards", 8, 5, {{6, 3}, {1, 1}}, psSolid, 1,
         "........\n"
         "..#.....\n"
         "...##...\n"
         ".....##.\n"
         "........\n"},
        {"horizontal", 5, 4, {{0, 1}, {4, 1}}, psSolid, 1,
         ".....\n"
         "####.\n"
         ".....\n"
         ".....\n"},
        {"vertical, upwards", 5, 4, {{2, 3}, {2, 0}}, psSolid, 1,
         ".....\n"
         "..#..\n"
         "..#..\n"
         "..#..\n"},
        {"steep: one pixel a row", 4, 5, {{0, 0}, {2, 4}}, psSolid, 1,
         "#...\n"
         ".#..\n"
         ".#..\n"
         "..#.\n"
         "....\n"},
        {"a polyline draws each joint once, from the pen position", 6, 4, {{0, 0}, {3, 0}, {3, 3}, {0, 3}}, psSolid, 1,
         "####..\n"
         "...#..\n"
         "...#..\n"
         ".###..\n"},
        {"dotted: every other pixel from the start", 7, 3, {{0, 1}, {7, 1}}, psDot, 1,
         ".......\n"
         "#.#.#.#\n"
         ".......\n"},
        {"dotted upwards: the pattern starts at the first pixel", 3, 6, {{1, 5}, {1, 0}}, psDot, 1,
         "...\n"
         ".#.\n"
         "...\n"
         ".#.\n"
         "...\n"
         ".#.\n"},
        {"dashed: six pixels drawn, four left, from the start", 17, 3, {{0, 1}, {17, 1}}, psDash, 1,
         ".................\n"
         "######....######.\n"
         ".................\n"},
        {"dashed leftwards: the first dash at the start", 17, 3, {{16, 1}, {0, 1}}, psDash, 1,
         ".................\n"
         ".######....######\n"
         ".................\n"},
        {"dashed slant: the pattern counts steps along the line", 13, 3, {{0, 0}, {12, 2}}, psDash, 1,
         "###..........\n"
         "...###.......\n"
         "..........##.\n"},
        // The bottom axis line along y = 3 covers rows 2 and 3, from one
        // column left of its start to the column before its end.
        {"two pixels wide: adds the pixel above and left", 8, 5, {{2, 3}, {6, 3}}, psSolid, 2,
         "........\n"
         "........\n"
         ".#####..\n"
         ".#####..\n"
         "........\n"},
        {"two wide lines meeting at a corner close it", 6, 6, {{2, 1}, {2, 4}, {5, 4}}, psSolid, 2,
         ".##...\n"
         ".##...\n"
         ".##...\n"
         ".####.\n"
         ".####.\n"
         "......\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChartCanvas canvas;
        MakeWhite(canvas, c.w, c.h);
        canvas.SetPen(clBlack, c.width, c.style);
        canvas.MoveTo(c.points[0].first, c.points[0].second);
        for (std::size_t i = 1; i < c.points.size(); ++i)
            canvas.LineTo(c.points[i].first, c.points[i].second);
        EXPECT_EQ(Picture(canvas, 0, 0, c.w, c.h, kInk), c.picture);
    }
}

TEST(CanvasLine, a_zero_length_line_draws_nothing_but_moves_the_pen)
{
    ChartCanvas c;
    MakeWhite(c, 4, 4);
    c.SetPen(clBlack);
    c.MoveTo(1, 1);
    c.LineTo(1, 1);
    EXPECT_EQ(CountPixels(c, clBlack), 0);
    EXPECT_EQ(c.PenX(), 1);
    EXPECT_EQ(c.PenY(), 1);
}

TEST(CanvasLine, the_clip_cuts_lines_at_its_edges)
{
    ChartCanvas c;
    MakeWhite(c, 8, 6);
    c.SetClip(ClipRect{2, 1, 6, 5});
    c.SetPen(clBlack);
    c.MoveTo(-10, 3);
    c.LineTo(20, 3); // horizontal, through both sides
    c.MoveTo(0, 0);
    c.LineTo(8, 8); // diagonal, in at the top-left, out at the bottom
    c.RemoveClip();
    EXPECT_EQ(Picture(c, 0, 0, 8, 6, kInk),
              "........\n"
              "........\n"
              "..#.....\n"
              "..####..\n"
              "....#...\n"
              "........\n");
}

TEST(CanvasLine, a_clipped_line_keeps_the_pixels_of_the_whole_line)
{
    // Lines from far outside, clipped by step range first, land on the same
    // pixels as the same lines walked pixel by pixel from their start.
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> coordinate(-300, 300);
    const ClipRect clip{-20, -15, 25, 30};
    const ClipRect everything{-1000, -1000, 1000, 1000};
    for (int n = 0; n < 2000; ++n) {
        const int x0 = coordinate(random), y0 = coordinate(random);
        const int x1 = coordinate(random), y1 = coordinate(random);
        std::set<std::pair<int, int>> clipped, walked;
        RasterLine(x0, y0, x1, y1, clip, [&](int x, int y, int) { clipped.insert({x, y}); });
        RasterLine(x0, y0, x1, y1, everything, [&](int x, int y, int) {
            if (clip.Contains(x, y))
                walked.insert({x, y});
        });
        ASSERT_EQ(clipped, walked) << "(" << x0 << "," << y0 << ")-(" << x1 << "," << y1 << ")";
    }
}

TEST(CanvasLine, a_line_from_a_far_pixel_is_cheap_and_lands_inside)
{
    ChartCanvas c;
    MakeWhite(c, 10, 10);
    c.SetPen(clBlack);
    c.MoveTo(-536870912, 5);
    c.LineTo(5, 5);
    EXPECT_EQ(Picture(c, 0, 5, 10, 6, kInk), "#####.....\n");
}

TEST(CanvasPen, not_xor_inverts_pen_xor_pixel_and_twice_restores)
{
    ChartCanvas c;
    c.SetSize(6, 1);
    c.SetBrush(0x336699);
    c.FillRect(0, 0, 6, 1);
    c.SetPenMode(pmNotXor);
    c.SetPen(0x00000F);
    c.MoveTo(0, 0);
    c.LineTo(3, 0);
    EXPECT_EQ(c.Pixel(0, 0), (~(0x336699u ^ 0x00000Fu)) & 0xFFFFFFu);
    EXPECT_EQ(c.Pixel(3, 0), 0x336699u);
    c.MoveTo(0, 0);
    c.LineTo(3, 0);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(c.Pixel(x, 0), 0x336699u);
}

TEST(CanvasRectangle, outlines_columns_left_to_right_minus_one_and_fills_inside)
{
    ChartCanvas c;
    MakeWhite(c, 7, 6);
    c.SetPen(clBlack);
    c.SetBrush(clRed);
    c.Rectangle(1, 1, 6, 5);
    EXPECT_EQ(Picture(c, 0, 0, 7, 6, kInk),
              ".......\n"
              ".#####.\n"
              ".#rrr#.\n"
              ".#rrr#.\n"
              ".#####.\n"
              ".......\n");
}

TEST(CanvasRectangle, a_not_xor_outline_inverts_each_pixel_once)
{
    ChartCanvas c;
    MakeWhite(c, 6, 5);
    c.SetPenMode(pmNotXor);
    c.SetPen(clWhite); // not (white xor white) = white: nothing changes...
    c.SetBrush(clWhite, bsClear);
    c.Rectangle(4, 3, 1, 0); // ...corners given in any order
    EXPECT_EQ(CountPixels(c, clWhite), 30);
    c.SetPen(clBlack); // not (black xor white) = black: the ring appears, corners included
    c.Rectangle(4, 3, 1, 0);
    EXPECT_EQ(Picture(c, 0, 0, 6, 5, kInk),
              ".###..\n"
              ".#.#..\n"
              ".###..\n"
              "......\n"
              "......\n");
    c.Rectangle(1, 0, 4, 3);
    EXPECT_EQ(CountPixels(c, clWhite), 30);
    c.Rectangle(2, 2, 2, 4); // no width: nothing
    EXPECT_EQ(CountPixels(c, clWhite), 30);
}

TEST(CanvasFill, respects_the_clip_and_a_clear_brush)
{
    ChartCanvas c;
    MakeWhite(c, 5, 4);
    c.SetClip(ClipRect{1, 1, 3, 10});
    c.SetBrush(clBlack);
    c.FillRect(0, 0, 5, 4);
    c.RemoveClip();
    c.SetBrush(clRed, bsClear);
    c.FillRect(0, 0, 5, 4);
    EXPECT_EQ(Picture(c, 0, 0, 5, 4, kInk),
              ".....\n"
              ".##..\n"
              ".##..\n"
              ".##..\n");
}
