#include "runtime/qt/MessageBoxes.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

std::string ErrorText(const std::string& messageUtf8)
{
    if (messageUtf8.empty())
        return messageUtf8;
    const auto last = static_cast<unsigned char>(messageUtf8.back());
    return last > static_cast<unsigned char>('.') ? messageUtf8 + "." : messageUtf8;
}

namespace {

void ShowBox(const std::string& title, const std::string& text, QMessageBox::Icon icon)
{
    QMessageBox box(icon, QString::fromStdString(title), QString::fromStdString(text));
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.setTextFormat(Qt::PlainText);
    // Without a parent the box is application-modal and centred on the screen;
    // the main window takes no input meanwhile, its timers keep running.
    box.exec();
}

} // namespace

void QtMessageBoxes::ShowMessage(const std::string& textUtf8)
{
    ShowBox(title_, textUtf8, QMessageBox::NoIcon);
}

void QtMessageBoxes::ShowError(const std::string& textUtf8)
{
    ShowBox(title_, textUtf8, QMessageBox::Critical);
}
