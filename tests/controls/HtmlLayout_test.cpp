#include "controls/model/HtmlLayout.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// Every character is 10 pixels wide; a line is as high as the font.
class FixedMeasurer : public HtmlTextMeasurer {
public:
    SIZE Measure(std::string_view text, const HtmlFontDesc& font) override
    {
        return SIZE{static_cast<int32_t>(text.size() * 10), font.height};
    }
};

HtmlLayoutDefaults Defaults()
{
    HtmlLayoutDefaults defaults;
    defaults.font.face = "Sans";
    defaults.font.height = 12;
    defaults.color = RGB(1, 2, 3);
    defaults.background = RGB(200, 200, 200);
    return defaults;
}

HtmlLayoutResult Layout(std::string_view markup, int width = 300, int height = 200)
{
    FixedMeasurer measurer;
    return LayoutHtml(markup, Defaults(), width, height, measurer);
}

std::vector<std::string> Texts(const HtmlLayoutResult& result)
{
    std::vector<std::string> texts;
    for (const auto& piece : result.pieces)
        texts.push_back(piece.text);
    return texts;
}

std::string Kinds(const std::vector<HtmlToken>& tokens)
{
    std::string out;
    for (const HtmlToken& token : tokens) {
        switch (token.kind) {
        case HtmlTokenKind::Text: out += "T(" + token.text + ")"; break;
        case HtmlTokenKind::BoldOn: out += "B"; break;
        case HtmlTokenKind::BoldOff: out += "/B"; break;
        case HtmlTokenKind::ItalicOn: out += "I"; break;
        case HtmlTokenKind::ItalicOff: out += "/I"; break;
        case HtmlTokenKind::UnderlineOn: out += "U"; break;
        case HtmlTokenKind::UnderlineOff: out += "/U"; break;
        case HtmlTokenKind::StrikeOn: out += "S"; break;
        case HtmlTokenKind::StrikeOff: out += "/S"; break;
        case HtmlTokenKind::Font: out += "F(" + token.text + ")"; break;
        case HtmlTokenKind::FontEnd: out += "/F"; break;
        case HtmlTokenKind::Link: out += "A(" + token.text + ")"; break;
        case HtmlTokenKind::LinkEnd: out += "/A"; break;
        case HtmlTokenKind::Break: out += "BR"; break;
        }
        out += ' ';
    }
    return out;
}

