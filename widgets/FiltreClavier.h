#pragma once
// Keyboard routing of the main window that Qt's defaults get wrong, as one
// application-level event filter:
//
// 1. Menu shortcuts come first, an edit field having the focus too. A focused
//    QLineEdit claims Ctrl+C (and under X11 Ctrl+E and Ctrl+D) through the
//    ShortcutOverride event, so the menu command would never run. The filter
//    refuses the override for the window's menu shortcuts: Ctrl+C in an edit
//    field runs the pressure copy and copies nothing from the field.
// 2. Alt with a letter goes to the controls' accelerators before the menu
//    titles. Qt finds Alt+A on both the button "M&arche"/"&Arrêt" and the menu
//    title "&Aide" and takes it as ambiguous, handing it to each in turn. The
//    filter gives every Alt+A of the window to the button (when it is visible
//    and enabled) and consumes it; Alt+F and Alt+E still open their menus.
#include <QKeySequence>
#include <QObject>

#include <vector>

class QAbstractButton;
class QWidget;

class FiltreClavier : public QObject {
    Q_OBJECT
public:
    // `fenetre` is the main window; only events of its own widgets are routed.
    FiltreClavier(QWidget* fenetre, std::vector<QKeySequence> raccourcisMenu, QKeySequence accelerateurBouton,
                  QAbstractButton* bouton);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool DeLaFenetre(QObject* objet) const;

    QWidget* fenetre_;
    std::vector<QKeySequence> raccourcisMenu_;
    QKeySequence accelerateurBouton_;
    QAbstractButton* bouton_;
};
