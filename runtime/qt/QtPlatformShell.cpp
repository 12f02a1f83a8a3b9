// The desktop's open service: QDesktopServices, which on a Unix desktop hands
// web and mailto: links to the user's preferred applications.
#include "runtime/qt/QtPlatform.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QString>
#include <QUrl>

bool QtPlatform::OpenAddress(const std::string& address)
{
    const QString text = QString::fromStdString(address);
    QUrl url(text, QUrl::TolerantMode);
    // An address without a scheme designates a file, as for a shell's open
    // operation; anything else (https:, mailto:, file:) goes as it is.
    if (url.scheme().isEmpty())
        url = QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
    return QDesktopServices::openUrl(url);
}
