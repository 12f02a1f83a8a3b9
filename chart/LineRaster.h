#pragma once
// Pixels of a one-pixel line from (x0, y0) to (x1, y1): the start pixel is
// included, the end pixel excluded, so that successive segments of a
// polyline meet without drawing their shared pixel twice.
//
// Along the major axis the line takes one pixel per step; on the minor axis
// pixel k lies at the exact offset k * minor / major rounded to nearest, a
// half rounding away from the start (integer Bresenham). Only pixels inside
// the clip rectangle [left, right) x [top, bottom) are visited; the range of
// steps inside the clip is computed first, so a line that starts or ends far
// outside costs no more than its visible part.
//
// `plot(x, y, k)` receives each pixel with its step index k from the start
// (0 for the start pixel), which dotted pens use as the pattern phase.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

struct ClipRect {
    int left = 0, top = 0, right = 0, bottom = 0; // right and bottom exclusive
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
};

namespace line_raster_detail {

inline std::int64_t FloorDiv(std::int64_t a, std::int64_t b) // b > 0
{
    std::int64_t q = a / b;
    if ((a % b != 0) && (a < 0))
        --q;
    return q;
}
inline std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return -FloorDiv(-a, b); } // b > 0

// Steps k of a line whose minor offset is j(k) = floor((2 k minor + major) / (2 major)),
// restricted so that jLow <= j(k) <= jHigh.
inline void RestrictMinor(std::int64_t major, std::int64_t minor, std::int64_t jLow, std::int64_t jHigh,
                          std::int64_t& kFirst, std::int64_t& kEnd)
{
    if (minor == 0) {
        if (jLow > 0 || jHigh < 0)
            kEnd = kFirst;
        return;
    }
    // j(k) >= m  <=>  k >= (2m - 1) major / (2 minor)
    kFirst = std::max(kFirst, CeilDiv((2 * jLow - 1) * major, 2 * minor));
    // j(k) <= M  <=>  k < (2M + 1) major / (2 minor)
    kEnd = std::min(kEnd, CeilDiv((2 * jHigh + 1) * major, 2 * minor));
}

} // namespace line_raster_detail

// Coordinates must lie within +-2^29 (callers clamp far-away points).
template <class Plot>
void RasterLine(int x0, int y0, int x1, int y1, const ClipRect& clip, Plot&& plot)
{
    using line_raster_detail::RestrictMinor;
    // Guard clauses: nothing to draw.
    if ((x0 == x1 && y0 == y1) || clip.IsEmpty())
        return;

    // Axis-aligned lines: clip the span once.
    if (y0 == y1) {
        if (y0 < clip.top || y0 >= clip.bottom)
            return;
        const int step = x1 > x0 ? 1 : -1;
        int from = x0, to = x1 - step; // inclusive
        if (step < 0)
            std::swap(from, to);
        from = std::max(from, clip.left);
        to = std::min(to, clip.right - 1);
        for (int x = from; x <= to; ++x)
            plot(x, y0, std::abs(x - x0));
        return;
    }
    if (x0 == x1) {
        if (x0 < clip.left || x0 >= clip.right)
            return;
        const int step = y1 > y0 ? 1 : -1;
        int from = y0, to = y1 - step;
        if (step < 0)
            std::swap(from, to);
        from = std::max(from, clip.top);
        to = std::min(to, clip.bottom - 1);
        for (int y = from; y <= to; ++y)
            plot(x0, y, std::abs(y - y0));
        return;
    }

    // General case: walk the major axis, Bresenham on the minor one.
    const std::int64_t dx = std::int64_t{x1} - x0, dy = std::int64_t{y1} - y0;
    const std::int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const bool xMajor = adx >= ady;
    const std::int64_t major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    const int sMajor = xMajor ? sx : sy, sMinor = xMajor ? sy : sx;
    const std::int64_t p0 = xMajor ? x0 : y0, q0 = xMajor ? y0 : x0;
    const std::int64_t pLo = xMajor ? clip.left : clip.top, pHi = xMajor ? clip.right - 1 : clip.bottom - 1;
    const std::int64_t qLo = xMajor ? clip.top : clip.left, qHi = xMajor ? clip.bottom - 1 : clip.right - 1;

    // Steps whose major coordinate p0 + sMajor k lies in [pLo, pHi].
    std::int64_t kFirst = 0, kEnd = major; // [kFirst, kEnd)
    if (sMajor > 0) {
        kFirst = std::max(kFirst, pLo - p0);
        kEnd = std::min(kEnd, pHi - p0 + 1);
    } else {
        kFirst = std::max(kFirst, p0 - pHi);
        kEnd = std::min(kEnd, p0 - pLo + 1);
    }
    // Steps whose minor offset keeps q0 + sMinor j inside [qLo, qHi].
    if (sMinor > 0)
        RestrictMinor(major, minor, qLo - q0, qHi - q0, kFirst, kEnd);
    else
        RestrictMinor(major, minor, q0 - qHi, q0 - qLo, kFirst, kEnd);
    if (kFirst >= kEnd)
        return;

    // Bresenham state at kFirst: numerator n = 2 k minor + major = j (2 major) + rem.
    const std::int64_t twoMajor = 2 * major, twoMinor = 2 * minor;
    const std::int64_t n = kFirst * twoMinor + major;
    std::int64_t j = n / twoMajor, rem = n % twoMajor;
    for (std::int64_t k = kFirst; k < kEnd; ++k) {
        const std::int64_t p = p0 + sMajor * k, q = q0 + sMinor * j;
        const int x = static_cast<int>(xMajor ? p : q), y = static_cast<int>(xMajor ? q : p);
        if (clip.Contains(x, y))
            plot(x, y, static_cast<int>(k));
        rem += twoMinor;
        if (rem >= twoMajor) {
            rem -= twoMajor;
            ++j;
        }
    }
}
