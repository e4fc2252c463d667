#include "controls/CFramePlacementHook.h"

#include <wx/display.h>
#include <wx/toplevel.h>

CFramePlacementHook::CFramePlacementHook(wxTopLevelWindow* frame, unsigned showCmd, std::string entry,
                                         std::string section, lfplat::SettingsStore store)
    : m_frame(frame), m_entry(std::move(entry)), m_section(std::move(section)), m_store(std::move(store))
{
    // Whatever changes the window's rectangle or state; the close comes while it is whole.
    Bind(wxEVT_SIZE, &CFramePlacementHook::OnTrackedEvent, this);
    Bind(wxEVT_MOVE, &CFramePlacementHook::OnTrackedEvent, this);
    Bind(wxEVT_MAXIMIZE, &CFramePlacementHook::OnTrackedEvent, this);
    Bind(wxEVT_ICONIZE, &CFramePlacementHook::OnTrackedEvent, this);
    Bind(wxEVT_SHOW, &CFramePlacementHook::OnTrackedEvent, this);
    Bind(wxEVT_CLOSE_WINDOW, &CFramePlacementHook::OnTrackedEvent, this);
    HookWindow(frame);

    std::optional<WindowPlacement> stored;
    if (auto text = m_store.Get(m_section, m_entry))
        stored = WindowPlacement::Parse(*text);
    // The window gets its size and place before it is first shown: a window manager
    // places a window by the size it is mapped with.
    if (!stored) {
        m_given = m_frame->GetRect();
        Show(showCmd);
        return;
    }
    const std::vector<PlacementRect> displays = DisplayRects();
    stored->MoveOntoDisplays(displays);
    if (!displays.empty())
        stored->ClampToScreen(displays.front().width, displays.front().height);
    const PlacementRect r = stored->Normal();
    m_normal = m_previousNormal = m_given = wxRect(r.x, r.y, r.width, r.height);
    m_frame->SetSize(m_normal);
    Show(stored->showCmd);
}

void CFramePlacementHook::CentreOnPrimaryDisplay(wxTopLevelWindow& frame)
{
    const wxRect area = wxDisplay(0u).GetClientArea();
    const wxSize size = frame.GetSize();
    const PlacementRect r = CentreOn(size.x, size.y, {area.x, area.y, area.width, area.height});
    frame.SetSize(r.x, r.y, r.width, r.height);
}

void CFramePlacementHook::FitOntoDisplayOf(wxWindow& window, const wxWindow* reference, bool centreAlways)
{
    const int index = wxDisplay::GetFromWindow(reference ? reference : &window);
    const wxRect area = wxDisplay(index == wxNOT_FOUND ? 0u : unsigned(index)).GetClientArea();
    const wxRect rect = window.GetRect();
    const PlacementRect workArea{area.x, area.y, area.width, area.height};
    const PlacementRect fitted = centreAlways ? CentreOn(rect.width, rect.height, workArea)
                                              : FitOnto({rect.x, rect.y, rect.width, rect.height}, workArea);
    if (fitted.x != rect.x || fitted.y != rect.y || fitted.width != rect.width || fitted.height != rect.height)
        window.SetSize(fitted.x, fitted.y, fitted.width, fitted.height);
}

std::vector<PlacementRect> CFramePlacementHook::DisplayRects()
{
    std::vector<PlacementRect> rects;
    for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) {
        const wxDisplay display(i);
        const wxRect g = display.GetGeometry();
        const PlacementRect r{g.x, g.y, g.width, g.height};
        if (display.IsPrimary())
            rects.insert(rects.begin(), r);
        else
            rects.push_back(r);
    }
    return rects;
}

void CFramePlacementHook::Show(unsigned showCmd)
{
    WindowPlacement asked;
    asked.showCmd = showCmd;
    // The state is set before showing, so that the window appears in it.
    if (asked.IsMaximized()) {
        m_frame->Maximize(true);
        m_maximised = true;
        m_maximisedRect = m_frame->GetRect();
    }
    if (asked.IsMinimized())
        m_frame->Iconize(true);
    m_frame->Show(true);
    m_givenClient = m_frame->GetClientSize();
    Track();
}

