#include "controls/CHtmlStatic.h"
#include "tests/controls/ScriptedInput.h"
#include "tests/support/GuiTest.h"

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/settings.h>
#include <wx/stattext.h>

namespace {

class HtmlStaticTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog = new wxDialog(nullptr, wxID_ANY, "html", wxPoint(0, 0), wxSize(400, 200));
        dialog->Bind(wxEVT_LEFT_UP, [this](wxMouseEvent&) { ++parentClicks; });
        html = new CHtmlStatic(dialog, 1172, wxString(), wxPoint(10, 10), wxSize(360, 120));
        html->SetLinkLauncher([this](const wxString& address) {
            opened.push_back(address);
            return true;
        });
    }
    void TearDown() override
    {
        dialog->Destroy();
        lftest::PumpFor(std::chrono::milliseconds(20));
    }

    void ClickAt(int x, int y) { lftest::SendClick(html, x, y); }

    wxDialog* dialog = nullptr;
    CHtmlStatic* html = nullptr;
    std::vector<wxString> opened;
    int parentClicks = 0;
};

TEST_F(HtmlStaticTest, LinkClickHandsTheUnquotedTargetToTheLauncher)
{
    html->SetLabel("Notice text. <a href=\"http://www.example.org/register/\"><u><font size=\"1\" "
                   "color=\"blue\">Click Here</font></u></a>");
    const auto& layout = html->GetHtmlLayout();
    ASSERT_EQ(layout.links.size(), 1u);
    const RECT area = layout.links[0].area;
    EXPECT_GT(area.left, 0);  // after the notice on the same line
    ClickAt((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "http://www.example.org/register/");

    ClickAt(2, (area.top + area.bottom) / 2);  // on the notice: nothing opens
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_EQ(parentClicks, 0);
}

TEST_F(HtmlStaticTest, QuotesAndShellCharactersStayOneArgument)
{
    html->SetLabel("<a href=\"'http://x/?a=1&b=2;echo hi'\">go</a>");
    const auto& layout = html->GetHtmlLayout();
    ASSERT_EQ(layout.links.size(), 1u);
    ClickAt(layout.links[0].area.left + 1, layout.links[0].area.top + 1);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "'http://x/?a=1&b=2;echo hi'");
}

TEST_F(HtmlStaticTest, LayoutStartsAfreshForEachText)
{
    html->SetLabel("<b><a href=\"one\">first</a>");
    ASSERT_EQ(html->GetHtmlLayout().links.size(), 1u);
    EXPECT_TRUE(html->GetHtmlLayout().pieces[0].font.bold);
    html->SetLabel("plain");
    const auto& layout = html->GetHtmlLayout();
    EXPECT_TRUE(layout.links.empty());
    ASSERT_EQ(layout.pieces.size(), 1u);
    EXPECT_FALSE(layout.pieces[0].font.bold);  // the unclosed <b> of the old text is gone
}

TEST_F(HtmlStaticTest, ColoursAndPaint)
{
    EXPECT_EQ(html->SetBackgroundColor(RGB(240, 240, 240)), ToColorRef(wxSystemSettings::GetColour(wxSYS_COLOUR_MENU)));
    EXPECT_EQ(html->SetBackgroundColor(RGB(1, 2, 3)), RGB(240, 240, 240));
    EXPECT_EQ(html->SetForegroundColor(RGB(9, 9, 9)), ToColorRef(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT)));
    html->SetLabel("one<br>two<br>three<br>four<br>five");
    const auto& layout = html->GetHtmlLayout();
    ASSERT_EQ(layout.pieces.size(), 5u);
    EXPECT_LT(layout.pieces[0].y, layout.pieces[1].y);
    EXPECT_EQ(layout.pieces[0].color, RGB(9, 9, 9));
    EXPECT_EQ(layout.pieces[0].background, RGB(1, 2, 3));
    dialog->Show();
    html->Update();  // paints without trouble
    lftest::PumpFor(std::chrono::milliseconds(20));
}

TEST_F(HtmlStaticTest, HandOverLinksOnly)
{
    html->SetLabel("text <a href=\"http://x\">link</a>");
    const RECT area = html->GetHtmlLayout().links.at(0).area;
    wxMouseEvent move(wxEVT_MOTION);
    move.SetPosition(wxPoint(area.left + 2, area.top + 2));
    html->GetEventHandler()->ProcessEvent(move);
    EXPECT_TRUE(html->IsOverLink());
    move.SetPosition(wxPoint(1, area.top + 2));
    html->GetEventHandler()->ProcessEvent(move);
    EXPECT_FALSE(html->IsOverLink());
}

TEST_F(HtmlStaticTest, TakesAStaticTextsPlace)
{
    auto* label = new wxStaticText(dialog, 1140, "<b>Server says</b> hello", wxPoint(5, 150), wxSize(300, 30));
    auto* replacement = new CHtmlStatic;
    ASSERT_TRUE(replacement->SubclassControl(label));
    EXPECT_EQ(replacement->GetLabel(), "<b>Server says</b> hello");
    EXPECT_EQ(replacement->GetRect(), wxRect(5, 150, 300, 30));
    const auto& layout = replacement->GetHtmlLayout();
    ASSERT_EQ(layout.pieces.size(), 2u);
    EXPECT_EQ(layout.pieces[0].text, "Server says");
}

}  // namespace
