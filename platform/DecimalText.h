#pragma once
// Decimal text as the manager's stored values hold it.

#include <string_view>

// Leading blanks, an optional sign and the digits that follow; 0 when there are none.
// Values beyond the int range are clamped to it.
int ParseDecimal(std::string_view text);
