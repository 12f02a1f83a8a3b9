#pragma once
// The look of the program's windows.
//
// The font of the main window and of every control on it: "MS Sans Serif",
// 8 points, substituted by Liberation Sans where the face is missing (12
// pixels high, "W" 10 pixels wide at 96 pixels per inch), with whole-pixel
// glyph advances so that every platform measures the same text; the
// superscripts it lacks are drawn from DejaVu Sans (chart/FontFallback.h).
//
// The style: Qt's classic "Windows" style. The layout places the controls of
// a group box just below a caption drawn into the box's top edge, as that
// style draws it; other styles put the caption above the frame, over the
// controls.
#include <QFont>

class QTranslator;

QFont PoliceFenetre();

// Sets the style and the font of the application (every window of the
// program); called once, right after the application object is created.
void AppliquerApparence();

// Gives Qt's own texts (the save dialog, the edit fields' context menus) in
// French, as the rest of the program is, whatever the desktop's language:
// installs Qt's French translation, owned by the application object, when
// the system has it (Debian's qt6-translations-l10n). Returns it, or null
// when there is none and Qt's texts stay in English.
QTranslator* InstallerTextesQtFrancais();
