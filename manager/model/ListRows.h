#pragma once
// The list views' rows apart from any window: the column texts, the orderings of the
// column sort and the column-to-key table.

#include "manager/model/ListRowItem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace listrows {

enum Column : int { kColumnName = 0, kColumnSize = 1, kColumnDate = 2, kColumnDescription = 3 };

// "%.2lf KB" of the size; empty for a size of 0.0 (folders).
std::string SizeText(double kb);
// month/day/two-digit year in local time, day and year with two digits, and a blank:
// 5 March 2004 gives "3/05/04 ".
std::string DateText(int64_t lastWrite);
// The text of a row's column; nothing for a column the list does not have.
std::string ColumnText(const ListRowItem& row, int column);

// Ascending comparison of two rows by compare type (a column index): names and
// descriptions ignoring letter case, sizes and times by value. Negative, zero or
// positive; every type is a strict weak ordering, so sorting by it is well defined.
// Other types compare every row equal.
int CompareRows(const ListRowItem& a, const ListRowItem& b, int type);

// The document's sort key for a clicked column, or -1 for a column that does not sort.
int SortKeyOfColumn(int column);
// A click on column: the key and direction after it. A click on the column of the
// current key turns the direction round; any other sorting column sorts ascending.
// False (nothing changed) for a column that does not sort.
bool ClickColumn(int column, int& sortKey, bool& descending);

using Rows = std::vector<std::unique_ptr<ListRowItem>>;
// Sorts by compare type; rows that compare equal keep their order in either direction.
void SortRows(Rows& rows, int type, bool descending);

}  // namespace listrows
