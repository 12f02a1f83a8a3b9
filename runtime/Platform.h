#pragma once
// The desktop services the card component reaches: the clipboard, the
// file-save dialog with its question before replacing a file, and the
// desktop's open service. The program gives the
// component the Qt implementation (runtime/qt/QtPlatform.h); tests give it a
// fake that records what it was asked.
#include <optional>
#include <string>

struct SaveDialogRequest {
    std::string initialFolder; // shown first; never created by the dialog
    std::string defaultSuffix; // appended to a name typed without one, e.g. "txt"
    std::string fileName;      // the name chosen last, offered again
    // The dialog's type filters, ";;" between them ("Documents PDF (*.pdf)");
    // empty: every file shown, no filter offered.
    std::string filters = {};
};

class Platform {
public:
    virtual ~Platform() = default;

    // Empties the clipboard, then places `textUtf8` as plain text and an empty
    // link entry (one NUL byte) under the "Link" format. Throws
    // EClipboardException when the clipboard cannot be opened.
    virtual void PlaceOnClipboard(const std::string& textUtf8) = 0;

    // Shows the save dialog modally. Returns the full name chosen, or nothing
    // when the user cancelled.
    virtual std::optional<std::string> ChooseSaveFileName(const SaveDialogRequest& request) = 0;

    // Asks the user, modally, whether the existing file `fileName` (a full
    // name, as the save dialog returns it) is to be replaced. Returns true
    // for yes; no, or a box closed otherwise, is false.
    virtual bool ConfirmReplace(const std::string& fileName) = 0;

    // Hands an address (web page, mailto: link, file) to the desktop's open
    // service. Returns whether the desktop accepted it (false where no
    // browser or mail program could be started).
    virtual bool OpenAddress(const std::string& address) = 0;
};
