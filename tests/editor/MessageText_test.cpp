#include "editor/model/MessageText.h"

#include <gtest/gtest.h>

namespace {

const std::string kZw = "\xe2\x80\x8b";

TEST(MessageText, LongRunsGetBreaksAfterSlashesAndWithinLongNames)
{
    struct Case {
        std::string text;
        size_t maxRun;
        std::string broken;
    };
    const Case cases[] = {
        // Short runs and texts with blanks stay as they are.
        {"Save Changes To : \n/home/a/b.jpg", 40, "Save Changes To : \n/home/a/b.jpg"},
        {"/aa/bb/cc.jpg", 6, "/" + kZw + "aa/" + kZw + "bb/" + kZw + "cc.jpg"},
        {"' /x/abcdefghij '", 4, "' /" + kZw + "x/" + kZw + "abcd" + kZw + "efgh" + kZw + "ij '"},
        // A character of several bytes is never split.
        {"\xc3\xa9\xc3\xa9\xc3\xa9", 2, "\xc3\xa9\xc3\xa9" + kZw + "\xc3\xa9"},
        {"", 4, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pixoro::BreakLongRuns(c.text, c.maxRun), c.broken) << c.text;
}

}  // namespace
