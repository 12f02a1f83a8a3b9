#pragma once
// A label of the main window: its text drawn in one piece at the label's
// width, wrapped at word boundaries when it is word-wrapped, with the
// accelerator letter underlined; its accelerator focuses its buddy.
//
// QLabel lays out a text that has an accelerator letter about ten pixels
// narrower than its width, which breaks "&Volume total de gaz, en L" onto
// three lines at the 61 pixels of the layout; this label wraps exactly as the
// painter's text drawing does.
#include <QLabel>

class TLabel : public QLabel {
    Q_OBJECT
public:
    TLabel(const QString& texte, bool retourALaLigne, QWidget* parent);

    bool hasHeightForWidth() const override { return wordWrap(); }
    int heightForWidth(int largeur) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int Drapeaux() const;
};
