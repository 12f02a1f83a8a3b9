#pragma once
// The vertical splitter between the two chart panels. Pressing the left
// button starts a drag (SplitterDrag); a hatched bar as wide as the splitter
// follows the mouse over the client area; the left panel takes its new width
// only when the button is released. Esc during the drag cancels it.
//
// The bar stands in for the inverted hatch drawn on the screen by other
// window systems: a transparent-for-input child of the client area, raised
// above the panels, painted with a 50 % black dither.
//
// A modal box that opens during the drag (a tick's error box, the point
// limit's message) ends it as Esc does: the release would never reach the
// blocked window, and the keyboard, grabbed for Esc, would not reach the box.
#include "widgets/SplitterDrag.h"

#include <QWidget>

#include <functional>

class TSplitter : public QWidget {
    Q_OBJECT
public:
    explicit TSplitter(QWidget* zoneClient);

    // The panel it resizes: its current width, and how to apply a new one.
    std::function<int()> LargeurPanneau;
    std::function<void(int)> AppliquerLargeur;

    const SplitterDrag& Glissement() const { return glissement_; }
    // The hatched bar, visible only during a drag.
    const QWidget* Barre() const { return barre_; }

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int XClient(const QPointF& positionLocale) const;
    void PlacerBarre();
    void Terminer();

    QWidget* zoneClient_;
    QWidget* barre_;
    SplitterDrag glissement_;
    int gauchePanneau_ = 0;
};
