#include "batch/model/GraphicTextJob.h"

#include "FakeRasterizer.h"
#include "TextTestImages.h"
#include "image/CLfImage.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace texttest;
namespace fs = std::filesystem;

namespace {

const RGBQUAD kWhite = Rgb(255, 255, 255);

// Five pictures of 100 x 200: one grey (8 bits), one PNG, two JPEG, one BMP.
struct Fixture {
    lftest::TempDir dir;
    std::vector<GraphicTextJobItem> items;
    std::string output = (dir / "watermark").string();

    Fixture()
    {
        const char* names[] = {"a.jpg", "b.bmp", "grey.bmp", "d.png", "e.JPEG"};
        for (const char* name : names) {
            CLfImage image = Plain(100, 200, kWhite);
            const std::string path = (dir / name).string();
            if (std::string(name) == "grey.bmp") {
                EXPECT_TRUE(image.GrayScale());
            }
            EXPECT_TRUE(image.Save(path.c_str(), GraphicTextJob::TypeOfPath(path)));
            items.push_back({path, true});
        }
    }
};

GraphicTextSettings RedT()
{
    GraphicTextSettings s;
    s.text = "T";
    s.unit = "Pixels";
    s.heightText = "20";
    s.colour = RGB(255, 0, 0);
    s.visibility = 100;
    return s;
}

TEST(GraphicTextJob, TypesFollowTheExtensionInAnyCase)
{
    EXPECT_EQ(GraphicTextJob::TypeOfPath("/x/a.JPG"), lfimg::kTypeJPG);
    EXPECT_EQ(GraphicTextJob::TypeOfPath("/x/a.jpeg"), lfimg::kTypeJPG);
    EXPECT_EQ(GraphicTextJob::TypeOfPath("/x/a.Bmp"), lfimg::kTypeBMP);
    EXPECT_EQ(GraphicTextJob::TypeOfPath("/x/a.png"), lfimg::kTypePNG);
    EXPECT_EQ(GraphicTextJob::TypeOfPath("/x/a.gif"), 0u);
    EXPECT_EQ(GraphicTextJob::TypeOfPath("/x.y/noext"), 0u);
}

TEST(GraphicTextJob, WritesEveryTickedImageWithTheTextBlended)
{
    Fixture f;
    GraphicTextJob job(RedT(), TextPosition{}, 50, f.output, f.items, f.items[3].path);
    FakeRasterizer rasterizer;
    std::atomic<bool> stop{false};
    std::vector<std::string> processed;
    GraphicTextJob::Callbacks callbacks;
    callbacks.processing = [&](const std::string& name) { processed.push_back(name); };
    const GraphicTextJobResult result = job.Run(rasterizer, stop, callbacks);
    EXPECT_FALSE(result.stopped);
    EXPECT_TRUE(result.messages.empty());
    ASSERT_EQ(result.written.size(), 5u);
    EXPECT_EQ(processed, (std::vector<std::string>{"a.jpg", "b.bmp", "grey.bmp", "d.png", "e.JPEG"}));
    // Start row: 180 (less 50 / 200, truncated: 179); rows 200 - k - 179 + 20 = 41..22.
    for (size_t i = 0; i < result.written.size(); ++i) {
        EXPECT_EQ(fs::path(result.written[i]).parent_path(), fs::path(f.output));
        CLfImage out;
        ASSERT_TRUE(out.Load(result.written[i].c_str(), 0)) << result.written[i];
        EXPECT_EQ(out.GetWidth(), 100);
        if (GraphicTextJob::TypeOfPath(result.written[i]) == lfimg::kTypeJPG) {
            const RGBQUAD mid = out.GetPixelColor(11, 30);
            EXPECT_GT(mid.rgbRed, 200);
            EXPECT_LT(mid.rgbGreen, 80);
            continue;
        }
        // Lossless files: red over white at full visibility.
        EXPECT_EQ(Changed(out, kWhite), Box(10, 13, 22, 41)) << result.written[i];
        EXPECT_TRUE(Same(out.GetPixelColor(10, 22), Rgb(255, 0, 0))) << result.written[i];
    }
    // The grey picture came back in colour.
    CLfImage grey;
    ASSERT_TRUE(grey.Load(result.written[2].c_str(), 0));
    EXPECT_EQ(grey.GetBpp(), 24u);
    // The template was among them: its rendering is handed back.
    ASSERT_TRUE(result.templateImage);
    EXPECT_TRUE(Same(result.templateImage->GetPixelColor(10, 22), Rgb(255, 0, 0)));
    // The originals are untouched.
    CLfImage original;
    ASSERT_TRUE(original.Load(f.items[1].path.c_str(), 0));
    EXPECT_TRUE(Changed(original, kWhite).empty());
}

TEST(GraphicTextJob, ListsOnlyWrittenFilesAndReportsTheRest)
{
    Fixture f;
    // d.png cannot be written: a non-empty folder stands where the file would go.
    fs::create_directories(fs::path(f.output) / "d.png");
    lftest::WriteText(fs::path(f.output) / "d.png" / "keep", "x");
    fs::remove(f.items[0].path);  // a.jpg vanished after it was listed
    f.items[4].ticked = false;    // e.JPEG ticked off
    lftest::WriteText(f.dir / "junk.bmp", "not a picture");
    f.items.push_back({(f.dir / "junk.bmp").string(), true});

    GraphicTextJob job(RedT(), TextPosition{}, 50, f.output, f.items, "");
    FakeRasterizer rasterizer;
    std::atomic<bool> stop{false};
    const GraphicTextJobResult result = job.Run(rasterizer, stop);
    EXPECT_EQ(result.written, (std::vector<std::string>{(fs::path(f.output) / "b.bmp").string(),
                                                         (fs::path(f.output) / "grey.bmp").string()}));
    ASSERT_EQ(result.messages.size(), 3u);
    EXPECT_EQ(result.messages[0], GraphicTextJob::NotFoundMessage(f.items[0].path));
    EXPECT_NE(result.messages[1].find((fs::path(f.output) / "d.png").string()), std::string::npos);
    EXPECT_NE(result.messages[1].find("could not be saved"), std::string::npos);
    EXPECT_EQ(result.messages[2], GraphicTextJob::NotReadMessage(f.items[5].path));
    EXPECT_FALSE(fs::exists(fs::path(f.output) / "e.JPEG"));
    EXPECT_FALSE(result.templateImage);
}

TEST(GraphicTextJob, ReplacesAFileOfTheSameNameWhole)
{
    Fixture f;
    fs::create_directories(f.output);
    lftest::WriteText(fs::path(f.output) / "b.bmp", "old");
    GraphicTextJob job(RedT(), TextPosition{}, 50, f.output, {f.items[1]}, "");
    FakeRasterizer rasterizer;
    std::atomic<bool> stop{false};
    ASSERT_EQ(job.Run(rasterizer, stop).written.size(), 1u);
    CLfImage out;
    EXPECT_TRUE(out.Load((fs::path(f.output) / "b.bmp").c_str(), 0));
}

TEST(GraphicTextJob, StopsBeforeTheNextImage)
{
    Fixture f;
    GraphicTextJob job(RedT(), TextPosition{}, 50, f.output, f.items, "");
    std::atomic<bool> stop{false};
    FakeRasterizer rasterizer;
    GraphicTextJob::Callbacks callbacks;
    // The stop arrives while the second image is drawn.
    callbacks.processing = [&](const std::string& name) {
        if (name == "b.bmp")
            stop = true;
    };
    const GraphicTextJobResult result = job.Run(rasterizer, stop, callbacks);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.written.size(), 1u);
    EXPECT_FALSE(fs::exists(fs::path(f.output) / "b.bmp"));
}

}  // namespace
