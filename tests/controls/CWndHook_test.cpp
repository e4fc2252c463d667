#include "controls/CWndHook.h"
#include "controls/CWndHookMap.h"

#include <gtest/gtest.h>
#include <wx/frame.h>

#include <memory>
#include <string>
#include <vector>

namespace {

wxDEFINE_EVENT(TEST_PING, wxCommandEvent);
wxDEFINE_EVENT(TEST_OTHER, wxCommandEvent);

using Log = std::vector<std::string>;

// Records the pings it sees and the destroy notice; passes pings on unless told to keep them.
class RecordingHook : public CWndHook {
public:
    RecordingHook(std::string name, Log& log) : m_name(std::move(name)), m_log(log)
    {
        Bind(TEST_PING, [this](wxCommandEvent& e) {
            m_log.push_back(m_name);
            if (!keep)
                e.Skip();
        });
    }
    bool keep = false;
    int unhookCalls = 0;
    bool HookWindow(wxWindow* window) override
    {
        if (!window)
            ++unhookCalls;
        return CWndHook::HookWindow(window);
    }

protected:
    void OnWindowDestroying() override { m_log.push_back(m_name + " destroying"); }

private:
    std::string m_name;
    Log& m_log;
};

class WndHookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = new wxFrame(nullptr, wxID_ANY, "hooked");
        frame->Bind(TEST_PING, [this](wxCommandEvent&) { log.push_back("window"); });
    }
    void TearDown() override
    {
        if (frame)
            delete frame;
    }
    Log Ping()
    {
        log.clear();
        wxCommandEvent e(TEST_PING);
        e.SetEventObject(frame);
        frame->HandleWindowEvent(e);
        return log;
    }

    wxFrame* frame = nullptr;
    Log log;
};

TEST_F(WndHookTest, OneHookSeesEventsAndLeavesTheWindowAsItWas)
{
    RecordingHook a("A", log);
    EXPECT_TRUE(a.HookWindow(frame));
    EXPECT_EQ(frame->GetEventHandler(), &a);
    EXPECT_EQ(CWndHookMap::GetHookMap().Lookup(frame), &a);
    EXPECT_EQ(Ping(), (Log{"A", "window"}));

    EXPECT_TRUE(a.HookWindow(nullptr));
    EXPECT_EQ(frame->GetEventHandler(), frame);
    EXPECT_EQ(CWndHookMap::GetHookMap().Lookup(frame), nullptr);
    EXPECT_EQ(Ping(), (Log{"window"}));
}

TEST_F(WndHookTest, NewestHookFirstAndKeepingStopsTheChain)
{
    RecordingHook a("A", log), b("B", log);
    a.HookWindow(frame);
    b.HookWindow(frame);
    EXPECT_EQ(CWndHookMap::GetHookMap().Lookup(frame), &b);
    EXPECT_EQ(b.GetNextHook(), &a);
    EXPECT_EQ(a.GetNextHook(), nullptr);
    EXPECT_EQ(Ping(), (Log{"B", "A", "window"}));

    b.keep = true;
    EXPECT_EQ(Ping(), (Log{"B"}));
}

TEST_F(WndHookTest, UnhookingEitherOfTwoKeepsTheOther)
{
    struct Case {
        bool removeNewest;
        Log expected;
    };
    for (const Case& c : {Case{true, {"A", "window"}}, Case{false, {"B", "window"}}}) {
        RecordingHook a("A", log), b("B", log);
        a.HookWindow(frame);
        b.HookWindow(frame);
        RecordingHook& gone = c.removeNewest ? b : a;
        RecordingHook& kept = c.removeNewest ? a : b;
        EXPECT_TRUE(gone.HookWindow(nullptr));
        EXPECT_EQ(CWndHookMap::GetHookMap().Lookup(frame), &kept);
        EXPECT_EQ(kept.GetHookedWindow(), frame);
        EXPECT_EQ(Ping(), c.expected) << "removing the " << (c.removeNewest ? "newest" : "oldest");
        kept.HookWindow(nullptr);
        EXPECT_EQ(frame->GetEventHandler(), frame);
    }
}

TEST_F(WndHookTest, DestroyedWindowUnhooksEveryHookAndStillGetsItsDestroyEvent)
{
    RecordingHook a("A", log), b("B", log);
    a.HookWindow(frame);
    b.HookWindow(frame);
    frame->Bind(wxEVT_DESTROY, [this](wxWindowDestroyEvent& e) {
        // The window's own handler runs after every hook has gone.
        log.push_back(CWndHookMap::GetHookMap().Lookup(frame) ? "window destroy, hooks left" : "window destroy");
        e.Skip();
    });
    log.clear();
    delete frame;  // ~wxWindowBase asserts (failing the test) if a handler were still pushed
    frame = nullptr;
    EXPECT_EQ(log, (Log{"B destroying", "A destroying", "window destroy"}));
    EXPECT_EQ(a.GetHookedWindow(), nullptr);
    EXPECT_EQ(b.GetHookedWindow(), nullptr);
    EXPECT_EQ(b.unhookCalls, 1);
    EXPECT_EQ(a.unhookCalls, 1);
}

