#include "widgets/TLabel.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

TLabel::TLabel(const QString& texte, bool retourALaLigne, QWidget* parent) : QLabel(texte, parent)
{
    setWordWrap(retourALaLigne);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

int TLabel::Drapeaux() const
{
    int drapeaux = static_cast<int>(alignment());
    if (wordWrap())
        drapeaux |= Qt::TextWordWrap;
    if (textFormat() != Qt::PlainText) {
        drapeaux |= Qt::TextShowMnemonic;
        QStyleOption option;
        option.initFrom(this);
        if (!style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this))
            drapeaux |= Qt::TextHideMnemonic;
    }
    return drapeaux;
}

int TLabel::heightForWidth(int largeur) const
{
    return fontMetrics().boundingRect(0, 0, largeur, 0x7FFF, Drapeaux(), text()).height();
}

QSize TLabel::sizeHint() const
{
    const QRect rectangle = fontMetrics().boundingRect(0, 0, wordWrap() ? width() : 0x7FFF, 0x7FFF, Drapeaux(), text());
    return rectangle.size();
}

void TLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), Drapeaux(), palette(), isEnabled(), text(), foregroundRole());
}
