#include "chart/FontFallback.h"

#include <QFontInfo>
#include <QStringList>

QFont WithFallbackFamily(QFont font)
{
    const QString resolved = QFontInfo(font).family();
    QStringList families{resolved};
    if (resolved.compare(QLatin1String(kFallbackFamily), Qt::CaseInsensitive) != 0)
        families.append(QString::fromLatin1(kFallbackFamily));
    font.setFamilies(families);
    return font;
}
