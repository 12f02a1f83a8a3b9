#pragma once
// The X11 clipboard read back by another program (xclip) while this
// process's event loop serves the selection, as a spreadsheet would paste
// it. For the tests that run under xvfb-run.
#include <QByteArray>
#include <QEventLoop>
#include <QProcess>
#include <QStringList>
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
inline Lecture Xclip(const QStringList& arguments)
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

} // namespace
