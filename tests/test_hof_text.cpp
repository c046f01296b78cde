// Hall-of-fame text: line ends, the number column and its zero padding.
#include <gtest/gtest.h>

#include <random>

#include "game/hof.h"
#include "platform/text.h"

using namespace game::hof;
using Lines = std::vector<std::string>;

TEST(HofText, LineEndsAreReadInEveryFormAndWrittenAsCrLf) {
    EXPECT_EQ(splitLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\r\n\r\nb\r\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(splitLines("a\n\rb"), (Lines{"a", "", "b"}));  // LF then CR: two line ends
    EXPECT_EQ(splitLines(""), Lines{});
    EXPECT_EQ(splitLines("\r\n"), Lines{""});
    std::string longName(5000, 'z');
    EXPECT_EQ(splitLines("1 klikken " + longName), Lines{"1 klikken " + longName});
    EXPECT_EQ(joinLines({"134 klikken Zandor Quibbe", "9 klikken Ann"}),
              "134 klikken Zandor Quibbe\r\n9 klikken Ann\r\n");
    EXPECT_EQ(entryLine(140, kClicksKeyword, ""), "140 klikken ");
    EXPECT_EQ(clicksFileName(14), "hof14.dat");
    EXPECT_EQ(timeFileName(16), "hof16b.dat");
}

TEST(HofText, WidthPaddingAndColumns) {
    const Lines lines{"9 klikken Ann", "134 klikken Bo klikken", "no score here"};
    const int w = numberWidth(lines, kClicksKeyword);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(padNumber(lines[0], kClicksKeyword, w), "009 klikken Ann");
    EXPECT_EQ(padNumber(lines[1], kClicksKeyword, w), lines[1]);
    EXPECT_EQ(padNumber(lines[2], kClicksKeyword, w), lines[2]);  // never padded, never loops
    EXPECT_EQ(padNumber("klikken X", kClicksKeyword, 2), "000klikken X");
    EXPECT_EQ(numberWidth({"x", ""}, kClicksKeyword), 0);

    auto c = splitColumns("009 klikken Ann", kClicksKeyword, 3);
    EXPECT_EQ(c.score, "009 klikken");
    EXPECT_EQ(c.rest, " Ann");
    c = splitColumns("0303 seconden Zandor Quibbe", kTimeKeyword, 4);
    EXPECT_EQ(c.score, "0303 seconden");
    EXPECT_EQ(c.rest, " Zandor Quibbe");
    c = splitColumns("12 seconden ", kTimeKeyword, 2);  // a cancelled name
    EXPECT_EQ(c.rest, " ");
    c = splitColumns("no score here", kClicksKeyword, 3);
    EXPECT_EQ(c.score, "");
    EXPECT_EQ(c.rest, "no score here");
    EXPECT_EQ(placeRow(1, " Ann"), "1.  Ann");
    EXPECT_EQ(placeRow(10, " Bo"), "10.  Bo");
}

// The display orders padded lines with keys made once and zeros that are never written out;
// that must be the very order of the list boxes, accents, case and all.
TEST(HofText, KeyOrderIsTheListOrderOfThePaddedLines) {
    const std::vector<std::string> bits{
        "0",    "00",   "1",    "9",    "A",    "a",    "e", "E", "\xC9", "\xE9", "\xDF", "ss",
        "\xC6", "\xE6", "\x8C", "\x9C", "\x9F", "\xFF", "y", " ", "\x80", "\x81", "~"};
    std::mt19937 rng(16);
    auto text = [&] {
        std::string t;
        for (int n = static_cast<int>(rng() % 6); n > 0; --n) t += bits[rng() % bits.size()];
        return t;
    };
    for (int i = 0; i < 4000; ++i) {
        const std::string a = text(), b = text();
        const std::size_t za = rng() % 4, zb = rng() % 4;
        const plat::TextKey ka(a), kb(b);
        ASSERT_EQ(plat::TextKey::compare(ka, za, kb, zb),
                  plat::compareTextIgnoreCase(std::string(za, '0') + a, std::string(zb, '0') + b))
            << za << "+" << a << " / " << zb << "+" << b;
    }
}
