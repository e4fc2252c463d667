#include "image/CLfImage.h"

#include "image/CLfMemoryStream.h"
#include "tests/image/CodecTestUtil.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A 5 x 3 24-bit image with a recognisable pixel, saved as BMP bytes.
CLfImage MakeImage()
{
    CLfImage img(5, 3, 24, lfimg::kTypeBMP);
    img.SetPixelColor(4, 2, lftest::Bgr(1, 2, 3));
    img.SetXDPI(200);
    return img;
}

std::vector<uint8_t> BmpBytes(CLfImage& img)
{
    uint8_t* buffer = nullptr;
    int64_t size = 0;
    EXPECT_TRUE(img.Encode(buffer, size, lfimg::kTypeBMP)) << img.GetLastError();
    std::vector<uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

class LoadSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        CLfImage img = MakeImage();
        bmp = BmpBytes(img);
    }
    std::string Write(const std::string& leaf, const std::vector<uint8_t>& bytes)
    {
        const fs::path p = dir / leaf;
        lftest::WriteBytes(p, bytes);
        return p.string();
    }

    lftest::TempDir dir;
    std::vector<uint8_t> bmp;
};

TEST_F(LoadSave, LoadByTypeAndByTrial)
{
    const std::string file = Write("a.bmp", bmp);
    for (uint32_t type : {uint32_t(lfimg::kTypeBMP), uint32_t(lfimg::kTypeUnknown)}) {
        CLfImage img;
        ASSERT_TRUE(img.Load(file.c_str(), type)) << img.GetLastError();
        EXPECT_EQ(img.GetType(), lfimg::kTypeBMP);
        EXPECT_EQ(img.GetWidth(), 5);
        EXPECT_EQ(img.info.xDpi, 200);
        EXPECT_TRUE(lftest::SameColor(img.GetPixelColor(4, 2), lftest::Bgr(1, 2, 3)));
    }
    CLfImage viaConstructor(file.c_str(), lfimg::kTypeBMP);
    EXPECT_TRUE(viaConstructor.IsValid());
}

TEST_F(LoadSave, ExtensionThatLiesStillOpens)
{
    // BMP bytes behind a JPEG name and type: the trial finds the real format.
    const std::string file = Write("photo.jpg", bmp);
    CLfImage img;
    ASSERT_TRUE(img.Load(file.c_str(), lfimg::kTypeJPG)) << img.GetLastError();
    EXPECT_EQ(img.GetType(), lfimg::kTypeBMP);
    EXPECT_EQ(img.GetHeight(), 3);
}

TEST_F(LoadSave, PngNamedAsBmpOpensAsPng)
{
    const std::string file = (dir / "pic.bmp").string();
    bool ok = false;
    lftest::RunCommand("convert -size 6x4 xc:orange PNG24:'" + file + "'", &ok);
    ASSERT_TRUE(ok);
    CLfImage img;
    ASSERT_TRUE(img.Load(file.c_str(), lfimg::kTypeBMP)) << img.GetLastError();
    EXPECT_EQ(img.GetType(), lfimg::kTypePNG);
    EXPECT_EQ(img.GetWidth(), 6);
    EXPECT_TRUE(lftest::SameColor(img.GetPixelColor(0, 0), lftest::Bgr(0, 165, 255)));
}

TEST_F(LoadSave, FailureMessagesFollowTheTypeAsked)
{
    const std::string text = Write("notes.bmp", std::vector<uint8_t>(100, 'x'));
    struct Case {
        uint32_t type;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {lfimg::kTypeBMP, "", "Error reading BMP info"},  // the explicit codec's message survives
        {lfimg::kTypeUnknown, "", "Decode: Unknown or wrong format"},
        {16, "earlier text", "earlier text"},  // no explicit attempt: the old message comes back
    };
    for (const Case& c : cases) {
        CLfImage img;
        img.SetLastError(c.before);
        EXPECT_FALSE(img.Load(text.c_str(), c.type)) << c.type;
        EXPECT_STREQ(img.GetLastError(), c.after) << c.type;
        EXPECT_FALSE(img.IsValid());
    }
}

TEST_F(LoadSave, MissingFileChangesNothing)
{
    CLfImage img = MakeImage();
    img.SetLastError("kept");
    EXPECT_FALSE(img.Load((dir / "missing.bmp").c_str(), lfimg::kTypeBMP));
    EXPECT_STREQ(img.GetLastError(), "kept");
    EXPECT_EQ(img.GetWidth(), 5);
}

// A name that is not a regular file is refused at once, whatever its extension: a FIFO
// would otherwise wait for a writer for ever and hold the thread that loads.
TEST_F(LoadSave, OnlyRegularFilesAreRead)
{
    const std::string fifo = (dir / "waiting.jpg").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0) << std::strerror(errno);
    const std::string folder = (dir / "folder.bmp").string();
    fs::create_directory(folder);
    for (const std::string& path : {fifo, folder})
        for (const uint32_t type : {uint32_t(lfimg::kTypeJPG), uint32_t(lfimg::kTypeBMP), uint32_t(lfimg::kTypeUnknown)}) {
            SCOPED_TRACE(path + " as type " + std::to_string(type));
            auto load = std::async(std::launch::async, [&] {
                CLfImage img = MakeImage();
                const bool loaded = img.Load(path.c_str(), type);
                return std::make_pair(loaded, img.GetWidth());
            });
            if (load.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
                ADD_FAILURE() << "the load waited on the FIFO";
                // Writers that come and go let each waiting open and read end.
                while (load.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
                    if (const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK); writer >= 0)
                        ::close(writer);
                continue;
            }
            const auto [loaded, width] = load.get();
            EXPECT_FALSE(loaded);
            EXPECT_EQ(width, 5) << "the image is left as it was";
        }
}

