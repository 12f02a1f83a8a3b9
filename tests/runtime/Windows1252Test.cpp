#include "runtime/Windows1252.h"

#include <gtest/gtest.h>

TEST(Windows1252, accented_letters_become_single_bytes)
{
    const std::string bytes = Utf8ToWindows1252("Fréquence en Hz");
    ASSERT_EQ(bytes.size(), 15u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[2]), 0xE9);
    EXPECT_EQ(Windows1252ToUtf8(bytes), "Fréquence en Hz");
}

TEST(Windows1252, the_euro_sign_and_typographic_marks_use_the_0x80_block)
{
    EXPECT_EQ(Utf8ToWindows1252("€"), "\x80");
    EXPECT_EQ(Utf8ToWindows1252("…"), "\x85");
    EXPECT_EQ(Windows1252ToUtf8("\x9C"), "œ");
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
