#include "manager/model/CFolderItem.h"
#include "manager/model/ManagerModes.h"
#include "manager/model/ToolPanelRules.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using toolpanel::MessageIcon;
using toolpanel::SortState;

TEST(ToolPanelRules, SortCommandsToggleTheDirectionOfTheSameKey)
{
    struct Case {
        SortState before;
        int key;
        SortState after;
    } cases[] = {
        {{kSortByName, kSortForward}, kSortByName, {kSortByName, kSortReverse}},    // Name reverses
        {{kSortByName, kSortReverse}, kSortByName, {kSortByName, kSortForward}},    // a second Name: forward again
        {{kSortByName, kSortReverse}, kSortBySize, {kSortBySize, kSortForward}},    // Size after Name: forward
        {{kSortByFileTime, kSortForward}, kSortByFileTime, {kSortByFileTime, kSortReverse}},  // Date with key 3
        {{kSortByFileTime, kSortReverse}, kSortByFileTime, {kSortByFileTime, kSortForward}},
        {{kSortBySize, 7}, kSortBySize, {kSortBySize, kSortReverse}},  // an odd direction counts as forward
        {{kSortByDescription, kSortReverse}, kSortByName, {kSortByName, kSortForward}},
    };
    for (const Case& c : cases) {
        const SortState got = toolpanel::SortByKey(c.before, c.key);
        EXPECT_EQ(got.key, c.after.key) << c.before.key << "/" << c.before.order << " + " << c.key;
        EXPECT_EQ(got.order, c.after.order) << c.before.key << "/" << c.before.order << " + " << c.key;
    }
}

// A folder of images named as given, the ones marked with '*' selected.
std::unique_ptr<CFolderItem> FolderOf(const std::vector<std::string>& names)
{
    auto folder = std::make_unique<CFolderItem>("f", "/f", 0);
    for (std::string name : names) {
        const bool selected = name.front() == '*';
        if (selected)
            name.erase(0, 1);
        auto image = std::make_unique<CImageItem>(name, "/f/" + name, 100, 0, 0);
        image->m_bSelected = selected;
        folder->AddImage(std::move(image));
    }
    return folder;
}

TEST(ToolPanelRules, BatchAndGraphicalTextConditions)
{
    struct Case {
        std::vector<std::string> names;
        const char* batch;    // the batch commands' message, or null when they go on
        const char* text;     // graphical text's
        MessageIcon textIcon;
    } cases[] = {
        {{"a.jpg", "b.gif"}, "Select images to batch process first.", "Select images to batch process first.",
         MessageIcon::Information},
        {{"*a.gif", "*b.GIF", "c.jpg"}, nullptr, "Sorry GIF files not supported.", MessageIcon::Stop},
        {{"*a.gif", "*b.png"}, nullptr, nullptr, MessageIcon::None},
        {{"*a.JPEG"}, nullptr, nullptr, MessageIcon::None},
        {{"*a.tif", "*b.txt", "*noext"}, "Select images to batch process first.",
         "Select images to batch process first.", MessageIcon::Information},
        {{"*a.bmp", "b.gif"}, nullptr, nullptr, MessageIcon::None},
    };
    for (const Case& c : cases) {
        const auto folder = FolderOf(c.names);
        const auto kinds = toolpanel::CountSelection(*folder);
        const auto batch = toolpanel::BatchRefusal(kinds);
        const auto text = toolpanel::GraphicTextRefusal(kinds);
        const std::string label = ::testing::PrintToString(c.names);
        EXPECT_STREQ(batch.text, c.batch) << label;
        if (batch.text) {
            EXPECT_STREQ(batch.caption, "Batch Process");
            EXPECT_EQ(batch.icon, MessageIcon::Information);
        }
        EXPECT_STREQ(text.text, c.text) << label;
        if (text.text) {
            EXPECT_STREQ(text.caption, "Batch Process") << label;
            EXPECT_EQ(text.icon, c.textIcon) << label;
        }
    }
}

TEST(ToolPanelRules, NotesAndKeywordsOnlyCheckTheSelection)
{
    auto none = FolderOf({"*a.png", "b.jpg"});
    auto message = toolpanel::NotesMessage(toolpanel::CountSelection(*none));
    EXPECT_STREQ(message.text, "Please Select a jpg picture.");
    EXPECT_STREQ(message.caption, "Notes & Keywords");

    auto one = FolderOf({"*a.jpg", "b.jpg"});
    one->Image(0)->m_strKeywords = "sea";
    EXPECT_EQ(toolpanel::NotesMessage(toolpanel::CountSelection(*one)).text, nullptr) << "one picture with notes";

    auto two = FolderOf({"*a.jpg", "*b.jpeg"});
    EXPECT_EQ(toolpanel::NotesMessage(toolpanel::CountSelection(*two)).text, nullptr) << "two without notes";
    two->Image(1)->m_strDescription = "a day out";
    message = toolpanel::NotesMessage(toolpanel::CountSelection(*two));
    ASSERT_NE(message.text, nullptr);
    EXPECT_EQ(std::string(message.text).rfind("Sorry,because one or more of files", 0), 0u);
    EXPECT_EQ(message.icon, MessageIcon::None);
}

TEST(ToolPanelRules, TheSampleIsTheChosenPictureWithItsOwnType)
{
    auto folder = FolderOf({"first.gif", "*b.png"});
    // The chosen sample's type counts, not the folder's first image's.
    EXPECT_EQ(toolpanel::TextSamplePath(*folder, "/f/b.png"), "/f/b.png");
    EXPECT_EQ(toolpanel::SampleImageType("/f/b.png"), 4);
    EXPECT_EQ(toolpanel::TextSamplePath(*folder, ""), "/f/first.gif") << "nothing chosen: the first image";
    EXPECT_EQ(toolpanel::SampleImageType("/f/x.JPEG"), 3);
    EXPECT_EQ(toolpanel::SampleImageType("/f/x.bmp"), 1);
    EXPECT_EQ(toolpanel::SampleImageType("/f/noext"), 0);
    EXPECT_EQ(toolpanel::TextSamplePath(*FolderOf({}), ""), "");
}

TEST(ToolPanelRules, OnlyARecentFolderPathByteForByteSwitches)
{
    const std::vector<std::string> recent{"/photos/Summer", "/photos/winter", "/photos"};
    struct Case {
        const char* current;
        const char* address;
        int index;
    } cases[] = {
        {"/photos", "/photos/winter", 1},
        {"/photos", "/photos/Winter", -1},   // another letter case
        {"/photos", "/photos/winte", -1},    // a prefix, on the way to typing it
        {"/photos", "/photos/winter/", -1},  // a trailing separator
        {"/photos", "/photos", -1},          // the current folder itself
        {"/other", "/photos", 2},
        {"/photos", "/tmp", -1},             // a folder that exists but is not listed
        {"/photos", "", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toolpanel::RecentIndexOfAddress(recent, c.current, c.address), c.index) << c.address;
}

}  // namespace