TEST_F(LoadSave, FailedDecodeKeepsThePreviousImage)
{
    CLfImage img = MakeImage();
    std::vector<uint8_t> broken = bmp;
    broken.resize(60);
    EXPECT_FALSE(img.Decode(broken.data(), int64_t(broken.size()), lfimg::kTypeBMP));
    EXPECT_STRNE(img.GetLastError(), "");
    EXPECT_TRUE(lftest::SameColor(img.GetPixelColor(4, 2), lftest::Bgr(1, 2, 3)));
}

TEST_F(LoadSave, UnknownTypes)
{
    CLfImage img = MakeImage();
    EXPECT_FALSE(img.Decode(bmp.data(), int64_t(bmp.size()), 99));
    EXPECT_STREQ(img.GetLastError(), "Decode: Unknown or wrong format");
    CLfMemoryStream out;
    EXPECT_FALSE(img.Encode(&out, 99));
    EXPECT_STREQ(img.GetLastError(), "Encode: Unknown format");
    CLfImage* pages[] = {&img};
    EXPECT_FALSE(img.Encode(&out, pages, 1, lfimg::kTypeBMP));
    EXPECT_STREQ(img.GetLastError(), "Multipage Encode, Unsupported operation for this format");
}

TEST_F(LoadSave, TrialRewindsToWhereTheStreamStood)
{
    std::vector<uint8_t> bytes(9, 0xAB);
    bytes.insert(bytes.end(), bmp.begin(), bmp.end());
    CLfMemoryStream stream(bytes.data(), int64_t(bytes.size()));
    ASSERT_TRUE(stream.Seek(9, CLfStream::kSeekSet));
    CLfImage img(&stream, lfimg::kTypeUnknown);
    ASSERT_TRUE(img.IsValid()) << img.GetLastError();
    EXPECT_TRUE(lftest::SameColor(img.GetPixelColor(4, 2), lftest::Bgr(1, 2, 3)));
}

TEST_F(LoadSave, EncodeIntoMemoryOnlyIntoANullBuffer)
{
    CLfImage img = MakeImage();
    uint8_t dummy = 0;
    uint8_t* buffer = &dummy;
    int64_t size = 0;
    EXPECT_FALSE(img.Encode(buffer, size, lfimg::kTypeBMP));
    EXPECT_EQ(buffer, &dummy);
    CLfImage empty;
    buffer = nullptr;
    EXPECT_FALSE(empty.Encode(buffer, size, lfimg::kTypeBMP));
    EXPECT_EQ(buffer, nullptr);
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");
}

TEST_F(LoadSave, SaveWritesTheEncodedBytes)
{
    CLfImage img = MakeImage();
    const fs::path file = dir / "out.bmp";
    ASSERT_TRUE(img.Save(file.c_str(), lfimg::kTypeBMP)) << img.GetLastError();
    EXPECT_EQ(lftest::ReadBytes(file), bmp);
    // Only the target is left in the folder: no temporary file.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST_F(LoadSave, FailedSaveKeepsTheOriginalFile)
{
    const std::vector<uint8_t> original = {'o', 'l', 'd'};
    const std::string file = Write("keep.bmp", original);
    CLfImage empty;
    EXPECT_FALSE(empty.Save(file.c_str(), lfimg::kTypeBMP));
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");
    CLfImage img = MakeImage();
    EXPECT_FALSE(img.Save(file.c_str(), lfimg::kTypeWMF));
    EXPECT_FALSE(img.Save(file.c_str(), 99));
    EXPECT_EQ(lftest::ReadBytes(file), original);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST_F(LoadSave, SaveIntoAMissingFolderFails)
{
    CLfImage img = MakeImage();
    img.SetLastError("an earlier message");
    EXPECT_FALSE(img.Save((dir / "no" / "such" / "x.bmp").c_str(), lfimg::kTypeBMP));
    // The caller shows the file's own reason, not nothing and not a stale text.
    EXPECT_NE(std::string(img.GetLastError()).find(std::strerror(ENOENT)), std::string::npos) << img.GetLastError();
}

TEST_F(LoadSave, NonAsciiNamesAreUtf8Paths)
{
    CLfImage img = MakeImage();
    const fs::path file = dir / "B\xC3\xA4ume \xE2\x9C\x93.bmp";
    ASSERT_TRUE(img.Save(file.c_str(), lfimg::kTypeBMP));
    CLfImage back(file.c_str(), lfimg::kTypeBMP);
    EXPECT_TRUE(back.IsValid()) << back.GetLastError();
}

}  // namespace
