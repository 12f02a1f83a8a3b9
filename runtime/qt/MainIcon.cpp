#include "runtime/qt/MainIcon.h"

#include <QPixmap>

#include <array>
#include <string_view>

namespace {

// The 16 colours of the standard VGA palette, in palette order.
constexpr std::array<QRgb, 16> kVgaPalette = {
    0xFF000000, // 0 black
    0xFF000080, // 1 navy
    0xFF008000, // 2 green
    0xFF008080, // 3 teal
    0xFF800000, // 4 maroon
    0xFF800080, // 5 purple
    0xFF808000, // 6 olive
    0xFFC0C0C0, // 7 silver
    0xFF808080, // 8 grey
    0xFF0000FF, // 9 blue
    0xFF00FF00, // 10 lime
    0xFF00FFFF, // 11 aqua
    0xFFFF0000, // 12 red
    0xFFFF00FF, // 13 fuchsia
    0xFFFFFF00, // 14 yellow
    0xFFFFFFFF, // 15 white
};
constexpr int kTransparentIndex = 16;

// One character a pixel. Upper case for the bright colours, lower case for
// the dark ones; '.' is transparent.
int PaletteIndex(char c)
{
    switch (c) {
    case 'K': return 0;
    case 'b': return 1;
    case 'g': return 2;
    case 'c': return 3;
    case 'r': return 4;
    case 'm': return 5;
    case 'o': return 6;
    case 's': return 7;
    case 'd': return 8;
    case 'B': return 9;
    case 'G': return 10;
    case 'C': return 11;
    case 'R': return 12;
    case 'M': return 13;
    case 'Y': return 14;
    case 'W': return 15;
    default: return kTransparentIndex;
    }
}

// A sheet slanted to the right, edged in red with a grey shadow: white along
// its top, a red band, then yellow, with a black curve that rises steeply and
// levels off (the extent of reaction of a run), and coloured speckles towards
// its lower edge.
constexpr std::array<std::string_view, kMainIconSize> kPixels = {
    "................................",
    "................................",
    "........RRRRRRRRRRRRRRRRRRRRRRR.",
    "........RWWWWWWWWWWWWWWWWWWWWWRd",
    "........RWWWWWWWWWWWWWWWWWWWWWRd",
    ".......RWWWWWWWWWWWWWWWWWWWWWRd.",
    ".......RWWWWWWWWWWWWWWWWWWWWWRd.",
    ".......RWWWWWWWWWWWWWWWWWWWWWRd.",
    ".......RWWWWWWWWWWWWWWWWWWWWWRd.",
    "......RRRRRRRRRRRRRRRRRRRRRRRd..",
    "......RRRRRRRRRRRRRRRRRRRRRRRd..",
    "......RYYYYYYYYYYYYYYYYYYYYYRd..",
    "......RYYYYYYYYYYYYYYYYYYYYYRd..",
    "......RYYYYYYYYYYYKKKKKKKKKYRd..",
    ".....RYYYYYYYYYKKKYYYYYYYYYRd...",
    ".....RYYYYYYYKKYYYYYYYYYYYYRd...",
    ".....RYYYYYKKYYYYYYYYYYYYYYRd...",
    ".....RYYYYKYYYYYYYYYYYYYYYYRd...",
    "....RYYYYKYYYYYYYYYYYYYYYYRd....",
    "....RYYYKYYYYYYYYYYYYYYYYYRd....",
    "....RYYKYYYYYYYYYYYYYYYYYYRd....",
    "....RYYKYYYYYYYYYYYYYYYYYYRd....",
    "....RYKYYYYYYYYYYYYYYYYYYYRd....",
    "...RYYKYYYYYYYYYYYYYYYYYYRd.....",
    "...RYKYYYYYYYYYYYYYYYYYYYRd.....",
    "...RYKYYYYYYYYYYYYYYYYYYYRd.....",
    "...RYYYYBYYYYYYMYYYYYGYYYRd.....",
    "..RYYGYMYYYCYBYYYYrYCYYBRd......",
    "..RCBYrYYGBYMYGYCBYMYGrYRd......",
    "..RRRRRRRRRRRRRRRRRRRRRRRd......",
    "...ddddddddddddddddddddddd......",
    "................................",
};

} // namespace

QImage MainIconImage()
{
    QImage image(kMainIconSize, kMainIconSize, QImage::Format_Indexed8);
    QList<QRgb> colours(kVgaPalette.begin(), kVgaPalette.end());
    colours.append(qRgba(0, 0, 0, 0));
    image.setColorTable(colours);
    for (int y = 0; y < kMainIconSize; ++y) {
        const std::string_view row = kPixels[static_cast<std::size_t>(y)];
        for (int x = 0; x < kMainIconSize; ++x)
            image.setPixel(x, y, static_cast<uint>(PaletteIndex(row[static_cast<std::size_t>(x)])));
    }
    return image;
}

QIcon MainIcon()
{
    const QImage image = MainIconImage();
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(image));
    for (int size : {64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    return icon;
}
