// The clipboard on a real X server, read back by another program (xclip)
// while our event loop serves the selection, as a spreadsheet would paste it.
#include "SortiesCommun.h"

#include "runtime/Windows1252.h"
#include "runtime/qt/QtPlatform.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace {

// Longest wait for xclip, only so that a broken selection fails the test
// instead of hanging it; a served request takes milliseconds.
constexpr int kAttenteMaxMs = 60000;

struct Lecture {
    bool terminee = false;
    int code = -1;
    QByteArray octets;
};

// Runs xclip with `arguments` and keeps the event loop turning, so that this
// process answers the selection request xclip makes, until xclip ends.
Lecture Xclip(const QStringList& arguments)
{
    QProcess xclip;
    QEventLoop boucle;
    QObject::connect(&xclip, &QProcess::finished, &boucle, &QEventLoop::quit);
    QObject::connect(&xclip, &QProcess::errorOccurred, &boucle, &QEventLoop::quit);
    QTimer garde;
    garde.setSingleShot(true);
    QObject::connect(&garde, &QTimer::timeout, &boucle, &QEventLoop::quit);

    xclip.start(QStringLiteral("xclip"), arguments);
    garde.start(kAttenteMaxMs);
    boucle.exec();

    Lecture lecture;
    lecture.terminee = xclip.state() == QProcess::NotRunning && xclip.exitStatus() == QProcess::NormalExit;
    if (!lecture.terminee) {
        xclip.kill();
        xclip.waitForFinished();
        return lecture;
    }
    lecture.code = xclip.exitCode();
    lecture.octets = xclip.readAllStandardOutput();
    return lecture;
}

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
