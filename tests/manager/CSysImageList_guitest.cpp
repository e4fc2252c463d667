#include "manager/ui/CSysImageList.h"

#include <gtest/gtest.h>
#include <wx/imaglist.h>

namespace {

TEST(SysImageList, FixedEntriesComeFirstAndKeepTheirIndexes)
{
    CSysImageList list;
    wxImageList* images = list.GetImageList(true);
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(images->GetImageCount(), CSysImageList::kFixedIconCount);
    EXPECT_EQ(CSysImageList::GetCurrentFolderIconIndex(), 15);
    EXPECT_EQ(CSysImageList::kFolderIconIndex, 3);
    int width = 0, height = 0;
    images->GetSize(0, width, height);
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);
    EXPECT_EQ(list.GetImageList(false), nullptr);
    EXPECT_FALSE(list.Init(true)) << "a second Init is refused";
}

TEST(SysImageList, OneIconPerTypeByNameAlone)
{
    CSysImageList list;
    const int jpg = list.GetIconIndex("/no/such/folder/photo.jpg");
    EXPECT_EQ(list.GetIconIndex("other.JPG"), jpg) << "letter case of the extension does not matter";
    const int count = list.GetImageList(true)->GetImageCount();
    list.GetIconIndex("again.jpg");
    EXPECT_EQ(list.GetImageList(true)->GetImageCount(), count) << "a known type adds nothing";
    EXPECT_GE(jpg, 0);
    EXPECT_LT(jpg, count);

    EXPECT_EQ(list.GetIconIndex("README"), CSysImageList::kFileIconIndex);
    EXPECT_EQ(list.GetIconIndex("/a.folder/README"), CSysImageList::kFileIconIndex) << "a dot in a folder name";
    EXPECT_EQ(list.GetIconIndex("trailing."), CSysImageList::kFileIconIndex);
    EXPECT_EQ(list.GetIconIndex(".hidden"), CSysImageList::kFileIconIndex);
    EXPECT_EQ(list.GetIconIndex("x.no-such-type-anywhere"), CSysImageList::kFileIconIndex);
}

}  // namespace