TEST_F(WndHookTest, ChildDestroyEventsPassThroughUntouched)
{
    RecordingHook a("A", log);
    a.HookWindow(frame);
    auto* child = new wxFrame(frame, wxID_ANY, "child");
    delete child;
    EXPECT_EQ(a.GetHookedWindow(), frame);
    EXPECT_EQ(CWndHookMap::GetHookMap().Lookup(frame), &a);
}

TEST_F(WndHookTest, RefusesWhatIsOutsideTheContract)
{
    RecordingHook a("A", log);
    auto other = std::make_unique<wxFrame>(nullptr, wxID_ANY, "other");
    ASSERT_TRUE(a.HookWindow(frame));
    EXPECT_FALSE(a.HookWindow(other.get())) << "one hook on two windows";
    EXPECT_EQ(other->GetEventHandler(), other.get());
    EXPECT_EQ(a.GetHookedWindow(), frame);

    // Taken out behind the hook's back: unhooking is refused instead of walking off the chain.
    frame->RemoveEventHandler(&a);
    EXPECT_FALSE(a.HookWindow(nullptr));
    EXPECT_EQ(a.GetHookedWindow(), nullptr);
    EXPECT_EQ(frame->GetEventHandler(), frame);
}

TEST_F(WndHookTest, DestroyingAHookObjectUnhooksItAndAnIdleOneDoesNothing)
{
    RecordingHook a("A", log);
    a.HookWindow(frame);
    {
        RecordingHook b("B", log);
        b.HookWindow(frame);
        RecordingHook idle("idle", log);
    }
    EXPECT_EQ(CWndHookMap::GetHookMap().Lookup(frame), &a);
    EXPECT_EQ(Ping(), (Log{"A", "window"}));
}

// On a ping, first sends the window another event, then passes the ping on through Default.
class DefaultingHook : public CWndHook {
public:
    DefaultingHook(Log& log, wxWindow* window) : m_log(log)
    {
        Bind(TEST_PING, [this, window](wxCommandEvent&) {
            m_log.push_back("B");
            wxCommandEvent nested(TEST_OTHER);
            nested.SetEventObject(window);
            window->HandleWindowEvent(nested);
            m_log.push_back(Default() ? "B: passed on, handled" : "B: passed on, not handled");
        });
    }

private:
    Log& m_log;
};

TEST_F(WndHookTest, DefaultPassesOnTheEventBeingHandledAlsoAfterANestedOne)
{
    frame->Bind(TEST_OTHER, [this](wxCommandEvent&) { log.push_back("window other"); });
    RecordingHook a("A", log);
    DefaultingHook b(log, frame);
    a.HookWindow(frame);
    EXPECT_FALSE(b.Default()) << "not hooked";
    b.HookWindow(frame);
    EXPECT_FALSE(b.Default()) << "no event being handled";
    EXPECT_EQ(Ping(), (Log{"B", "window other", "A", "window", "B: passed on, handled"}));

    // The older hook keeps it: the window never sees it, and it is not handled twice.
    a.keep = true;
    EXPECT_EQ(Ping(), (Log{"B", "window other", "A", "B: passed on, handled"}));
}

TEST_F(WndHookTest, HookMapWorksOnTheWindowsChain)
{
    CWndHookMap& map = CWndHookMap::GetHookMap();
    EXPECT_EQ(&map, &CWndHookMap::GetHookMap()) << "one map for the process";
    EXPECT_EQ(map.Lookup(nullptr), nullptr);
    EXPECT_EQ(map.Lookup(frame), nullptr);

    RecordingHook a("A", log), b("B", log), c("C", log);
    for (RecordingHook* hook : {&a, &b, &c})
        hook->HookWindow(frame);
    EXPECT_EQ(map.Lookup(frame), &c);

    // Removing one from the middle links its neighbours.
    EXPECT_TRUE(map.Remove(&b));
    EXPECT_FALSE(map.Remove(&b)) << "no longer in the chain";
    EXPECT_EQ(c.GetNextHook(), &a);
    EXPECT_EQ(Ping(), (Log{"C", "A", "window"}));
    EXPECT_FALSE(b.HookWindow(nullptr));

    map.RemoveAll(frame);
    EXPECT_EQ(c.unhookCalls, 1);
    EXPECT_EQ(a.unhookCalls, 1);
    EXPECT_EQ(map.Lookup(frame), nullptr);
    EXPECT_EQ(frame->GetEventHandler(), frame);
    EXPECT_EQ(Ping(), (Log{"window"}));
}

}  // namespace
