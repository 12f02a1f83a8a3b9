#pragma once
// The two presentations of the program's message boxes, behind one small
// interface: the program shows them with Qt (QtMessageBoxes), tests give the
// window a fake that records what would have been shown.
//
//   ShowMessage: the program's own messages ("trop de points de mesure",
//                "Veuillez attendre la fin de la mesure.", the copy notes):
//                a modal box centred on the screen, captioned with the
//                application title, no icon, one "OK" that Enter and Esc
//                both activate.
//   ShowError:   a failure caught by a handler: the same caption, the error
//                icon and one OK. The text is shown as given; the handler
//                guard has already applied the full stop rule (ErrorText).
//
// Both return when the box is closed. A box runs a nested event loop, so
// timer ticks go on being handled while it is open.
#include <string>

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void ShowMessage(const std::string& textUtf8) = 0;
    virtual void ShowError(const std::string& textUtf8) = 0;
};

// The text of an error box: the message, followed by "." when its last
// character sorts after "." (a letter or a digit gets one; ".", ")", "!" or a
// blank do not). Characters compare as unsigned bytes, so a final "é" gets one
// too, as it would in the single-byte code page. An empty message stays empty.
//   ErrorText("Division par zéro en virgule flottante") -> "... flottante."
//   ErrorText("Erreur E/S 32")                          -> "Erreur E/S 32."
//   ErrorText("Fin.")  -> "Fin."     ErrorText("(voir)") -> "(voir)"
std::string ErrorText(const std::string& messageUtf8);

// The Qt boxes: QMessageBox without parent, centred on the screen.
class QtMessageBoxes final : public MessageBoxes {
public:
    explicit QtMessageBoxes(std::string titleUtf8) : title_(std::move(titleUtf8)) {}

    void ShowMessage(const std::string& textUtf8) override;
    void ShowError(const std::string& textUtf8) override;

    const std::string& Title() const { return title_; }

private:
    std::string title_;
};
