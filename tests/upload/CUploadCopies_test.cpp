#include "upload/model/CUploadCopies.h"

#include "image/CLfImage.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;

namespace {

fs::path Jpeg(const lftest::TempDir& dir, const std::string& name, int height)
{
    CLfImage image;
    image.Create(30, height, 24, lfimg::kTypeJPG);
    const fs::path path = dir / name;
    EXPECT_TRUE(image.Save(path.c_str(), lfimg::kTypeJPG));
    return path;
}

TEST(CUploadCopies, ATakenNameSendsTheCopyToAPrivateFolderThatGoesAway)
{
    lftest::TempDir dir;
    const fs::path source = Jpeg(dir, "a.jpg", 601);
    std::ofstream(dir / "resized_a.jpg") << "mine";
    CUploadCopies copies;
    const auto file = copies.Make(source.string(), CUploadCopies::kReducedHeight);
    ASSERT_TRUE(file);
    const fs::path copy(file->path);
    EXPECT_NE(copy.parent_path(), dir.path());
    EXPECT_EQ(copy.filename(), "resized_a.jpg");
    EXPECT_EQ(file->size, static_cast<int64_t>(fs::file_size(copy)));
    EXPECT_EQ(file->preCopySize, static_cast<int64_t>(fs::file_size(source)));
    CLfImage reduced;
    ASSERT_TRUE(reduced.Load(copy.c_str(), lfimg::kTypeJPG));
    EXPECT_EQ(std::abs(reduced.GetHeight()), 600);
    EXPECT_EQ(reduced.GetWidth(), 30 * 600 / 601);
    copies.RemoveAll();
    EXPECT_FALSE(fs::exists(copy.parent_path()));
    std::ifstream in(dir / "resized_a.jpg");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "mine");
}

TEST(CUploadCopies, FilesThatCannotBeCopiedAreNotUploaded)
{
    lftest::TempDir dir;
    std::ofstream(dir / "broken.jpg") << "not a picture";
    std::ofstream(dir / "noextension") << "x";
    CUploadCopies copies;
    for (const char* name : {"broken.jpg", "noextension", "gone.jpg"})
        EXPECT_FALSE(copies.Make((dir / name).string(), 0)) << name;
    copies.RemoveAll();
    EXPECT_FALSE(fs::exists(dir / "resized_broken.jpg"));
    const auto kept = copies.Make(Jpeg(dir, "b.jpg", 700).string(), 0);
    ASSERT_TRUE(kept);
    EXPECT_EQ(fs::path(kept->path), dir / "resized_b.jpg");
}

}  // namespace
