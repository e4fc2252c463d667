#include "batch/model/FindTerms.h"

#include <gtest/gtest.h>

using namespace batch;

TEST(FindTerms, PatternsBecomeTerms)
{
    struct Case {
        const char* pattern;
        std::vector<std::string> terms;
    };
    const Case cases[] = {
        {"cat", {"*cat*.*"}},
        {"my*.jpg", {"my*.jpg"}},
        {"abc.jpg", {"*abc.jpg"}},
        {"red car", {"*red", " car*.*"}},
        {"", {"**.*"}},
        {"a  b.jpg", {"*a", " ", " b.jpg"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildNameTerms(c.pattern), c.terms) << '"' << c.pattern << '"';
}

TEST(FindTerms, TermsMatchNamesInEitherCase)
{
    struct Case {
        const char* term;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"*cat*.*", "Wildcat.JPG", true},    {"*cat*.*", "dog.jpg", false},     {"my*.jpg", "mygarden.jpg", true},
        {"my*.jpg", "MYBOAT.JPG", true},     {"my*.jpg", "yourboat.jpg", false}, {"*abc.jpg", "xabc.jpg", true},
        {"*abc.jpg", "abc.jpeg", false},     {"?.png", "a.png", true},          {"?.png", "ab.png", false},
        {"*.*", "noextension", true},        {"", "anything.gif", true},        {" car*.*", "carport.bmp", true},
        {"**.*", "x.jpg", true},             {"a*b*c", "aXbYc", true},          {"a*b*c", "aXbY", false},
        {"[a].jpg", "[a].jpg", true},        {"[a].jpg", "a.jpg", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesTerm(c.term, c.name), c.matches) << c.term << " / " << c.name;
}
