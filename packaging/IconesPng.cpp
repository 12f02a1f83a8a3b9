// Build-time tool: writes the program's icon (MAINICON) as PNG files for the
// desktop's icon theme, <folder>/<n>x<n>/nelvar.png for every size n given.
// 32 is the image as drawn; multiples of 32 are scaled from it pixel for
// pixel, as the running program's icon is. Another size n (48, the icon
// theme's smallest required) is the image enlarged pixel for pixel to the
// least common multiple of 32 and n, then reduced to n by averaging each
// square of pixels (transparency included): every pixel of the design weighs
// the same, and a pixel of the result that covers one colour only keeps it.
#include "runtime/qt/MainIcon.h"

#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <numeric>

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
        if (taille < 16 || taille > 1024) {
            std::fprintf(stderr, "%s: size %s is not between 16 and 1024\n", argv[0], argv[i]);
            return 2;
        }
        const QString sousDossier = QStringLiteral("%1/%2x%2").arg(dossier).arg(taille);
        const QString chemin = sousDossier + QStringLiteral("/nelvar.png");
        const int commun = std::lcm(kMainIconSize, taille);
        QImage agrandie = image.scaled(commun, commun, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        if (commun != taille)
            agrandie = agrandie.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                           .scaled(taille, taille, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                           .convertToFormat(QImage::Format_ARGB32);
        if (!QDir().mkpath(sousDossier) || !agrandie.save(chemin, "PNG")) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(chemin));
            return 1;
        }
    }
    return 0;
}
