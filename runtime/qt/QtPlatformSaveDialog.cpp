// The save dialog on Qt: Qt's own file dialog (the same on every desktop),
// modal, resizable, without file-type filter. The dialog itself asks nothing
// when an existing file is chosen: the caller asks with ConfirmReplace, a box
// of its own, in French whatever Qt's translations.
#include "runtime/qt/QtPlatform.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QStringList>

namespace {

// Names are bytes for the system; Qt decodes them with the locale's encoding.
QString EnQString(const std::string& nom)
{
    return QFile::decodeName(QByteArray(nom.data(), static_cast<qsizetype>(nom.size())));
}

// The folder the dialog shows first: `dossier` if it exists, else its nearest
// existing parent. The dialog never creates a folder.
QString DossierExistant(const QString& dossier)
{
    QDir courant(dossier.isEmpty() ? QDir::currentPath() : QDir::cleanPath(QDir(dossier).absolutePath()));
    while (!courant.exists() && !courant.isRoot()) {
        if (!courant.cdUp())
            break;
    }
    return courant.absolutePath();
}

} // namespace

std::optional<std::string> QtPlatform::ChooseSaveFileName(const SaveDialogRequest& request)
{
    QFileDialog dialogue(dialogParent_);
    dialogue.setOption(QFileDialog::DontUseNativeDialog);
    dialogue.setOption(QFileDialog::DontConfirmOverwrite);
    dialogue.setAcceptMode(QFileDialog::AcceptSave);
    dialogue.setFileMode(QFileDialog::AnyFile);
    dialogue.setSizeGripEnabled(true);
    // A name typed without a suffix gets "." + the default suffix.
    dialogue.setDefaultSuffix(EnQString(request.defaultSuffix));
    dialogue.setDirectory(DossierExistant(EnQString(request.initialFolder)));
    if (!request.filters.empty())
        dialogue.setNameFilter(EnQString(request.filters));

    // The name chosen last is offered again. A full name brings its folder
    // with it, as in the system dialogs where a path typed in the name field
    // wins over the initial folder.
    if (!request.fileName.empty()) {
        const QFileInfo dernier(EnQString(request.fileName));
        if (dernier.isAbsolute())
            dialogue.setDirectory(DossierExistant(dernier.absolutePath()));
        dialogue.selectFile(dernier.fileName());
    }

    if (dialogue.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList choisis = dialogue.selectedFiles();
    if (choisis.isEmpty())
        return std::nullopt;
    const QByteArray nom = QFile::encodeName(QDir::cleanPath(choisis.first()));
    return std::string(nom.constData(), static_cast<std::size_t>(nom.size()));
}

bool QtPlatform::ConfirmReplace(const std::string& fileName)
{
    const QString nom = QFileInfo(EnQString(fileName)).fileName();
    QMessageBox question(QMessageBox::Warning, QStringLiteral("Confirmer l'enregistrement"),
                         QStringLiteral("Le fichier « %1 » existe déjà.\nVoulez-vous le remplacer ?").arg(nom),
                         QMessageBox::NoButton, dialogParent_);
    question.setTextFormat(Qt::PlainText);
    QPushButton* oui = question.addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
    QPushButton* non = question.addButton(QStringLiteral("&Non"), QMessageBox::NoRole);
    // Enter and Esc keep the file: replacing it takes a deliberate "Oui".
    question.setDefaultButton(non);
    question.setEscapeButton(non);
    question.exec();
    return question.clickedButton() == oui;
}
