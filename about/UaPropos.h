#pragma once
// The About box: the program's name, version and icon, and the user guide
// under "Mode d'emploi". The program creates one, hidden, right after the main
// window and keeps it until it ends; both help commands show it modally with
// exec(). Between displays the box keeps its place, its focus and whatever was
// typed into the guide. It has the application's font, which the program
// sets for all its windows, and scales its layout by that font's text height;
// the guide's font is condensed a little where that lets its lines fit as
// they were written.
#include <QDialog>
#include <QStringList>

class QFrame;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    // Design size of the client area, at 96 pixels per inch.
    static constexpr int kClientWidth = 302;
    static constexpr int kClientHeight = 445;

    explicit TAboutBox(QWidget* parent = nullptr);

    // The user guide as Memo1 holds it at start, line by line (blanks at the
    // ends of lines included).
    static QStringList ModeDEmploi();

    // Controls, owned by the box.
    QFrame* Panel1;
    QPushButton* OKButton;
    QFrame* Panel2;
    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Copyright;
    QFrame* Panel3;
    QGroupBox* GroupBox1;
    QPlainTextEdit* Memo1;

    // Centres the box on its screen the first time it is shown; after that it
    // appears where it was left.
    void setVisible(bool visible) override;

protected:
    // Esc does not close the box: only OK, the close box, the system menu and
    // Alt+F4 do.
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool shownBefore_ = false;
};
