#include "widgets/TRadioGroup.h"

#include <QFontMetrics>
#include <QRadioButton>

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int colonnes, QWidget* parent)
    : QGroupBox(caption, parent), colonnes_(colonnes < 1 ? 1 : colonnes)
{
    for (const QString& texte : items) {
        auto* bouton = new QRadioButton(texte, this);
        connect(bouton, &QRadioButton::toggled, this, [this] { MettreAJourOrdreTab(); });
        items_.push_back(bouton);
    }
    MettreAJourOrdreTab();
    Disposer();
}

int TRadioGroup::ItemIndex() const
{
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i]->isChecked())
            return static_cast<int>(i);
    return -1;
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index >= 0 && index < Count())
        Item(index)->setChecked(true);
}

void TRadioGroup::MettreAJourOrdreTab()
{
    const int choisi = ItemIndex();
    for (int i = 0; i < Count(); ++i)
        Item(i)->setFocusPolicy(i == choisi || choisi < 0 ? Qt::StrongFocus : Qt::ClickFocus);
}

void TRadioGroup::resizeEvent(QResizeEvent* event)
{
    QGroupBox::resizeEvent(event);
    Disposer();
}

void TRadioGroup::Disposer()
{
    // The items share the area below the caption: equal columns, and the rows
    // of a column share its height, each item centred in its cell.
    if (items_.empty())
        return;
    const int hauteurTexte = fontMetrics().height();
    const int parColonne = (Count() + colonnes_ - 1) / colonnes_;
    const int largeurCellule = (width() - 10) / colonnes_;
    const int espace = height() - hauteurTexte - 5;
    const int hauteurCellule = espace / parColonne;
    const int haut = hauteurTexte + 1 + (espace % parColonne) / 2;
    for (int i = 0; i < Count(); ++i) {
        const int colonne = i / parColonne;
        const int ligne = i % parColonne;
        QRadioButton* bouton = Item(i);
        const int hauteur = std::min(bouton->sizeHint().height(), hauteurCellule);
        bouton->setGeometry(8 + colonne * largeurCellule, haut + ligne * hauteurCellule + (hauteurCellule - hauteur) / 2,
                            largeurCellule, hauteur);
    }
}