TEST(HtmlMarkup, Tokens)
{
    const struct {
        const char* markup;
        const char* tokens;
    } cases[] = {
        {"<b>x</b><B>y</B>", "B T(x) /B B T(y) /B "},
        {"<i><u><strike>z</strike></u></i>", "I U S T(z) /S /U /I "},
        {"<I><U><STRIKE>z</STRIKE></U></I>", "I U S T(z) /S /U /I "},
        {"<Font color=\"red\">a", "T(<) T(Font color=\"red\">a) "},  // mixed case is text
        {"<font color=\"red\">a</font><FONT size=\"1\">b</FONT>", "F( color=\"red\") T(a) /F F( size=\"1\") T(b) /F "},
        {"<a href=\"http://x/\">go</a>", "A(\"http://x/\") T(go) /A "},
        {"<A HREF=http://x>go</A>", "A(http://x) T(go) /A "},
        {"one<br>two<BR>", "T(one) BR T(two) BR "},
        {"a < b & c", "T(a ) T(<) T( b & c) "},
        {"&amp;", "T(&amp;) "},
        {"x<font color=\"red\"", "T(x<font color=\"red\") "},  // unclosed: the rest is text
        {"x<a href=\"http://y", "T(x<a href=\"http://y) "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Kinds(TokenizeHtml(c.markup)), c.tokens) << c.markup;
}

TEST(HtmlMarkup, FontAttributes)
{
    auto a = ParseFontAttributes(" color=\"red\" size=\"2\"");
    EXPECT_EQ(a.color, RGB(255, 0, 0));
    EXPECT_EQ(a.sizeIncrease, 2);
    EXPECT_FALSE(a.background);
    EXPECT_FALSE(a.face);

    a = ParseFontAttributes(" BGCOLOR=\"0,0,255\" FACE=\"Serif\" SIZE=\"1\" size=\"3\"");
    EXPECT_EQ(a.background, RGB(0, 0, 255));
    EXPECT_EQ(a.face, "Serif");
    EXPECT_EQ(a.sizeIncrease, 4);  // sizes add up

    a = ParseFontAttributes(" weight=bold color=\"#00FF00\"");  // unknown attribute skipped
    EXPECT_EQ(a.color, RGB(0, 255, 0));

    a = ParseFontAttributes(" size=\"2\" color=red");  // no opening quote: the rest is ignored
    EXPECT_FALSE(a.color);
    EXPECT_EQ(a.sizeIncrease, 2);

    // A value is whatever stands between the next two quotes, even another attribute's.
    a = ParseFontAttributes(" color=red size=\"2\"");
    EXPECT_EQ(a.color, 0u);
    EXPECT_EQ(a.sizeIncrease, 0);

    a = ParseFontAttributes(" size=\"2\" color=\"red");  // no closing quote: skipped
    EXPECT_EQ(a.sizeIncrease, 2);
    EXPECT_FALSE(a.color);

    a = ParseFontAttributes(" Color=\"red\" face=\"Mono\"");  // mixed case is no attribute
    EXPECT_FALSE(a.color);
    EXPECT_EQ(a.face, "Mono");

    a = ParseFontAttributes(" face=\"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\"");
    EXPECT_EQ(a.face, "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234");  // 31 characters
}

TEST(HtmlMarkup, LinkTargetsLoseTheirQuotes)
{
    EXPECT_EQ(UnquoteLinkTarget("\"http://example.org/a b\""), "http://example.org/a b");
    EXPECT_EQ(UnquoteLinkTarget(" 'http://x' "), "http://x");
    EXPECT_EQ(UnquoteLinkTarget("http://x"), "http://x");
    EXPECT_EQ(UnquoteLinkTarget("\"; rm -rf ~\""), "; rm -rf ~");  // one argument, never a command line
    EXPECT_EQ(UnquoteLinkTarget("\""), "");
}

TEST(HtmlLayout, FiveWordsAndFourBreaksMakeFiveLines)
{
    const auto result = Layout("one<br>two<br>three<br>four<br>five");
    ASSERT_EQ(Texts(result), (std::vector<std::string>{"one", "two", "three", "four", "five"}));
    for (size_t i = 0; i < result.pieces.size(); ++i) {
        EXPECT_EQ(result.pieces[i].x, 0);
        EXPECT_EQ(result.pieces[i].y, static_cast<int>(i) * 12);
    }
}

TEST(HtmlLayout, WordWrap)
{
    // Available width 100 - 5: "aaaa bbbb" is 90 wide, adding " cccc" would reach 140.
    const auto result = Layout("aaaa bbbb cccc dd", 100);
    ASSERT_EQ(Texts(result), (std::vector<std::string>{"aaaa bbbb", "cccc dd"}));
    EXPECT_EQ(result.pieces[1].x, 0);
    EXPECT_EQ(result.pieces[1].y, 12);
}

TEST(HtmlLayout, OverWideWordStandsAloneAndLayoutEnds)
{
    const auto result = Layout("abcdefghijklmnop next", 50);
    ASSERT_EQ(Texts(result), (std::vector<std::string>{"abcdefghijklmnop", "next"}));
    EXPECT_EQ(result.pieces[1].y, 12);

    const auto tiny = Layout("a b c", 3);  // narrower than any text
    EXPECT_EQ(Texts(tiny), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(HtmlLayout, RunsContinueOnTheLineWithTheirStyles)
{
    const auto result = Layout("ab<b>cd</b> ef");
    ASSERT_EQ(Texts(result), (std::vector<std::string>{"ab", "cd", " ef"}));  // spaces kept after a run
    EXPECT_EQ(result.pieces[1].x, 20);
    EXPECT_EQ(result.pieces[2].x, 40);
    EXPECT_FALSE(result.pieces[0].font.bold);
    EXPECT_TRUE(result.pieces[1].font.bold);
    EXPECT_FALSE(result.pieces[2].font.bold);
    for (const auto& piece : result.pieces)
        EXPECT_EQ(piece.y, 0);
}

TEST(HtmlLayout, RunThatNoLongerFitsStartsANewLine)
{
    // "abcdef" ends at 60; "ghij" would reach 100 of 95 available: it moves down.
    const auto result = Layout("abcdef<i>ghij</i>", 100);
    ASSERT_EQ(Texts(result), (std::vector<std::string>{"abcdef", "ghij"}));
    EXPECT_EQ(result.pieces[1].x, 0);
    EXPECT_EQ(result.pieces[1].y, 12);
}

TEST(HtmlLayout, BoldDepthCounts)
{
    auto result = Layout("<b><b>one</b> two</b> three");
    ASSERT_EQ(result.pieces.size(), 3u);
    EXPECT_TRUE(result.pieces[0].font.bold);
    EXPECT_TRUE(result.pieces[1].font.bold);
    EXPECT_FALSE(result.pieces[2].font.bold);

    result = Layout("</b>plain<b>bold");  // a closing tag with nothing open changes nothing
    ASSERT_EQ(result.pieces.size(), 2u);
    EXPECT_FALSE(result.pieces[0].font.bold);
    EXPECT_TRUE(result.pieces[1].font.bold);

    result = Layout("<u>u</u><strike>s</strike><i>i</i>");
    ASSERT_EQ(result.pieces.size(), 3u);
    EXPECT_TRUE(result.pieces[0].font.underline);
    EXPECT_TRUE(result.pieces[1].font.strike);
    EXPECT_TRUE(result.pieces[2].font.italic);
}

TEST(HtmlLayout, FontTagsDoNotNest)
{
    const auto result =
        Layout("<font color=\"blue\" bgcolor=\"yellow\"><font size=\"3\" face=\"Mono\">big</font>after</font>");
    ASSERT_EQ(Texts(result), (std::vector<std::string>{"big", "after"}));
    EXPECT_EQ(result.pieces[0].font.height, 15);
    EXPECT_EQ(result.pieces[0].font.face, "Mono");
    EXPECT_EQ(result.pieces[0].color, RGB(0, 0, 255));
    EXPECT_EQ(result.pieces[0].background, RGB(255, 255, 0));
    // The inner closing tag returned to the control's defaults.
    EXPECT_EQ(result.pieces[1].font, Defaults().font);
    EXPECT_EQ(result.pieces[1].color, Defaults().color);
    EXPECT_EQ(result.pieces[1].background, Defaults().background);
}

TEST(HtmlLayout, LinksAfterTextAreHitOverTheirOwnText)
{
    const auto result = Layout("Click <a href=\"http://example.org/\"><u>here</u></a> now");
    ASSERT_EQ(result.links.size(), 1u);
    const HtmlLinkArea& link = result.links[0];
    EXPECT_EQ(link.area.left, 60);
    EXPECT_EQ(link.area.right, 100);
    EXPECT_EQ(link.area.top, 0);
    EXPECT_EQ(link.area.bottom, 12);
    EXPECT_EQ(link.target, "\"http://example.org/\"");
    EXPECT_EQ(HitLink(result.links, POINT{65, 5}), &link);
    EXPECT_EQ(HitLink(result.links, POINT{30, 5}), nullptr);   // the text before
    EXPECT_EQ(HitLink(result.links, POINT{105, 5}), nullptr);  // the text after
}

TEST(HtmlLayout, StopsAtTheClientBottom)
{
    // Room for two lines of 12 pixels in 30.
    const auto result = Layout("a<br>b<br>c<br>d", 300, 30);
    EXPECT_EQ(Texts(result), (std::vector<std::string>{"a", "b"}));
}

TEST(HtmlLayout, LineFeedsEndLinesCarriageReturnsAreDropped)
{
    const auto result = Layout("one \r\ntwo");
    EXPECT_EQ(Texts(result), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(result.pieces[1].y, 12);
}

TEST(HtmlLayout, TallerRunSetsTheLineHeight)
{
    const auto result = Layout("<font size=\"8\">Big</font>small<br>next");
    ASSERT_EQ(Texts(result), (std::vector<std::string>{"Big", "small", "next"}));
    EXPECT_EQ(result.pieces[1].y, 0);   // top-aligned with the big run
    EXPECT_EQ(result.pieces[2].y, 20);  // below the taller of the two
}

}  // namespace
