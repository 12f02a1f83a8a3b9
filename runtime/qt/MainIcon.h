#pragma once
// The program's icon (MAINICON): one 32 × 32 image in the 16 colours of the
// standard VGA palette. It is the application's icon, both windows carry it,
// and the About box shows it as a picture.
#include <QIcon>
#include <QImage>

inline constexpr int kMainIconSize = 32;

// The icon's image, 32 × 32, indexed: the 16 VGA colours, then one fully
// transparent entry for the pixels around the sheet (the icon's mask).
QImage MainIconImage();

// The icon with the 32 × 32 image and larger sizes (64, 128, 256) scaled from
// it pixel for pixel (nearest neighbour), for desktops that want them.
QIcon MainIcon();
