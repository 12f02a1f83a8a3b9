#pragma once
// Desktop services that record what the card component asked of them.
#include "runtime/Platform.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class FakePlatform final : public Platform {
public:
    std::vector<std::string> clipboard;    // every text placed, in order
    std::vector<SaveDialogRequest> dialogs; // every save dialog shown
    std::optional<std::string> chosenName;  // the dialog's answer (nothing: cancelled)
    std::vector<std::string> replaceQuestions; // every file the user was asked to replace (answered yes)
    std::vector<std::string> opened;        // every address handed to the desktop
    bool opens = true;                      // whether the desktop can open them
    std::function<void()> onUse;            // runs at each clipboard or dialog use

    void PlaceOnClipboard(const std::string& textUtf8) override
    {
        clipboard.push_back(textUtf8);
        if (onUse)
            onUse();
    }
    std::optional<std::string> ChooseSaveFileName(const SaveDialogRequest& request) override
    {
        dialogs.push_back(request);
        if (onUse)
            onUse();
        return chosenName;
    }
    bool ConfirmReplace(const std::string& fileName) override
    {
        replaceQuestions.push_back(fileName);
        return true;
    }
    bool OpenAddress(const std::string& address) override
    {
        opened.push_back(address);
        return opens;
    }
};
