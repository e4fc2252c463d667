#include "image/LfCodecTable.h"

#include "image/CLfMemoryStream.h"
#include "image/LfResources.h"
#include "image/codecs/LfCodecGuard.h"
#include "tests/image/PictureTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <set>
#include <string>

namespace {

TEST(LfCodecTable, ExtensionsName)
{
    struct Case {
        const char* extension;
        uint32_t highest;
        uint32_t type;
    };
    const Case cases[] = {
        {"bmp", lfimg::kTypeCount - 1, lfimg::kTypeBMP}, {"gif", lfimg::kTypeCount - 1, lfimg::kTypeGIF},
        {"jpg", lfimg::kTypeCount - 1, lfimg::kTypeJPG}, {"JPEG", lfimg::kTypeCount - 1, lfimg::kTypeJPG},
        {".png", lfimg::kTypeCount - 1, lfimg::kTypePNG}, {"ico", lfimg::kTypeCount - 1, lfimg::kTypeICO},
        {"tif", lfimg::kTypeCount - 1, lfimg::kTypeTIF}, {"Tiff", lfimg::kTypeCount - 1, lfimg::kTypeTIF},
        {"tga", lfimg::kTypeCount - 1, lfimg::kTypeTGA}, {"pcx", lfimg::kTypeCount - 1, lfimg::kTypePCX},
        {"wbmp", lfimg::kTypeCount - 1, lfimg::kTypeWBMP},
        // The manager lists only the ids up to 9.
        {"wbmp", lfimg::kTypeWBMP, lfimg::kTypeWBMP}, {"tga", lfimg::kTypePNG, lfimg::kTypeUnknown},
        // Names that are no extension of ours, or only part of one.
        {"", lfimg::kTypeCount - 1, 0}, {".", lfimg::kTypeCount - 1, 0}, {"jp", lfimg::kTypeCount - 1, 0},
        {"jpgx", lfimg::kTypeCount - 1, 0}, {"txt", lfimg::kTypeCount - 1, 0}, {"jpg jpeg", lfimg::kTypeCount - 1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lfimg::ImageTypeFromExtension(c.extension, c.highest), c.type)
            << c.extension << " up to " << c.highest;
}

TEST(LfCodecTable, OneEntryPerTypeEachFindable)
{
    std::set<uint32_t> seen;
    for (const lfimg::CodecEntry& entry : lfimg::Codecs()) {
        EXPECT_TRUE(seen.insert(entry.type).second) << "type " << entry.type << " twice";
        EXPECT_EQ(lfimg::FindCodec(entry.type), &entry);
        ASSERT_NE(entry.decode, nullptr);
    }
    EXPECT_EQ(lfimg::FindCodec(lfimg::kTypeUnknown), nullptr);
    EXPECT_EQ(lfimg::FindCodec(lfimg::kTypeCount), nullptr);
}

// Every decoder and encoder of the table answers a null stream the same way,
// and its encoders refuse an image without pixels.
TEST(LfCodecTable, EveryCodecRefusesANullStreamAlike)
{
    for (const lfimg::CodecEntry& entry : lfimg::Codecs()) {
        SCOPED_TRACE(entry.extensions);
        CLfImage target;
        EXPECT_FALSE(entry.decode(target, nullptr, {entry.type, false, entry.frames}));
        EXPECT_STREQ(target.GetLastError(), "null file handler");
        if (!entry.encode)
            continue;
        CLfImage source(4, 4, 8);
        EXPECT_FALSE(entry.encode(source, nullptr, entry.type));
        EXPECT_STREQ(source.GetLastError(), "null file handler");
        CLfImage empty;
        CLfMemoryStream out;
        EXPECT_FALSE(entry.encode(empty, &out, entry.type));
        EXPECT_STREQ(empty.GetLastError(), "null image!!!");
    }
}

// What each format writes, the table's decoder of that format reads back (the
// same type explicitly, and the trial finds the same format).
TEST(LfCodecTable, EveryEncoderIsReadByItsDecoderAndByTheTrial)
{
    for (const lfimg::CodecEntry& entry : lfimg::Codecs()) {
        if (!entry.encode || entry.type == lfimg::kTypeWMF)  // metafiles: the encoder only refuses
            continue;
        SCOPED_TRACE(entry.extensions);
        // WBMP holds two colours, PGX grey levels only.
        CLfImage source(16, 8, entry.type == lfimg::kTypeWBMP ? 1 : entry.type == lfimg::kTypePGX ? 8 : 24);
        if (source.GetBpp() <= 8)
            source.SetGrayPalette();
        uint8_t* buffer = nullptr;
        int64_t size = 0;
        ASSERT_TRUE(source.Encode(buffer, size, entry.type)) << source.GetLastError();
        CLfImage exact;
        EXPECT_TRUE(exact.Decode(buffer, size, entry.type)) << exact.GetLastError();
        EXPECT_EQ(exact.GetWidth(), 16);
        CLfImage trial;
        EXPECT_TRUE(trial.Decode(buffer, size, lfimg::kTypeUnknown));
        // The JPEG-2000 family's class recognises its variants itself, tried once
        // with type 0, which its result carries.
        EXPECT_EQ(trial.GetType(), entry.trial == lfimg::Trial::Yes ? entry.type : uint32_t(lfimg::kTypeUnknown));
        std::free(buffer);
    }
}

TEST(LfCodecGuard, TurnsEveryFailureIntoFalseAndDropsThePixels)
{
    CLfMemoryStream stream;
    struct Case {
        const char* name;
        int raise;  // 0 false with a message, 1 Failure, 2 bad_alloc
        const char* message;
    };
    const Case cases[] = {
        {"false", 0, "said no"},
        {"failure", 1, "raised text"},
        {"bad_alloc", 2, "Can't allocate memory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CLfImage image;
        image.info.frameCount = 3;
        const bool ok = lfcodec::GuardDecode(image, &stream, [&] {
            image.Create(8, 8, 24);
            if (c.raise == 1)
                lfcodec::Fail("raised %s", "text");
            if (c.raise == 2)
                throw std::bad_alloc();
            image.SetLastError("said no");
            return false;
        });
        EXPECT_FALSE(ok);
        EXPECT_FALSE(image.IsValid());
        EXPECT_EQ(image.GetWidth(), 0);
        EXPECT_STREQ(image.GetLastError(), c.message);
        EXPECT_EQ(image.info.frameCount, 3);
    }
}

TEST(LfCodecGuard, WritersOfSeveralImagesNameTheirNullStream)
{
    CLfImage image;
    bool ran = false;
    EXPECT_FALSE(lfcodec::GuardWrite(image, nullptr, "invalid file pointer", [&] { return ran = true; }));
    EXPECT_FALSE(ran);
    EXPECT_STREQ(image.GetLastError(), "invalid file pointer");
    CLfMemoryStream stream;
    EXPECT_FALSE(lfcodec::GuardWrite(image, &stream, "x", []() -> bool { throw std::bad_alloc(); }));
    EXPECT_STREQ(image.GetLastError(), "Can't allocate memory");
}

}  // namespace

namespace {

// The test program embeds a small JPEG as resource "#130" of type "JPG", as the
// editor embeds its logo.
TEST(LoadResource, DecodesAnEmbeddedJpeg)
{
    const lfimg::Resource* logo = lfimg::FindResource("#130", "JPG");
    ASSERT_NE(logo, nullptr);
    EXPECT_GT(logo->size, 100u);
    CLfImage img;
    ASSERT_TRUE(img.LoadResource(logo, lfimg::kTypeJPG)) << img.GetLastError();
    EXPECT_EQ(img.GetWidth(), 24);
    EXPECT_EQ(img.GetHeight(), 16);
    EXPECT_EQ(img.GetType(), lfimg::kTypeJPG);
    // The gradient runs from red at the top to blue at the bottom.
    EXPECT_GT(img.GetPixelColor(12, 15).rgbRed, 200);
    EXPECT_GT(img.GetPixelColor(12, 0).rgbBlue, 200);
    // Any type: the trial finds it too.
    CLfImage trial;
    EXPECT_TRUE(trial.LoadResource(logo, lfimg::kTypeUnknown));
}

TEST(LoadResource, MissingResourcesAreReported)
{
    EXPECT_EQ(lfimg::FindResource("#130", "PNG"), nullptr);
    EXPECT_EQ(lfimg::FindResource("#131", "JPG"), nullptr);
    EXPECT_EQ(lfimg::FindResource(nullptr, "JPG"), nullptr);
    CLfImage img;
    EXPECT_FALSE(img.LoadResource(lfimg::FindResource("#999", "JPG"), lfimg::kTypeJPG));
    EXPECT_STREQ(img.GetLastError(), "Unable to load resource!");
    const lfimg::Resource empty{"#1", "JPG", nullptr, 0};
    img.SetLastError("before");
    EXPECT_FALSE(img.LoadResource(&empty, lfimg::kTypeJPG));
    EXPECT_STREQ(img.GetLastError(), "before");
}

}  // namespace
