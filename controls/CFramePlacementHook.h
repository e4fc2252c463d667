#pragma once
// Keeps the main window's size, position and state between runs: restores the placement
// stored in the settings when it is made, follows the window while it lives, and stores
// the placement again when the window is destroyed. The toolkit reports no "normal"
// rectangle for a maximised window, so the hook remembers the last one it saw.

#include "controls/CWndHook.h"
#include "platform/WindowPlacement.h"
#include "platform/SettingsStore.h"

#include <wx/gdicmn.h>

#include <string>

class wxTopLevelWindow;
class wxWindow;

class CFramePlacementHook : public CWndHook {
public:
    // Hooks frame and shows it: with the stored placement when a valid one is stored under
    // section/entry, otherwise as showCmd says (a WindowPlacement show command).
    CFramePlacementHook(wxTopLevelWindow* frame, unsigned showCmd, std::string entry, std::string section,
                        lfplat::SettingsStore store);

    // What would be stored now.
    WindowPlacement CurrentPlacement() const;
    // Why the placement stored when the window went could not be written (empty: it was,
    // or nothing was due).
    const std::string& WriteError() const { return m_writeError; }
    const std::string& SettingsPath() const { return m_store.Path(); }

    // Gives a window that has no stored placement its place before it is first shown:
    // its size, fitted onto the primary display's work area, centred there.
    static void CentreOnPrimaryDisplay(wxTopLevelWindow& frame);
    // Fits window onto the work area of the display that reference (or the window itself,
    // when there is none) lies on; centreAlways centres it there even when it fits.
    static void FitOntoDisplayOf(wxWindow& window, const wxWindow* reference, bool centreAlways = false);
    static void CentreOnDisplayOf(wxWindow& window, const wxWindow* reference)
    {
        FitOntoDisplayOf(window, reference, true);
    }

    // The displays' rectangles, the primary one first.
    static std::vector<PlacementRect> DisplayRects();

protected:
    void OnWindowDestroying() override;

private:
    void Show(unsigned showCmd);
    void Track();
    bool KeepGivenSize(const wxRect& rect);
    bool FillsItsDisplay(const wxRect& rect) const;
    void OnTrackedEvent(wxEvent& event);

    wxTopLevelWindow* m_frame;
    std::string m_entry;
    std::string m_section;
    lfplat::SettingsStore m_store;
    std::string m_writeError;
    wxRect m_normal;
    wxRect m_previousNormal;
    wxRect m_maximisedRect;
    // The rectangle the window was shown with, and its client size then, until the
    // window manager's frame has been counted.
    wxRect m_given;
    wxSize m_givenClient;
    int m_keepTurns = 0;
    static constexpr int kKeepTurns = 3;
    // The most a window manager's frame adds to a window's width and height.
    static constexpr int kFrameWidths = 64;
    static constexpr int kFrameHeights = 128;
    bool m_maximised = false;
    bool m_minimised = false;
};
