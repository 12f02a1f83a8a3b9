#include "about/UaPropos.h"

#include "runtime/qt/MainIcon.h"
#include "widgets/LayoutScale.h"

#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>

#include <algorithm>

namespace {

QFrame* NewPanel(QWidget* parent, QFrame::Shape shape, QFrame::Shadow shadow)
{
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(shape | shadow);
    panel->setLineWidth(1);
    panel->setMidLineWidth(0);
    return panel;
}

QLabel* NewLabel(QWidget* parent, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(false);
    return label;
}

// A label keeps its place and height and widens to its text when the font
// needs more room than the design gave it: its line is never cut.
void PlaceLabel(QLabel* label, const QRect& place)
{
    label->setGeometry(place);
    const int needed = label->sizeHint().width();
    if (needed > place.width())
        label->resize(needed, place.height());
}

// The edit control's own margin around its text, in pixels: next to none,
// as for a bitmap font.
constexpr int kMemoMargin = 1;

// The guide's lines were written to fill the memo's width in the design's
// font. Liberation Sans, which stands in for it, is a few per cent wider: the
// last word of the longest lines would go to a line of its own, and the
// guide's last sentences below the area, which has no scroll bar. So, when
// condensing the memo's font by at most kMostCondensed lets every line of
// `lines` fit, it is condensed just that much; otherwise it is left alone.
constexpr int kMostCondensed = 90; // percent of the normal width

void CondenseToFit(QPlainTextEdit* memo, const QStringList& lines)
{
    // The text's width: the area less its frame, its margins and the caret.
    const int width = memo->width() - 2 * memo->frameWidth() - 2 * kMemoMargin - 1;
    QFont font = memo->font();
    auto allFit = [&](int stretch) {
        font.setStretch(stretch);
        const QFontMetrics metrics(font);
        // A blank at the end of a line hangs in the margin, as in the edit control.
        return std::all_of(lines.begin(), lines.end(), [&](const QString& line) {
            return metrics.horizontalAdvance(line.trimmed()) <= width;
        });
    };
    if (allFit(100) || !allFit(kMostCondensed))
        return;
    int stretch = kMostCondensed;
    while (allFit(stretch + 1))
        ++stretch;
    font.setStretch(stretch);
    memo->setFont(font);
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("A propos"));
    setWindowIcon(MainIcon());
    setSizeGripEnabled(false);

    // Created in tab order: the guide first, then OK.
    // Panel1: lowered outer bevel and raised inner bevel, one pixel each.
    Panel1 = NewPanel(this, QFrame::Box, QFrame::Sunken);
    Panel2 = NewPanel(Panel1, QFrame::Panel, QFrame::Raised);
    ProgramIcon = new QLabel(Panel2);
    ProgramIcon->setPixmap(QPixmap::fromImage(MainIconImage()));
    ProgramIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ProductName = NewLabel(Panel2, QStringLiteral("Nelvar, version n° 2"));
    Version = NewLabel(Panel2, QStringLiteral("Programme de seconde"));
    Copyright = NewLabel(Panel2, QStringLiteral("Copyright © 2026 — logiciel libre"));
    Panel3 = NewPanel(Panel1, QFrame::Panel, QFrame::Raised);
    GroupBox1 = new QGroupBox(QStringLiteral("Mode d'emploi"), Panel3);

    Memo1 = new QPlainTextEdit(GroupBox1);
    Memo1->document()->setDocumentMargin(kMemoMargin);
    Memo1->setPlainText(ModeDEmploi().join(QLatin1Char('\n')));
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setReadOnly(false);
    Memo1->setTabChangesFocus(true);
    Memo1->moveCursor(QTextCursor::Start);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    setTabOrder(Memo1, OKButton);

    // The box has the application's font, which the program sets once for
    // all its windows. Fixed geometry at 96 pixels per inch, scaled for this
    // display by that font's text height.
    const LayoutScale scale = LayoutScale::ForFont(font(), this);
    setFixedSize(scale.Scale(QSize(kClientWidth, kClientHeight)));
    Panel1->setGeometry(scale.Scale(8, 8, 281, 401));
    Panel2->setGeometry(scale.Scale(2, 2, 277, 111));
    // The picture scales, the icon in its corner keeps the system's icon size.
    ProgramIcon->setGeometry(scale.Scale(8, 8, 65, 57));
    PlaceLabel(ProductName, scale.Scale(88, 16, 171, 13));
    PlaceLabel(Version, scale.Scale(88, 40, 112, 13));
    PlaceLabel(Copyright, scale.Scale(8, 80, 161, 13));
    Panel3->setGeometry(scale.Scale(2, 113, 277, 286));
    GroupBox1->setGeometry(scale.Scale(1, 1, 275, 284));
    Memo1->setGeometry(scale.Scale(2, 15, 271, 267));
    OKButton->setGeometry(scale.Scale(95, 412, 75, 25));
    // The lines of the guide as designed; the last one, ours, may wrap.
    const QStringList guide = ModeDEmploi();
    CondenseToFit(Memo1, guide.mid(0, guide.size() - 1));

    // The first display puts the focus in the guide.
    Memo1->setFocus(Qt::OtherFocusReason);
}

QStringList TAboutBox::ModeDEmploi()
{
    return {
        QStringLiteral("Ce logiciel permet d'enregistrer, à l'aide d'une carte "),
        QStringLiteral("Candibus, l'évolution de la pression au cours d'une "),
        QStringLiteral("réaction chimique produisant un dégagement gazeux."),
        QStringLiteral("L'avancement est calculé pour une réaction dont tous "),
        QStringLiteral("les nombres stoechiométriques sont égaux à 1."),
        QString(),
        QStringLiteral("Les résultats peuvent être transférés dans un tableur par "),
        QStringLiteral("Copier, puis Coller."),
        QString(),
        QStringLiteral("Les pressions mesurées peuvent être enregistrées dans "),
        QStringLiteral("un fichier."),
        QString(),
        QStringLiteral("Si vous disposez sur votre manomètre de deux sorties, "),
        QStringLiteral("pression et - pression, raccordées aux voies 1 et 2 de la "),
        QStringLiteral("carte d'acquisition, le logiciel peut prendre ces deux "),
        QStringLiteral("valeurs en compte."),
        QString(),
        QStringLiteral("Le dossier Valeurs contient un exemple de mesures."),
        QStringLiteral("Le code source du programme se trouve dans le dossier /usr/share/doc/nelvar : " NELVAR_SOURCE_ARCHIVE "."),
    };
}

void TAboutBox::setVisible(bool visible)
{
    if (visible && !shownBefore_) {
        shownBefore_ = true;
        if (const QScreen* where = screen(); where != nullptr) {
            const QRect area = where->geometry();
            move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
        }
    }
    QDialog::setVisible(visible);
}

void TAboutBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
