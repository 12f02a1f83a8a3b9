// The Qt side of the output, on the offscreen platform: the real save dialog,
// driven as a user would (a name typed, then Save or Cancel), and the
// clipboard's content as Qt holds it.
#include "SortiesCommun.h"

#include "runtime/Windows1252.h"
#include "runtime/qt/QtPlatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace fs = std::filesystem;

namespace {

// What the test saw of the dialog while it was open.
struct VuDuDialogue {
    bool ouvert = false;
    QString dossier;
    QString nomPropose;
    QString suffixe;
    QFileDialog::Options options;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    bool confirmationDemandee = false;
};

// Once the modal dialog is open: records it, types `nom` (if any) and
// presses Save, or presses Cancel when `nom` is empty. A confirmation box of
// the dialog itself, should one appear, is recorded and answered No.
void QuandLeDialogueSOuvre(VuDuDialogue& vu, const QString& nom, int essais = 100)
{
    QTimer::singleShot(0, [&vu, nom, essais] {
        auto* dialogue = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialogue == nullptr) {
            if (essais > 0)
                QuandLeDialogueSOuvre(vu, nom, essais - 1);
            return;
        }
        vu.ouvert = true;
        vu.dossier = dialogue->directory().absolutePath();
        auto* champ = dialogue->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        vu.nomPropose = champ != nullptr ? champ->text() : QString();
        vu.suffixe = dialogue->defaultSuffix();
        vu.options = dialogue->options();
        vu.mode = dialogue->acceptMode();
        if (nom.isEmpty()) {
            dialogue->reject();
            return;
        }
        ASSERT_NE(champ, nullptr);
        champ->setText(nom);
        QTimer::singleShot(0, [&vu, leDialogue = QPointer<QFileDialog>(dialogue)] {
            auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (boite != nullptr && leDialogue != nullptr && boite->parentWidget() == leDialogue) {
                vu.confirmationDemandee = true;
                boite->reject();
            }
        });
        static_cast<QDialog*>(dialogue)->accept(); // the Save button: QFileDialog::accept()
    });
}

// Once the question box is open (waiting while the save dialog is): records
// its title, text, sorted buttons and default button in `vu`, runs `pendant`,
// then clicks the button labelled `reponse`.
void QuandLaQuestionSePose(QStringList& vu, const QString& reponse, std::function<void()> pendant, int essais = 100)
{
    QTimer::singleShot(0, [&vu, reponse, pendant, essais] {
        QWidget* modale = QApplication::activeModalWidget();
        auto* boite = qobject_cast<QMessageBox*>(modale);
        if (boite == nullptr) {
            if (qobject_cast<QFileDialog*>(modale) != nullptr || essais > 0)
                QuandLaQuestionSePose(vu, reponse, pendant, modale != nullptr ? essais : essais - 1);
            return;
        }
        QStringList boutons;
        for (QAbstractButton* bouton : boite->buttons())
            boutons << bouton->text();
        boutons.sort();
        vu = {boite->windowTitle(), boite->text(), boutons.join(QLatin1Char('|')),
              boite->defaultButton() != nullptr ? boite->defaultButton()->text() : QString()};
        if (pendant)
            pendant();
        for (QAbstractButton* bouton : boite->buttons())
            if (bouton->text() == reponse)
                bouton->click();
    });
}

class DialogueQt : public SortiesTest {};
class PressePapiersQt : public SortiesTest {};

TEST_F(DialogueQt, last_name_is_offered_again_and_an_existing_file_is_taken_without_question)
{
    fs::create_directories(Valeurs());
    const std::string dernier = Valeurs() + "/essai.txt";
    EcrireFichier(dernier, "existant");
    QtPlatform plateForme;
    VuDuDialogue vu;
    QuandLeDialogueSOuvre(vu, QStringLiteral("essai.txt"));

    const auto choix = plateForme.ChooseSaveFileName({Valeurs(), "txt", dernier});

    ASSERT_TRUE(vu.ouvert);
    EXPECT_EQ(vu.nomPropose, QStringLiteral("essai.txt"));
    EXPECT_FALSE(vu.confirmationDemandee);
    ASSERT_TRUE(choix);
    EXPECT_EQ(*choix, dernier);
    EXPECT_EQ(LireFichier(dernier), "existant") << "the dialog only chooses";
}

TEST_F(DialogueQt, missing_output_folder_is_not_created_and_cancel_chooses_nothing)
{
    QtPlatform plateForme;
    VuDuDialogue vu;
    QuandLeDialogueSOuvre(vu, QString());

    const auto choix = plateForme.ChooseSaveFileName({Valeurs(), "txt", ""});

    ASSERT_TRUE(vu.ouvert);
    EXPECT_FALSE(choix);
    EXPECT_EQ(vu.dossier.toStdString(), racine_) << "the nearest existing folder is shown";
    EXPECT_FALSE(fs::exists(Valeurs()));
}

