#pragma once
// The press of a self-drawn push button: the left button went down on it and the pointer
// is still over it. A release over the button is a click; moving off and back on only
// changes the look.

class ButtonPress {
public:
    void Down()
    {
        m_down = true;
        m_inside = true;
    }
    // True when the pressed look changes.
    bool Move(bool inside)
    {
        if (!m_down || inside == m_inside)
            return false;
        m_inside = inside;
        return true;
    }
    // True when the release makes a click.
    bool Up(bool inside)
    {
        const bool click = m_down && inside;
        m_down = false;
        m_inside = false;
        return click;
    }
    bool IsDown() const { return m_down; }
    bool Pressed() const { return m_down && m_inside; }

private:
    bool m_down = false;
    bool m_inside = false;
};
