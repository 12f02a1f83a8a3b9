#pragma once
// Message boxes that record what would have been shown instead of blocking
// on a modal box. A test can run code "while the box is open", as the nested
// event loop of a real box would (timer ticks, for instance).
#include "runtime/qt/MessageBoxes.h"

#include <functional>
#include <string>
#include <vector>

class FakeBoxes final : public MessageBoxes {
public:
    std::vector<std::string> messages; // ShowMessage, in order
    std::vector<std::string> errors;   // ShowError, in order
    std::vector<std::string> all;      // both, in order, errors marked "!"

    std::function<void()> whileMessageOpen;
    std::function<void()> whileErrorOpen;

    void ShowMessage(const std::string& text) override
    {
        messages.push_back(text);
        all.push_back(text);
        if (auto pendant = whileMessageOpen) // a copy: the hook may replace itself
            pendant();
    }
    void ShowError(const std::string& text) override
    {
        errors.push_back(text);
        all.push_back("!" + text);
        if (auto pendant = whileErrorOpen)
            pendant();
    }
};
