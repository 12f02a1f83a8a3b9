// The icon theme's PNGs as the build tool writes them from the program's icon:
// multiples of 32 pixel for pixel, other sizes (48) by averaging the design's
// pixels over each result pixel's area, transparency included.
#include "runtime/qt/MainIcon.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

namespace {

int RunTool(const QString& folder, const QStringList& sizes)
{
    QProcess tool;
    tool.start(QStringLiteral(NELVAR_ICON_TOOL), QStringList{folder} + sizes);
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit)
        return -1;
    return tool.exitCode();
}

QImage Written(const QString& folder, int size)
{
    return QImage(QStringLiteral("%1/%2x%2/nelvar.png").arg(folder).arg(size))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

TEST(IconPngs, multiples_of_32_repeat_each_design_pixel)
{
    QTemporaryDir folder;
    ASSERT_EQ(RunTool(folder.path(), {QStringLiteral("32"), QStringLiteral("64")}), 0);
    const QImage design = MainIconImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (const int size : {32, 64}) {
        const QImage image = Written(folder.path(), size);
        ASSERT_EQ(image.size(), QSize(size, size));
        const int factor = size / 32;
        int wrong = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (image.pixel(x, y) != design.pixel(x / factor, y / factor) && ++wrong <= 5)
                    ADD_FAILURE() << size << ": pixel (" << x << ", " << y << ")";
    }
}

TEST(IconPngs, size_48_averages_the_design_over_each_pixels_area)
{
    QTemporaryDir folder;
    ASSERT_EQ(RunTool(folder.path(), {QStringLiteral("48")}), 0);
    const QImage image = Written(folder.path(), 48);
    ASSERT_EQ(image.size(), QSize(48, 48));
    const QImage design = MainIconImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);

    // In thirds of a design pixel, result pixel k spans [2k, 2k + 2) and
    // design pixel i spans [3i, 3i + 3): the overlaps weigh 4 in all.
    auto overlap = [](int k, int i) { return std::max(0, std::min(2 * k + 2, 3 * i + 3) - std::max(2 * k, 3 * i)); };
    int wrong = 0;
    int uniform = 0;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 48; ++x) {
            std::array<int, 4> sum{};
            QRgb first = design.pixel(2 * x / 3, 2 * y / 3);
            bool single = true;
            for (int j = 2 * y / 3; j <= (2 * y + 1) / 3; ++j) {
                for (int i = 2 * x / 3; i <= (2 * x + 1) / 3; ++i) {
                    const int weight = overlap(x, i) * overlap(y, j);
                    const QRgb colour = design.pixel(i, j);
                    if (weight == 0)
                        continue;
                    single = single && colour == first;
                    sum[0] += weight * qAlpha(colour);
                    sum[1] += weight * qRed(colour);
                    sum[2] += weight * qGreen(colour);
                    sum[3] += weight * qBlue(colour);
                }
            }
            const QRgb shown = image.pixel(x, y);
            bool right;
            if (single) {
                ++uniform;
                right = shown == first;
            } else {
                const std::array<int, 4> got{qAlpha(shown), qRed(shown), qGreen(shown), qBlue(shown)};
                right = true;
                for (int c = 0; c < 4; ++c)
                    right = right && std::abs(got[c] * 4 - sum[c]) <= 4 * 2;
            }
            if (!right && ++wrong <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << std::hex << shown;
        }
    }
    // Two pixels in three along each axis lie within one design pixel: at
    // least those were held to the exact colour.
    EXPECT_GE(uniform, 32 * 32);
}

TEST(IconPngs, a_size_out_of_range_is_refused_and_nothing_written)
{
    QTemporaryDir folder;
    EXPECT_EQ(RunTool(folder.path(), {QStringLiteral("8")}), 2);
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}
