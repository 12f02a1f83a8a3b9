#pragma once
// A radio group: a group box whose items are radio buttons laid out in
// columns below the caption, exactly one of them selected. Only the selected
// button is in the tab order (Tab reaches the group at its selected item);
// the arrow keys move the selection between the items.
#include <QGroupBox>

#include <vector>

class QRadioButton;

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& caption, const QStringList& items, int colonnes, QWidget* parent);

    int ItemIndex() const;
    void SetItemIndex(int index);
    QRadioButton* Item(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    int Count() const { return static_cast<int>(items_.size()); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Disposer();
    void MettreAJourOrdreTab();

    std::vector<QRadioButton*> items_;
    int colonnes_;
};
