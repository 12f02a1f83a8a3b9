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

namespace {

const std::map<TColor, char> kInk{{clWhite, '.'}, {clBlack, '#'}, {clRed, 'r'}, {clGray, 'g'}};

// A white surface of w x h pixels.
void MakeWhite(ChartCanvas& c, int w, int h)
{
    c.SetSize(w, h);
    c.SetBrush(clWhite);
    c.FillRect(0, 0, w, h);
}

std::string Draw(int w, int h, std::initializer_list<std::pair<int, int>> points, TPenStyle style = psSolid,
                 int width = 1)
{
    ChartCanvas c;
    MakeWhite(c, w, h);
    c.SetPen(clBlack, width, style);
    auto it = points.begin();
    c.MoveTo(it->first, it->second);
    for (++it; it != points.end(); ++it)
        c.LineTo(it->first, it->second);
    return Picture(c, 0, 0, w, h, kInk);
}

} // namespace

TEST(CanvasLine, a_segment_includes_its_start_and_excludes_its_end)
{
    // From (1,1) to (6,3): five pixels, two rows down, (6,3) left out.
    EXPECT_EQ(Draw(8, 5, {{1, 1}, {6, 3}}),
              "........\n"
              ".##.....\n"
              "...##...\n"
              ".....#..\n"
              "........\n");
    // The same line backwards starts at (6,3) and leaves out (1,1).
    EXPECT_EQ(Draw(8, 5, {{6, 3}, {1, 1}}),
              "........\n"
              "..#.....\n"
              "...##...\n"
              ".....##.\n"
              "........\n");
}

TEST(CanvasLine, axis_aligned_and_steep_lines_take_one_pixel_per_step)
{
    EXPECT_EQ(Draw(5, 4, {{0, 1}, {4, 1}}),
              ".....\n"
              "####.\n"
              ".....\n"
              ".....\n");
    EXPECT_EQ(Draw(5, 4, {{2, 3}, {2, 0}}),
              ".....\n"
              "..#..\n"
              "..#..\n"
              "..#..\n");
    EXPECT_EQ(Draw(4, 5, {{0, 0}, {2, 4}}),
              "#...\n"
              ".#..\n"
              ".#..\n"
              "..#.\n"
              "....\n");
}

TEST(CanvasLine, a_polyline_chains_from_the_pen_position)
{
    // Each joint is drawn once, by the segment that starts there.
    EXPECT_EQ(Draw(6, 4, {{0, 0}, {3, 0}, {3, 3}, {0, 3}}),
              "####..\n"
              "...#..\n"
              "...#..\n"
              ".###..\n");
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

TEST(CanvasPen, a_dotted_pen_paints_every_other_pixel_from_the_start)
{
    EXPECT_EQ(Draw(7, 3, {{0, 1}, {7, 1}}, psDot),
              ".......\n"
              "#.#.#.#\n"
              ".......\n");
    // Going up, the pattern starts at the line's first pixel.
    EXPECT_EQ(Draw(3, 6, {{1, 5}, {1, 0}}, psDot),
              "...\n"
              ".#.\n"
              "...\n"
              ".#.\n"
              "...\n"
              ".#.\n");
}

TEST(CanvasPen, a_two_pixel_pen_adds_the_pixel_above_and_left)
{
    // The bottom axis line along y = 3 covers rows 2 and 3, from one column
    // left of its start to the column before its end.
    EXPECT_EQ(Draw(8, 5, {{2, 3}, {6, 3}}, psSolid, 2),
              "........\n"
              "........\n"
              ".#####..\n"
              ".#####..\n"
              "........\n");
    // Two wide lines meeting at a corner close it.
    EXPECT_EQ(Draw(6, 6, {{2, 1}, {2, 4}, {5, 4}}, psSolid, 2),
              ".##...\n"
              ".##...\n"
              ".##...\n"
              ".####.\n"
              ".####.\n"
              "......\n");
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
