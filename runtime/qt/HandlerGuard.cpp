#include "runtime/qt/HandlerGuard.h"

#include "runtime/Exceptions.h"
#include "runtime/qt/MessageBoxes.h"

#include <new>

bool HandlerGuard::Run(const std::function<void()>& handler, Source source) noexcept
{
    try {
        handler();
        return true;
    } catch (const Exception& error) {
        Report(error.Message(), source);
    } catch (const std::bad_alloc&) {
        Report("Mémoire insuffisante", source);
    } catch (const std::exception& error) {
        Report(error.what(), source);
    } catch (...) {
        Report("Exception inconnue", source);
    }
    return false;
}

void HandlerGuard::Report(const std::string& message, Source source) noexcept
{
    if (source == Source::Tick && tickErrorBoxesOpen_ > 0)
        return; // the box of an earlier failed tick is still open

    struct OpenBox {
        int& count;
        bool counted;
        ~OpenBox()
        {
            if (counted)
                --count;
        }
    } open{tickErrorBoxesOpen_, source == Source::Tick};
    if (open.counted)
        ++tickErrorBoxesOpen_;

    try {
        boxes_.ShowError(ErrorText(message));
    } catch (...) {
        // Nothing may leave a handler; a box that cannot be shown is lost.
    }
}
