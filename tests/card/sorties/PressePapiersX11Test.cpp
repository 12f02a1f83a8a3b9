// The clipboard on a real X server, read back by another program (xclip)
// while our event loop serves the selection, as a spreadsheet would paste it.
#include "SortiesCommun.h"

#include "runtime/Windows1252.h"
#include "runtime/qt/QtPlatform.h"
#include "tests/support/Xclip.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace {

class PressePapiersX11 : public SortiesTest {
protected:
    void SetUp() override
    {
        SortiesTest::SetUp();
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs an X server (platform xcb)";
        if (QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty())
            GTEST_SKIP() << "xclip is not installed";
    }
};

TEST_F(PressePapiersX11, targets_offer_utf8_text_and_the_link_entry_of_one_nul_byte)
{
    QtPlatform plateForme;
    plateForme.PlaceOnClipboard("0\t0\r");

    const Lecture cibles = Xclip({QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                  QStringLiteral("-t"), QStringLiteral("TARGETS")});
    ASSERT_TRUE(cibles.terminee);
    const QList<QByteArray> noms = cibles.octets.trimmed().split('\n');
    EXPECT_TRUE(noms.contains("UTF8_STRING")) << cibles.octets.toStdString();
    EXPECT_TRUE(noms.contains("Link")) << cibles.octets.toStdString();

    const Lecture lien = Xclip({QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                QStringLiteral("-t"), QStringLiteral("Link")});
    ASSERT_TRUE(lien.terminee);
    EXPECT_EQ(lien.octets, QByteArray(1, '\0'));
}

TEST_F(PressePapiersX11, another_program_reads_a_copy_of_the_voltage_layout_back_byte_for_byte)
{
    QtPlatform plateForme;
    TDravoC composant(ports_, &plateForme);
    composant.Frequence = 1 / kPeriode;
    composant.ModuleFFT[0] = 1.01325L;

    composant.CopierMesures(1, 2);
    const Lecture lecture = Xclip({QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")});

    ASSERT_TRUE(lecture.terminee);
    EXPECT_EQ(lecture.code, 0);
    EXPECT_EQ(lecture.octets.toStdString(), "Fr\xC3\xA9quence en Hz\tModule de la FFT\r0\t1,013\r")
        << "UTF-8, lines ended by CR alone, no NUL";
    EXPECT_EQ(Windows1252ToUtf8(composant.ServeurDde().Text), lecture.octets.toStdString());
}

} // namespace
