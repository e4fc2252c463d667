#pragma once
// A colour written in the static-text markup: "r,g,b" decimal triples, "#RRGGBB", or a
// name from the control's own table (mostly the web's colour names, with a few values of
// its own: BlanchedAlmond, Gray and YellowGreen differ from the web's).

#include "platform/WinTypes.h"

#include <string>
#include <string_view>

class CHtmlColor {
public:
    CHtmlColor() = default;
    explicit CHtmlColor(COLORREF value) : m_value(value) {}
    // The markup form: a comma means three decimal numbers (each modulo 256); a "#" means
    // exactly "#" and six hex digits (anything else is black); otherwise a table name,
    // without regard to case (an unknown name is black).
    explicit CHtmlColor(std::string_view text);
    virtual ~CHtmlColor() = default;

    COLORREF GetValue() const { return m_value; }
    void SetValue(COLORREF value) { m_value = value; }

    // "#RRGGBB" only; anything else gives black. Returns the new value.
    COLORREF ParseHex(std::string_view text);
    // Table lookup without regard to case; a name not in the table gives black.
    COLORREF SetName(std::string_view name);
    // The table name of the value, "Black" when no entry has it.
    std::string GetName() const;
    // "#RRGGBB".
    std::string FormatHex() const;

    // Number of names in the table.
    static size_t TableSize();

private:
    COLORREF m_value = 0;
};
