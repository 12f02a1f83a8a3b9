#include "widgets/FiltreClavier.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QShortcutEvent>
#include <QWidget>

#include <algorithm>

FiltreClavier::FiltreClavier(QWidget* fenetre, std::vector<QKeySequence> raccourcisMenu,
                             QKeySequence accelerateurBouton, QAbstractButton* bouton)
    : QObject(fenetre),
      fenetre_(fenetre),
      raccourcisMenu_(std::move(raccourcisMenu)),
      accelerateurBouton_(std::move(accelerateurBouton)),
      bouton_(bouton)
{
}

bool FiltreClavier::DeLaFenetre(QObject* objet) const
{
    const auto* widget = qobject_cast<QWidget*>(objet);
    return widget && widget->window() == fenetre_;
}

bool FiltreClavier::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && DeLaFenetre(watched)) {
        const auto* touche = static_cast<QKeyEvent*>(event);
        const QKeySequence sequence(touche->keyCombination());
        if (std::find(raccourcisMenu_.begin(), raccourcisMenu_.end(), sequence) != raccourcisMenu_.end()) {
            event->ignore(); // not overridden: the menu's shortcut runs
            return true;
        }
    } else if (event->type() == QEvent::Shortcut && DeLaFenetre(watched)) {
        const auto* raccourci = static_cast<QShortcutEvent*>(event);
        if (raccourci->key() == accelerateurBouton_) {
            // An accelerator clicks the button without moving the focus.
            if (bouton_->isVisible() && bouton_->isEnabled())
                bouton_->click();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
