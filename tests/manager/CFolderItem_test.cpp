#include "manager/model/CFolderItem.h"

#include <gtest/gtest.h>

namespace {

struct Spec {
    const char* name;
    int64_t size;
    const char* description;
    int64_t time;
};

void Fill(CFolderItem& folder, std::initializer_list<Spec> specs)
{
    for (const Spec& s : specs) {
        auto image = std::make_unique<CImageItem>(s.name, std::string("/f/") + s.name, s.size, 0, 0);
        image->m_strDescription = s.description;
        image->m_tLastWrite = s.time;
        folder.AddImage(std::move(image));
    }
}

std::string Order(const CFolderItem& folder)
{
    std::string out;
    for (const auto& image : folder.m_arrImages)
        out += image->m_strName + " ";
    return out;
}

TEST(CFolderItem, ConstructsWithDefaults)
{
    CFolderItem folder("pics", "/home/u/pics", 5);
    EXPECT_TRUE(folder.m_bKeepInSession);
    EXPECT_TRUE(folder.m_bThumbsNeeded);
    EXPECT_FALSE(folder.m_bThumbsComplete);
    EXPECT_FALSE(folder.m_bCurrentInRecent);
    EXPECT_EQ(folder.m_nViewMode, kViewThumbnails);
    EXPECT_FALSE(CFolderItem("", "", 0).m_bKeepInSession);

    CImageItem image("a.jpg", "/a.jpg", 5'000'000'000LL, 0, 0);
    EXPECT_EQ(image.m_nSize, 5'000'000'000LL);  // sizes beyond 4 GB survive
    EXPECT_FALSE(image.m_bSelected);
    EXPECT_FALSE(image.m_bTicked);
    EXPECT_EQ(image.m_nImageType, 0);
    EXPECT_EQ(image.m_tLastWrite, 0);
    EXPECT_FALSE(image.HasThumbnail());
}

TEST(CFolderItem, SortsByEveryKeyInBothDirections)
{
    struct Case {
        int key, direction;
        const char* order;
    };
    const Case cases[] = {
        {0, 0, "B.jpg a.jpg c.jpg "},  // upper case sorts before lower case
        {0, 1, "c.jpg a.jpg B.jpg "},
        {1, 0, "c.jpg B.jpg a.jpg "},
        {1, 1, "a.jpg B.jpg c.jpg "},
        {2, 0, "c.jpg a.jpg B.jpg "},
        {2, 1, "B.jpg a.jpg c.jpg "},
        {3, 0, "c.jpg a.jpg B.jpg "},  // forward: newest first
        {3, 1, "B.jpg a.jpg c.jpg "},
        {4, 0, "a.jpg B.jpg c.jpg "},  // unknown key: unchanged
        {-1, 1, "a.jpg B.jpg c.jpg "},
    };
    for (const Case& c : cases) {
        CFolderItem folder("f", "/f", 0);
        Fill(folder, {{"a.jpg", 300, "middle", 20}, {"B.jpg", 200, "zulu", 10}, {"c.jpg", 100, "alpha", 30}});
        EXPECT_EQ(folder.SortImages(c.key, c.direction), 1);
        EXPECT_EQ(Order(folder), c.order) << "key " << c.key << " direction " << c.direction;
    }
}

TEST(CFolderItem, SortsLargeSizesAsSixtyFourBit)
{
    CFolderItem folder("f", "/f", 0);
    Fill(folder, {{"big", 3'000'000'000LL, "", 0}, {"small", 1, "", 0}});
    folder.SortImages(1, 0);
    EXPECT_EQ(Order(folder), "small big ");
}

TEST(CFolderItem, RemovesOnlyRecordsItHolds)
{
    CFolderItem folder("f", "/f", 0);
    Fill(folder, {{"a", 1, "", 0}, {"b", 2, "", 0}, {"c", 3, "", 0}});
    CImageItem stranger("x", "/f/a", 1, 0, 0);
    EXPECT_EQ(folder.RemoveImage(&stranger), 1);
    EXPECT_EQ(folder.ImageCount(), 3u);

    EXPECT_EQ(folder.RemoveImage(folder.Image(1)), 0);
    EXPECT_EQ(Order(folder), "a c ");
    EXPECT_FALSE(folder.HoldsImage(&stranger));
    EXPECT_TRUE(folder.HoldsImage(folder.Image(1)));
}

}  // namespace
