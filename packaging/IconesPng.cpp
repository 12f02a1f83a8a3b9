// Build-time tool: writes the program's icon (MAINICON) as PNG files for the
// desktop's icon theme, <folder>/<n>x<n>/nelvar.png for every size n given.
// 32 is the image as drawn; larger sizes must be multiples of 32 and are
// scaled from it pixel for pixel, as the running program's icon is.
#include "runtime/qt/MainIcon.h"

#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <folder> <size>...\n", argv[0]);
        return 2;
    }
    const QString dossier = QString::fromLocal8Bit(argv[1]);
    const QImage image = MainIconImage().convertToFormat(QImage::Format_ARGB32);
    for (int i = 2; i < argc; ++i) {
        const int taille = std::atoi(argv[i]);
        if (taille < kMainIconSize || taille % kMainIconSize != 0) {
            std::fprintf(stderr, "%s: size %s is not a multiple of %d\n", argv[0], argv[i], kMainIconSize);
            return 2;
        }
        const QString sousDossier = QStringLiteral("%1/%2x%2").arg(dossier).arg(taille);
        const QString chemin = sousDossier + QStringLiteral("/nelvar.png");
        const QImage agrandie = image.scaled(taille, taille, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        if (!QDir().mkpath(sousDossier) || !agrandie.save(chemin, "PNG")) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(chemin));
            return 1;
        }
    }
    return 0;
}
