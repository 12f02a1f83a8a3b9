// The handler guard and the text of the error box.
#include "runtime/Exceptions.h"
#include "runtime/qt/HandlerGuard.h"
#include "tests/app/support/FakeBoxes.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <utility>

TEST(ErrorText, appends_a_full_stop_after_a_letter_or_a_digit_only)
{
    const std::pair<const char*, const char*> cas[] = {
        {"Erreur E/S 32", "Erreur E/S 32."}, {"Accès refusé", "Accès refusé."}, {"chemin/", "chemin/."},
        {"Fin.", "Fin."}, {"(voir)", "(voir)"}, {"Attention !", "Attention !"}, {"Fin ", "Fin "}, {"", ""},
    };
    for (const auto& [message, texte] : cas)
        EXPECT_EQ(ErrorText(message), texte) << message;
}

TEST(HandlerGuard, shows_the_message_of_what_the_handler_raised)
{
    FakeBoxes boxes;
    HandlerGuard guard(boxes);
    int etapes = 0;
    EXPECT_FALSE(guard.Run([&] {
        ++etapes;
        throw EZeroDivide();
        ++etapes;
    }));
    EXPECT_EQ(etapes, 1);
    EXPECT_TRUE(guard.Run([&] { ++etapes; }));
    EXPECT_FALSE(guard.Run([] { throw std::bad_alloc(); }));
    EXPECT_FALSE(guard.Run([] { throw std::runtime_error("Panne"); }));
    EXPECT_FALSE(guard.Run([] { throw 42; }));
    EXPECT_EQ(boxes.errors, (std::vector<std::string>{"Division par zéro en virgule flottante.",
                                                      "Mémoire insuffisante.", "Panne.", "Exception inconnue."}));
    EXPECT_TRUE(boxes.messages.empty());
}

TEST(HandlerGuard, a_tick_failing_while_its_error_box_is_open_shows_nothing_more)
{
    FakeBoxes boxes;
    HandlerGuard guard(boxes);
    int ticksFailed = 0;
    auto tickQuiEchoue = [&] {
        ++ticksFailed;
        throw EInvalidOp();
    };
    // While the first box is open, three more ticks fail and a command fails.
    boxes.whileErrorOpen = [&] {
        boxes.whileErrorOpen = nullptr;
        EXPECT_TRUE(guard.TickErrorShown());
        for (int i = 0; i < 3; ++i)
            guard.Run(tickQuiEchoue, HandlerGuard::Source::Tick);
        guard.Run([] { throw EZeroDivide(); });
    };
    guard.Run(tickQuiEchoue, HandlerGuard::Source::Tick);
    EXPECT_EQ(ticksFailed, 4);
    EXPECT_EQ(boxes.errors, (std::vector<std::string>{"Opération en virgule flottante incorrecte.",
                                                      "Division par zéro en virgule flottante."}));

    // Once the box is closed, the next failure is shown again.
    EXPECT_FALSE(guard.TickErrorShown());
    guard.Run(tickQuiEchoue, HandlerGuard::Source::Tick);
    EXPECT_EQ(boxes.errors.size(), 3u);
}

TEST(HandlerGuard, a_box_that_fails_to_show_does_not_escape)
{
    FakeBoxes boxes;
    HandlerGuard guard(boxes);
    boxes.whileErrorOpen = [] { throw std::bad_alloc(); };
    EXPECT_FALSE(guard.Run([] { throw EOverflow(); }, HandlerGuard::Source::Tick));
    EXPECT_FALSE(guard.TickErrorShown());
}
