#include "runtime/Windows1252.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

TEST(Windows1252, accented_letters_are_single_bytes_and_the_euro_and_typographic_marks_use_the_0x80_block)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Fréquence en Hz", "Fr\xE9quence en Hz"},
        {"€", "\x80"},
        {"…", "\x85"},
        {"œ", "\x9C"},
    };
    for (const auto& [utf8, cp1252] : cases) {
        EXPECT_EQ(Utf8ToWindows1252(utf8), cp1252) << utf8;
        EXPECT_EQ(Windows1252ToUtf8(cp1252), utf8) << utf8;
    }
}

TEST(Windows1252, every_byte_survives_a_round_trip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)), all);
}

TEST(Windows1252, characters_outside_the_code_page_and_bad_utf8_become_question_marks)
{
    EXPECT_EQ(Utf8ToWindows1252("a→b"), "a?b");
    EXPECT_EQ(Utf8ToWindows1252("x\xC3"), "x?");
    EXPECT_EQ(Utf8ToWindows1252("\xA9z"), "?z");
    // Overlong forms of "/" and "é" are not those characters.
    EXPECT_EQ(Utf8ToWindows1252("a\xC0\xAF" "b\xE0\x83\xA9" "c\xF0\x80\x81\xAF"), "a?b?c?");
}
