#pragma once
// Runs one event handler and shows what it raised: no exception leaves a
// handler for Qt's event loop. The handler ends at the failing step and the
// program goes on in the state that the handler had reached.
//
//   Exception (runtime/Exceptions.h)  its message, in the error box
//   std::bad_alloc                    "Mémoire insuffisante"
//   any other std::exception          its what() text
//
// The error box is shown through MessageBoxes::ShowError with the full stop
// rule applied (ErrorText).
//
// Timer ticks go on while an error box is open (the box runs a nested event
// loop). A tick that fails again and again, as with a coefficient of 0, would
// stack one more box every second without bound; so, while an error box
// opened by a failed tick is still open, a further failed tick shows nothing.
// The tick still ends at its failing step. Once that box is closed, the next
// failure is shown again. Failures of the other handlers are always shown.
#include <functional>
#include <string>

class MessageBoxes;

class HandlerGuard {
public:
    enum class Source { Command, Tick };

    explicit HandlerGuard(MessageBoxes& boxes) : boxes_(boxes) {}
    HandlerGuard(const HandlerGuard&) = delete;
    HandlerGuard& operator=(const HandlerGuard&) = delete;

    // Runs `handler`; returns false when it failed.
    bool Run(const std::function<void()>& handler, Source source = Source::Command) noexcept;

    // Whether an error box opened by a failed tick is on the screen.
    bool TickErrorShown() const { return tickErrorBoxesOpen_ > 0; }

private:
    void Report(const std::string& message, Source source) noexcept;

    MessageBoxes& boxes_;
    int tickErrorBoxesOpen_ = 0;
};
