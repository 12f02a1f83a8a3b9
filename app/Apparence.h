#pragma once
// The look of the program's windows.
//
// The font of the main window and of every control on it: "MS Sans Serif",
// 8 points, substituted by Liberation Sans where the face is missing (12
// pixels high, "W" 10 pixels wide at 96 pixels per inch), with whole-pixel
// glyph advances so that every platform measures the same text.
//
// The style: Qt's classic "Windows" style. The layout places the controls of
// a group box just below a caption drawn into the box's top edge, as that
// style draws it; other styles put the caption above the frame, over the
// controls.
#include <QFont>

QFont PoliceFenetre();

// Sets the style and the font of the application (every window of the
// program); called once, right after the application object is created.
void AppliquerApparence();