bool CFramePlacementHook::KeepGivenSize(const wxRect& rect)
{
    if (m_given.IsEmpty())
        return false;
    const wxSize client = m_frame->GetClientSize();
    if (rect.GetSize() == m_given.GetSize())
        return false;
    // The toolkit learns the size of the window manager's frame only once the window is
    // on screen, and then counts it on top of the size the window was given: the outer
    // size grows, by no more than a frame, while the window's own stays. The size given
    // was the outer one: it is given again once the window manager's answers so far are
    // in (a reply to the first size may still undo it, so it may take another turn).
    // Any other change (the user's) ends the watch.
    const wxSize growth = rect.GetSize() - m_given.GetSize();
    const bool frameSized = growth.x >= 0 && growth.y >= 0 && growth.x <= kFrameWidths && growth.y <= kFrameHeights;
    if (!frameSized || client != m_givenClient || m_keepTurns >= kKeepTurns) {
        m_given = wxRect();
        return false;
    }
    ++m_keepTurns;
    m_frame->CallAfter([frame = m_frame, size = m_given.GetSize()] {
        const wxRect now = frame->GetRect();
        frame->SetSize(now.x, now.y, size.x, size.y);
    });
    return true;
}

void CFramePlacementHook::OnTrackedEvent(wxEvent& event)
{
    if (event.GetEventObject() == m_frame)
        Track();
    event.Skip();
}

bool CFramePlacementHook::FillsItsDisplay(const wxRect& rect) const
{
    const int index = wxDisplay::GetFromWindow(m_frame);
    const wxRect area = wxDisplay(index == wxNOT_FOUND ? 0u : unsigned(index)).GetClientArea();
    return rect.width >= area.width * 9 / 10 && rect.height >= area.height * 9 / 10;
}

void CFramePlacementHook::Track()
{
    // A hidden window (one that is closing) no longer has the window manager's frame
    // around it; its rectangle says nothing of its placement.
    if (!m_frame || !m_frame->IsShown())
        return;
    const bool maximised = m_frame->IsMaximized();
    const wxRect rect = m_frame->GetRect();
    m_minimised = m_frame->IsIconized();
    if (maximised) {
        // When the maximised size came before the state, it was taken as the normal one;
        // when the state comes first (as window managers mostly send it) the rectangle is
        // still the normal one and stays.
        if (!m_maximised && rect == m_normal && !m_previousNormal.IsEmpty() && FillsItsDisplay(rect))
            m_normal = m_previousNormal;
        m_maximised = true;
        m_maximisedRect = rect;
    } else if (m_maximised && rect == m_maximisedRect) {
        // The state went without the window changing: with no window manager to keep it,
        // the toolkit drops a maximised state it had set on its own. Keep it.
    } else if (m_maximised && !m_minimised) {
        // The first rectangle after the maximised state went is a passing one (the
        // toolkit's natural size, or a step of the window manager's restore): the window
        // comes back to its normal size, which stays as it was. A window that was shown
        // maximised never had that size for the window manager, which restores it to
        // the toolkit's natural strip: it is given its normal size here.
        m_maximised = false;
        if (!m_normal.IsEmpty() && rect != m_normal)
            m_frame->SetSize(m_normal);
    } else if (!m_minimised && !KeepGivenSize(rect)) {
        if (rect != m_normal) {
            m_previousNormal = m_normal;
            m_normal = rect;
        }
    }
}

WindowPlacement CFramePlacementHook::CurrentPlacement() const
{
    WindowPlacement p;
    p.flags = m_maximised ? WindowPlacement::kRestoreToMaximized : 0;
    p.showCmd = m_minimised ? WindowPlacement::kShowMinimized
                : m_maximised ? WindowPlacement::kShowMaximized
                              : WindowPlacement::kShowNormal;
    p.SetNormal({m_normal.x, m_normal.y, m_normal.width, m_normal.height});
    return p;
}

void CFramePlacementHook::OnWindowDestroying()
{
    m_frame = nullptr;
    // A window never seen at a proper size leaves the stored placement alone.
    if (m_normal.width > 0 && m_normal.height > 0 && !m_store.Set(m_section, m_entry, CurrentPlacement().Format()))
        m_writeError = m_store.LastError();
}
