#include "controls/model/FolderTreePath.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::string>;

TEST(FolderTreePath, VolumeRootsEndInOneSlash)
{
    EXPECT_EQ(VolumeRoot("/"), "/");
    EXPECT_EQ(VolumeRoot("/media/usb"), "/media/usb/");
    EXPECT_EQ(VolumeRoot("/media/usb//"), "/media/usb/");
}

TEST(FolderTreePath, ItemPaths)
{
    const struct {
        const char* root;
        Names names;
        bool hasChildren;
        const char* path;
    } cases[] = {
        {"/", {}, true, "/"},
        {"/", {}, false, "/"},  // a volume is always its root
        {"/media/usb/", {}, false, "/media/usb/"},
        {"/", {"home"}, true, "/home/"},
        {"/", {"home", "ann"}, false, "/home/ann"},  // expanded and empty: no trailing "/"
        {"/media/usb/", {"a", "b c"}, true, "/media/usb/a/b c/"},
        {"/home/ann/Desktop/", {"x"}, false, "/home/ann/Desktop/x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JoinItemPath(c.root, c.names, c.hasChildren), c.path) << c.path;
}

TEST(FolderTreePath, VolumeOfAPathIsTheLongestMountPrefix)
{
    const Names roots = {"/", "/home/", "/media/usb/"};
    EXPECT_EQ(FindVolume(roots, "/home/ann/x"), 1u);
    EXPECT_EQ(FindVolume(roots, "/home"), 1u);
    EXPECT_EQ(FindVolume(roots, "/homework"), 0u);
    EXPECT_EQ(FindVolume(roots, "/media/usb"), 2u);
    EXPECT_EQ(FindVolume(roots, "/media/usb2/x"), 0u);
    EXPECT_EQ(FindVolume(roots, "/"), 0u);
    EXPECT_EQ(FindVolume(roots, "relative/x"), std::nullopt);
    EXPECT_EQ(FindVolume(Names{"/data/"}, "/etc"), std::nullopt);
}

TEST(FolderTreePath, PartsAfterTheRoot)
{
    EXPECT_EQ(PathPartsAfter("/home/", "/home/ann//x/"), (Names{"ann", "x"}));
    EXPECT_EQ(PathPartsAfter("/home/", "/home"), Names{});
    EXPECT_EQ(PathPartsAfter("/", "/a/b"), (Names{"a", "b"}));
}

TEST(FolderTreePath, ChildNamesMatchExactlyFirst)
{
    EXPECT_EQ(MatchChildName({"foo", "Foo"}, "Foo"), 1u);
    EXPECT_EQ(MatchChildName({"Docs", "x"}, "docs"), 0u);
    EXPECT_EQ(MatchChildName({"Docs"}, "Doc"), std::nullopt);
    EXPECT_EQ(MatchChildName({}, "a"), std::nullopt);
}

TEST(FolderTreePath, TrimmingRules)
{
    EXPECT_EQ(TrimInitialFolder("/tmp/x/  "), "/tmp/x");
    EXPECT_EQ(TrimInitialFolder("/tmp/x\\"), "/tmp/x");
    EXPECT_EQ(TrimInitialFolder("/a//"), "/a/");  // one separator only
    EXPECT_EQ(TrimInitialFolder("/"), "/");
    EXPECT_EQ(TrimInitialFolder(" "), "");
    EXPECT_EQ(ChosenFolderPath("/a/b/"), "/a/b");
    EXPECT_EQ(ChosenFolderPath("/a/b"), "/a/b");
    EXPECT_EQ(ChosenFolderPath("/"), "/");
}

}  // namespace
