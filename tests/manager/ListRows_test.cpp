#include "manager/model/ListRows.h"
#include "manager/model/ManagerModes.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <ctime>
#include <random>

namespace {

// Nanoseconds of a local date and time.
int64_t LocalTime(int year, int month, int day, int hour = 12)
{
    tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_isdst = -1;
    return static_cast<int64_t>(mktime(&parts)) * 1000000000;
}

ListRowItem Row(const char* name, double kb, int64_t time = 0, const char* description = "")
{
    ListRowItem row;
    row.name = name;
    row.sizeKB = kb;
    row.lastWrite = time;
    row.description = description;
    return row;
}

TEST(ListRows, ColumnTexts)
{
    lftest::ScopedEnv zone("TZ", "Europe/Berlin");
    tzset();
    const ListRowItem row = Row("a.jpg", 1023.5, LocalTime(2004, 3, 5), "harbour");
    EXPECT_EQ(listrows::ColumnText(row, 0), "a.jpg");
    EXPECT_EQ(listrows::ColumnText(row, 1), "1023.50 KB");
    EXPECT_EQ(listrows::ColumnText(row, 2), "3/05/04 ");
    EXPECT_EQ(listrows::ColumnText(row, 3), "harbour");
    EXPECT_EQ(listrows::ColumnText(row, 4), "");
    EXPECT_EQ(listrows::SizeText(0.0), "") << "folders show no size";
    EXPECT_EQ(listrows::SizeText(1.0), "1.00 KB");
    EXPECT_EQ(listrows::DateText(LocalTime(2010, 12, 31, 23)), "12/31/10 ");
    // Local, not universal time: just after midnight in Berlin is still the day before in UTC.
    EXPECT_EQ(listrows::DateText(LocalTime(2004, 3, 5, 0) + 30LL * 60 * 1000000000), "3/05/04 ");
}

TEST(ListRows, ComparisonsByType)
{
    const struct {
        ListRowItem a, b;
        int type;
        int sign;
    } cases[] = {
        {Row("B.jpg", 1), Row("a.jpg", 2), 0, 1},        // names ignore letter case
        {Row("a.JPG", 1), Row("A.jpg", 2), 0, 0},
        {Row("x", 1023.5), Row("y", 1023.9), 1, -1},     // sizes by value
        {Row("x", 2.0), Row("y", 2.0), 1, 0},
        {Row("x", 0, 5), Row("y", 0, 4), 2, 1},          // times
        {Row("x", 0, 0, "Sea"), Row("y", 0, 0, "sun"), 3, -1},
        {Row("x", 1), Row("y", 2), 7, 0},                // no such column
    };
    for (const auto& c : cases) {
        const int result = listrows::CompareRows(c.a, c.b, c.type);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a.name << " " << c.b.name << " type " << c.type;
    }
}

TEST(ListRows, ColumnClicksChooseKeyAndDirection)
{
    int key = kSortByName;
    bool descending = false;
    const struct {
        int column;
        bool sorts;
        int key;
        bool descending;
    } steps[] = {
        {1, true, kSortBySize, false},     // a new key sorts ascending
        {1, true, kSortBySize, true},      // the same column again turns round
        {0, true, kSortByName, false},     // another column: ascending again
        {2, true, kSortByFileTime, false},
        {2, true, kSortByFileTime, true},
        {3, false, kSortByFileTime, true}, // the description column does not sort
        {-1, false, kSortByFileTime, true},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(listrows::ClickColumn(s.column, key, descending), s.sorts) << s.column;
        EXPECT_EQ(key, s.key) << s.column;
        EXPECT_EQ(descending, s.descending) << s.column;
    }
}

TEST(ListRows, SortsBothWaysKeepingEqualRowsInOrder)
{
    listrows::Rows rows;
    for (auto [name, kb] : {std::pair{"c", 3.0}, {"a1", 1.0}, {"b", 2.0}, {"a2", 1.0}})
        rows.push_back(std::make_unique<ListRowItem>(Row(name, kb)));
    auto names = [&] {
        std::string all;
        for (const auto& row : rows)
            all += row->name + " ";
        return all;
    };
    listrows::SortRows(rows, listrows::kColumnSize, false);
    EXPECT_EQ(names(), "a1 a2 b c ");
    listrows::SortRows(rows, listrows::kColumnSize, true);
    EXPECT_EQ(names(), "c b a1 a2 ") << "equal sizes keep their order descending too";
    listrows::SortRows(rows, listrows::kColumnName, false);
    EXPECT_EQ(names(), "a1 a2 b c ");
}

TEST(ListRows, SizeSortOfNearlyEqualSizesIsOrdered)
{
    // Sizes packed within a kilobyte of each other: an ordering by rounded differences
    // is no ordering at all here; by value the result is sorted.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> kb(100.0, 103.0);
    listrows::Rows rows;
    for (int i = 0; i < 2000; ++i)
        rows.push_back(std::make_unique<ListRowItem>(Row("r", kb(random))));
    listrows::SortRows(rows, listrows::kColumnSize, false);
    for (size_t i = 1; i < rows.size(); ++i)
        ASSERT_LE(rows[i - 1]->sizeKB, rows[i]->sizeKB) << i;
    listrows::SortRows(rows, listrows::kColumnSize, true);
    for (size_t i = 1; i < rows.size(); ++i)
        ASSERT_GE(rows[i - 1]->sizeKB, rows[i]->sizeKB) << i;
}

}  // namespace
