// The clipboard on Qt. The text goes as plain text (UTF-8, which is what
// spreadsheets on the desktop paste), and an empty link entry goes under the
// custom format "Link".
//
// On X11 every MIME format of the clipboard is offered as a target atom of the
// same name, so other programs see the targets "Link" and the text ones
// (UTF8_STRING, text/plain;charset=utf-8, TEXT, STRING, ...). The data of each
// target is exactly what is set here: the text without a terminating NUL (X11
// transfers carry their length), and the link as one NUL byte.
#include "runtime/qt/QtPlatform.h"

#include "runtime/Exceptions.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QString>

namespace {
const char* const kFormatLien = "Link";
}

void QtPlatform::PlaceOnClipboard(const std::string& textUtf8)
{
    // Without a GUI application there is no clipboard to open.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        throw EClipboardException();
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        throw EClipboardException();

    // Setting new data replaces everything the clipboard held: it is emptied,
    // then holds these two formats only.
    auto* donnees = new QMimeData;
    donnees->setText(QString::fromUtf8(textUtf8.data(), static_cast<qsizetype>(textUtf8.size())));
    donnees->setData(QString::fromLatin1(kFormatLien), QByteArray(1, '\0'));
    clipboard->setMimeData(donnees, QClipboard::Clipboard);

    // On X11 the clipboard is ours only if the server made us the selection's
    // owner; when it refused, nothing was placed.
    if (QGuiApplication::platformName() == QLatin1String("xcb") && !clipboard->ownsClipboard())
        throw EClipboardException();
}
