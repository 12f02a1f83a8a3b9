#pragma once
// Colours of the chart: 32-bit values 0x00BBGGRR for plain colours; a value
// with the high bit set names a system colour, resolved on the platform's
// palette when drawn.
#include <cstdint>

using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clBtnFace = 0x8000000F;      // button face
inline constexpr TColor clBtnHighlight = 0x80000014; // light edge of a raised bevel
inline constexpr TColor clBtnShadow = 0x80000010;    // dark edge of a raised bevel

// No colour of its own: the owner's default applies.
inline constexpr TColor ColorUnset = 0x80000000;
// Accepted by AddPoint as "the series' colour"; stored as ColorUnset.
inline constexpr TColor ColorAuto = 0x20000000;

inline constexpr bool IsSystemColor(TColor c) { return (c & 0x80000000u) != 0; }

// The low three bytes of a colour taken as a plain colour: a system colour's
// index becomes a (dark) red, e.g. clBtnFace gives 0x00000F.
inline constexpr TColor PlainColor(TColor c) { return c & 0x00FFFFFFu; }

// The system colours the chart draws with, as plain colours. The widget fills
// them from the platform palette; without a window system the classic
// defaults apply.
struct SystemColors {
    TColor btnFace = 0xF0F0F0;
    TColor btnHighlight = 0xFFFFFF;
    TColor btnShadow = 0xA0A0A0;

    // Plain colours pass unchanged; system colours map to the three above
    // (any other system colour index gives the button face).
    TColor Resolve(TColor c) const
    {
        if (!IsSystemColor(c))
            return c & 0x00FFFFFFu;
        switch (c) {
        case clBtnHighlight: return btnHighlight;
        case clBtnShadow: return btnShadow;
        default: return btnFace;
        }
    }
};

// Distinct plain colours for the series of one chart, one per index, in an
// order where neighbours contrast (blue, red, green, orange, purple, teal,
// brown, grey, then again). The main charts pick their red themselves.
inline constexpr TColor SeriesPaletteColor(int index)
{
    constexpr TColor palette[] = {0xB45A1F, 0x2827D6, 0x2CA02C, 0x0E7FFF, 0xBD6794, 0x8C8C17, 0x4B568C, 0x7F7F7F};
    constexpr int n = sizeof(palette) / sizeof(palette[0]);
    return palette[((index % n) + n) % n];
}
