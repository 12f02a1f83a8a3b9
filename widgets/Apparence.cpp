#include "widgets/Apparence.h"

#include "chart/FontFallback.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QStyleFactory>
#include <QTranslator>

QFont PoliceFenetre()
{
    // "MS Sans Serif" has no alias on Linux; the closest sans-serif face of
    // the same metrics is Liberation Sans.
    static const bool substituee = [] {
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
        return true;
    }();
    (void)substituee;
    QFont police(QStringLiteral("MS Sans Serif"), 8);
    police.setStyleHint(QFont::SansSerif);
    // Whole-pixel glyph advances, as a bitmap font has: the same widths on
    // every platform, and the labels break their lines where the layout
    // expects ("Volume total" is 58 pixels wide, within the label's 61).
    police.setHintingPreference(QFont::PreferFullHinting);
    return WithFallbackFamily(police);
}

void AppliquerApparence()
{
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Windows")))
        QApplication::setStyle(style);
    QApplication::setFont(PoliceFenetre());
}

QTranslator* InstallerTextesQtFrancais()
{
    auto* traduction = new QTranslator(QCoreApplication::instance());
    if (traduction->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        && QCoreApplication::installTranslator(traduction))
        return traduction;
    delete traduction;
    return nullptr;
}