TEST_F(DialogueQt, save_as_through_the_real_dialog_writes_the_typed_name_with_txt_in_the_folder_shown)
{
    fs::create_directories(Valeurs());
    QtPlatform plateForme;
    TDravoC composant(ports_, &plateForme);
    UDravoC::RepertoireCourant = racine_ + "/"; // the construction took the process's folder
    composant.Frequence = 1 / kPeriode;
    VuDuDialogue vu;
    QuandLeDialogueSOuvre(vu, QStringLiteral("essai"));

    composant.EnregistrerMesuresSous(0, 0);

    ASSERT_TRUE(vu.ouvert);
    EXPECT_EQ(vu.dossier.toStdString(), Valeurs());
    EXPECT_EQ(vu.suffixe, QStringLiteral("txt"));
    EXPECT_EQ(vu.mode, QFileDialog::AcceptSave);
    EXPECT_TRUE(vu.options.testFlag(QFileDialog::DontUseNativeDialog));
    EXPECT_TRUE(vu.options.testFlag(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(UDravoC::NomDernierFichier, Valeurs() + "/essai.txt");
    EXPECT_EQ(LireFichier(Valeurs() + "/essai.txt"), kTexteAvantMesure + "\r\n");
}

TEST_F(DialogueQt, existing_file_chosen_in_the_real_dialog_is_replaced_only_after_oui)
{
    fs::create_directories(Valeurs());
    const std::string essai = Valeurs() + "/essai.txt";
    QtPlatform plateForme;
    TDravoC composant(ports_, &plateForme);
    UDravoC::RepertoireCourant = racine_ + "/";
    composant.Frequence = 1 / kPeriode;
    for (const bool oui : {false, true}) {
        SCOPED_TRACE(oui ? "Oui" : "Non");
        EcrireFichier(essai, "cahier d'un camarade");
        VuDuDialogue vu;
        VuDuDialogue vuEnsuite; // the dialog that "Non" brings back, then cancelled
        QStringList question;
        QuandLeDialogueSOuvre(vu, QStringLiteral("essai"));
        QuandLaQuestionSePose(question, oui ? QStringLiteral("&Oui") : QStringLiteral("&Non"), [&] {
            if (!oui)
                QuandLeDialogueSOuvre(vuEnsuite, QString());
        });

        composant.EnregistrerMesuresSous(0, 0);

        EXPECT_EQ(question, (QStringList{QStringLiteral("Confirmer l'enregistrement"),
                                         QStringLiteral(u"Le fichier « essai.txt » existe déjà.\nVoulez-vous le remplacer ?"),
                                         QStringLiteral("&Non|&Oui"), QStringLiteral("&Non")}));
        EXPECT_EQ(vuEnsuite.ouvert, !oui);
        EXPECT_EQ(vuEnsuite.nomPropose, oui ? QString() : QStringLiteral("essai.txt"));
        EXPECT_EQ(LireFichier(essai), oui ? kTexteAvantMesure + "\r\n" : "cahier d'un camarade");
        EXPECT_EQ(UDravoC::NomDernierFichier, oui ? essai : "");
    }
}

TEST_F(PressePapiersQt, clipboard_holds_the_text_and_an_empty_link_only)
{
    auto* ancien = new QMimeData;
    ancien->setData(QStringLiteral("application/x-ancien"), "reste");
    QGuiApplication::clipboard()->setMimeData(ancien);
    QtPlatform plateForme;

    plateForme.PlaceOnClipboard("Fr\xC3\xA9quence en Hz\tModule de la FFT\r0\t1,013\r");

    const QMimeData* donnees = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(donnees, nullptr);
    EXPECT_EQ(donnees->text(), QStringLiteral(u"Fréquence en Hz\tModule de la FFT\r0\t1,013\r"));
    EXPECT_EQ(donnees->data(QStringLiteral("Link")), QByteArray(1, '\0'));
    EXPECT_FALSE(donnees->hasFormat(QStringLiteral("application/x-ancien")));
    EXPECT_EQ(donnees->formats(), (QStringList{QStringLiteral("text/plain"), QStringLiteral("Link")}));
}

TEST_F(PressePapiersQt, copy_of_the_worked_example_through_qt)
{
    QtPlatform plateForme;
    TDravoC composant(ports_, &plateForme);
    UDravoC::RepertoireCourant = racine_ + "/"; // the construction took the process's folder
    composant.Frequence = 1 / kPeriode;
    const long double pressions[] = {101325, 101402, 101523, 101671, 101788};
    for (std::size_t i = 0; i < std::size(pressions); ++i)
        composant.MesuresVoie1[i] = pressions[i];

    composant.CopierMesures(kPointsExemple, 0);

    const QMimeData* donnees = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(donnees, nullptr);
    EXPECT_EQ(donnees->text().toStdString(), kTexteExemple);
}

} // namespace
