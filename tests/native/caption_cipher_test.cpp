#include "core/caption_cipher.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CaptionCipher, ScrambleAndUnscrambleAreInverseForEveryUsableByte)
{
    for (int plain = 1; plain < 256; ++plain) {
        if (plain == 0x9E)
            continue;
        const unsigned char stored = ScrambleByte(static_cast<unsigned char>(plain));
        EXPECT_NE(0, stored) << plain;
        EXPECT_EQ(plain, UnscrambleByte(stored)) << plain;
    }
    EXPECT_EQ(0, ScrambleByte(0x9E));
}

TEST(CaptionCipher, CompileTimeScrambleRoundTrips)
{
    constexpr auto stored = Scramble("Every pixel, bigger!");
    EXPECT_NE(std::string("Every pixel, bigger!"), stored.bytes);
    char plain[kCaptionBufferSize];
    UnscrambleText(stored.bytes, plain);
    EXPECT_STREQ("Every pixel, bigger!", plain);
}

TEST(CaptionCipher, StopsAtTheFirstByteThatUnscramblesToZero)
{
    // The middle byte unscrambles to 0 and ends the text; what follows is not shown.
    const char stored[] = {static_cast<char>(ScrambleByte('A')), static_cast<char>(ScrambleByte(0)),
                           static_cast<char>(ScrambleByte('B')), 0};
    char plain[kCaptionBufferSize];
    UnscrambleText(stored, plain);
    EXPECT_STREQ("A", plain);
}

TEST(CaptionCipher, LongTextIsCutToTheBuffer)
{
    std::string longText(150, static_cast<char>(ScrambleByte('x')));
    char plain[kCaptionBufferSize];
    UnscrambleText(longText.c_str(), plain);
    EXPECT_EQ(std::string(kCaptionBufferSize - 1, 'x'), plain);
}

}  // namespace
