// 8-bit text conversion, the list boxes' text order and the integer reader.
#include <gtest/gtest.h>

#include "platform/exception.h"
#include "platform/text.h"

using namespace plat;

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    std::string utf8 = cp1252ToUtf8(all);
    EXPECT_EQ(utf8ToCp1252(utf8), all);
    // The holes of the code page become C1 controls, never a replacement character.
    EXPECT_EQ(cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
    EXPECT_EQ(utf8.find("\xEF\xBF\xBD"), std::string::npos);
}

TEST(Cp1252, AccentedNamesAndSpecials) {
    EXPECT_EQ(cp1252ToUtf8("b\xE8ta"), "b\xC3\xA8ta");                            // bèta
    EXPECT_EQ(cp1252ToUtf8("\xC8ta"), "\xC3\x88ta");                              // Èta
    EXPECT_EQ(cp1252ToUtf8("\x80 \x9F \xA9"), "\xE2\x82\xAC \xC5\xB8 \xC2\xA9");  // € Ÿ ©
    EXPECT_EQ(utf8ToCp1252("\xE2\x80\x9Ehoi\xE2\x80\x9D"), "\x84hoi\x94");
    // What the code page cannot hold, and broken UTF-8, become '?'.
    EXPECT_EQ(utf8ToCp1252("\xCE\xB1-\xF0\x9F\x90\xB1-\xFF"), "?-?-?");
}

TEST(CompareText, IgnoresCaseAndKeepsAccentsBesideTheirLetters) {
    EXPECT_EQ(compareTextIgnoreCase("abc", "ABC"), 0);
    EXPECT_LT(compareTextIgnoreCase("abc", "ABD"), 0);
    EXPECT_GT(compareTextIgnoreCase("b", "A"), 0);
    EXPECT_LT(compareTextIgnoreCase("ab", "abc"), 0);
    EXPECT_LT(compareTextIgnoreCase("009 klikken", "134 klikken"), 0);
    EXPECT_LT(compareTextIgnoreCase("Emile", "\xC9mile"), 0);  // Émile
    EXPECT_LT(compareTextIgnoreCase("\xC9mile", "Fred"), 0);
    EXPECT_EQ(compareTextIgnoreCase("\xE9mile", "\xC9MILE"), 0);
}

TEST(StrToInt, AcceptsWhatTheClassLibraryReads) {
    EXPECT_EQ(strToInt("0"), 0);
    EXPECT_EQ(strToInt("1000"), 1000);
    EXPECT_EQ(strToInt("  42"), 42);
    EXPECT_EQ(strToInt("+7"), 7);
    EXPECT_EQ(strToInt("-15"), -15);
    EXPECT_EQ(strToInt("007"), 7);
    EXPECT_EQ(strToInt("$1F"), 31);
    EXPECT_EQ(strToInt("2147483647"), 2147483647);
    EXPECT_EQ(strToInt("-2147483648"), INT32_MIN);
}

TEST(StrToInt, RejectsEverythingElseWithTheExactMessage) {
    for (const char* bad : {"", " ", "abc", "12a", "1 ", "1.5", "--1", "+", "$", "$G", "2147483648",
                            "-2147483649", "99999999999999999999", "1\xE9"}) {
        try {
            strToInt(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const Exception& e) {
            EXPECT_EQ(e.what(), "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
}
