#include "editor/model/NumberText.h"

#include <gtest/gtest.h>

namespace {

TEST(NumberTextTest, ReadsLeadingDigitsWithinBounds)
{
    struct Case {
        const char* text;
        long expected;
    } cases[] = {
        {"42", 42}, {"  42abc", 42}, {"-17", -17}, {"+5", 5}, {"abc", 0}, {"-", 0}, {"", 0},
        {"150", 100}, {"-150", -100},
        {"99999999999999999999999999999", 100}, {"-99999999999999999999999999", -100},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseBoundedNumber(c.text, -100, 100), c.expected) << '"' << c.text << '"';
}

TEST(NumberTextTest, IntegerReadingRefusesTextsWithoutDigits)
{
    EXPECT_FALSE(ParseBoundedInteger("", -100, 100));
    EXPECT_FALSE(ParseBoundedInteger("-", -100, 100));
    EXPECT_FALSE(ParseBoundedInteger("x1", -100, 100));
    EXPECT_EQ(ParseBoundedInteger("-40", -100, 100), -40);
}

TEST(NumberTextTest, RealsAreReadWithinBounds)
{
    struct Case {
        const char* text;
        std::optional<double> expected;
    } cases[] = {
        {"2.5", 2.5}, {" 42 ", 42.0}, {"-3.25", -3.25}, {".5", 0.5}, {"150", 100.0}, {"-150", -100.0},
        {"1e5", 1.0}, {"", std::nullopt}, {"-", std::nullopt}, {"abc", std::nullopt}, {"inf", std::nullopt},
        {"nan", std::nullopt}, {"--1", std::nullopt},
        {"9999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
         "9999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
         "9999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
         "99999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999", 100.0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseBoundedReal(c.text, -100.0, 100.0), c.expected) << '"' << c.text << '"';
}

TEST(NumberTextTest, TrimsBlanksAtBothEnds)
{
    EXPECT_EQ(TrimBlanks("  2.5 \t"), "2.5");
    EXPECT_EQ(TrimBlanks("   "), "");
}

}  // namespace
