#include "image/CLfImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct CreateCase {
    int64_t width, height;
    uint32_t bppAsked;
    uint16_t bpp;
    uint32_t colors;
    uint32_t rowBytes;
};
void PrintTo(const CreateCase& c, std::ostream* os)
{
    *os << c.width << "x" << c.height << "@" << c.bppAsked;
}

class CreateTable : public ::testing::TestWithParam<CreateCase> {};

TEST_P(CreateTable, DepthRowBytesAndPalette)
{
    const CreateCase c = GetParam();
    CLfImage img;
    uint8_t* block = img.Create(c.width, c.height, c.bppAsked, lfimg::kTypeBMP);
    ASSERT_NE(block, nullptr) << img.GetLastError();
    EXPECT_EQ(block, img.dib);
    EXPECT_EQ(img.header.biBitCount, c.bpp);
    EXPECT_EQ(img.header.biClrUsed, c.colors);
    EXPECT_EQ(img.info.rowBytes, c.rowBytes);
    EXPECT_EQ(img.header.biSizeImage, c.rowBytes * uint32_t(c.height));
    EXPECT_EQ(img.GetSize(), 40 + 4 * c.colors + c.rowBytes * uint32_t(c.height));
    EXPECT_EQ(img.info.bits, img.dib + 40 + 4 * c.colors);
    EXPECT_EQ(img.info.type, lfimg::kTypeBMP);
    // The block starts with the header as stored bytes; palette and pixels are zero.
    BITMAPINFOHEADER stored = lfdib::ReadInfoHeader(img.dib);
    EXPECT_EQ(stored.biSize, 40u);
    EXPECT_EQ(stored.biWidth, c.width);
    EXPECT_EQ(stored.biHeight, c.height);
    EXPECT_EQ(stored.biPlanes, 1);
    EXPECT_EQ(stored.biBitCount, c.bpp);
    EXPECT_EQ(stored.biClrUsed, c.colors);
    for (uint32_t i = 40; i < img.GetSize(); ++i)
        ASSERT_EQ(img.dib[i], 0) << "byte " << i;
}

INSTANTIATE_TEST_SUITE_P(Depths, CreateTable,
                         ::testing::Values(CreateCase{10, 10, 16, 24, 0, 32}, CreateCase{3, 1, 1, 1, 2, 4},
                                           CreateCase{5, 5, 0, 1, 2, 4}, CreateCase{5, 5, 9, 24, 0, 16},
                                           CreateCase{33, 2, 1, 1, 2, 8}, CreateCase{9, 3, 3, 4, 16, 8},
                                           CreateCase{5, 2, 8, 8, 256, 8}, CreateCase{1, 1, 32, 24, 0, 4},
                                           CreateCase{7, 4, 24, 24, 0, 24}));

struct RefusedSize {
    int64_t width, height;
    uint32_t bpp;
    const char* error;  // null: only refused
};
void PrintTo(const RefusedSize& c, std::ostream* os)
{
    *os << c.width << "x" << c.height << "@" << c.bpp;
}

class CreateRefusals : public ::testing::TestWithParam<RefusedSize> {};

TEST_P(CreateRefusals, LeaveNoImageAndSayWhy)
{
    const RefusedSize c = GetParam();
    CLfImage img(4, 4, 8);
    ASSERT_TRUE(img.IsValid());
    EXPECT_EQ(img.Create(c.width, c.height, c.bpp), nullptr);
    EXPECT_FALSE(img.IsValid());
    EXPECT_EQ(img.GetBits(0), nullptr);
    EXPECT_NE(std::string(img.GetLastError()), "");
    if (c.error) {
        EXPECT_STREQ(img.GetLastError(), c.error);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, CreateRefusals,
    ::testing::Values(RefusedSize{0, 10, 24, nullptr}, RefusedSize{10, 0, 24, nullptr},
                      RefusedSize{-1, 10, 8, nullptr}, RefusedSize{10, -5, 1, nullptr},
                      RefusedSize{70000, 70000, 24, "LFIMAGE_MAX_MEMORY exceeded"},
                      RefusedSize{70000, 70000, 1, "LFIMAGE_MAX_MEMORY exceeded"},
                      RefusedSize{INT64_MAX, 2, 24, "LFIMAGE_MAX_MEMORY exceeded"},
                      RefusedSize{0x100000000LL, 0x100000000LL, 1, "LFIMAGE_MAX_MEMORY exceeded"},
                      RefusedSize{9238, 9238, 24, "LFIMAGE_MAX_MEMORY exceeded"}));

TEST(CLfImageSizeGate, CeilingIsInclusiveAndArithmeticIsChecked)
{
    // 256,000,000 bytes exactly is allowed, one row more is not.
    auto ok = lfimg::CheckPixelBuffer(16000, 16000, 8, 1);
    EXPECT_TRUE(ok.ok());
    EXPECT_EQ(ok.totalBytes, 256000000u);
    EXPECT_EQ(lfimg::CheckPixelBuffer(16000, 16001, 8, 1).fault, lfimg::SizeFault::TooLarge);
    // DIB rows round up to 4 bytes.
    auto dib = lfimg::CheckPixelBuffer(5, 3, 24, 4);
    EXPECT_EQ(dib.rowBytes, 16u);
    EXPECT_EQ(dib.totalBytes, 48u);
    EXPECT_EQ(lfimg::CheckPixelBuffer(3, 1, 1, 1).rowBytes, 1u);
    EXPECT_EQ(lfimg::CheckPixelBuffer(INT64_MAX, INT64_MAX, UINT32_MAX, 4).fault, lfimg::SizeFault::TooLarge);
    EXPECT_EQ(lfimg::CheckPixelBuffer(5, 5, 0, 1).fault, lfimg::SizeFault::BadDimension);

    CLfImage img;
    EXPECT_FALSE(img.CheckSize(-3, 4, 8));
    EXPECT_STREQ(img.GetLastError(), "invalid image size -3 x 4");
    EXPECT_FALSE(img.CheckSize(100000, 100000, 32));
    EXPECT_STREQ(img.GetLastError(), "LFIMAGE_MAX_MEMORY exceeded");
    EXPECT_TRUE(img.CheckSize(640, 480, 32));

    uint64_t out = 7;
    EXPECT_FALSE(lfimg::CheckedMul(UINT64_MAX, 2, out));
    EXPECT_EQ(out, 7u);
    EXPECT_FALSE(lfimg::CheckedAdd(UINT64_MAX, 1, out));
    EXPECT_TRUE(lfimg::CheckedMul(3, 4, out));
    EXPECT_EQ(out, 12u);
}

TEST(CLfImageObject, InitDefaults)
{
    CLfImage img(lfimg::kTypePNG);
    EXPECT_FALSE(img.IsValid());
    EXPECT_EQ(img.info.type, lfimg::kTypePNG);
    EXPECT_EQ(img.info.quality, 85);
    EXPECT_EQ(img.info.alphaMax, 255);
    EXPECT_EQ(img.info.transIndex, -1);
    EXPECT_TRUE(img.info.enabled);
    EXPECT_EQ(img.info.xDpi, 96);
    EXPECT_EQ(img.info.yDpi, 96);
    EXPECT_EQ(img.header.biXPelsPerMeter, 3780);
    EXPECT_EQ(img.header.biYPelsPerMeter, 3780);
    EXPECT_STREQ(img.GetLastError(), "");
    EXPECT_EQ(img.GetSize(), 0u);
    EXPECT_EQ(img.GetBits(), nullptr);

    img.SetXDPI(300);
    EXPECT_EQ(img.header.biXPelsPerMeter, 11811);
    img.SetYDPI(INT32_MAX);  // stays within the header field
    EXPECT_EQ(img.header.biYPelsPerMeter, INT32_MAX);
}

TEST(CLfImageObject, GetBitsRows)
{
    CLfImage img(7, 5, 8);
    ASSERT_TRUE(img.IsValid());
    EXPECT_EQ(img.GetBits(0), img.info.bits);
    EXPECT_EQ(img.GetBits(4), img.info.bits + 4 * 8);
    EXPECT_EQ(img.GetBits(5), nullptr);
    EXPECT_EQ(img.GetBits(UINT32_MAX), nullptr);
}

TEST(CLfImageObject, CreateZeroesPixelsOverAnOldImage)
{
    CLfImage img(8, 8, 8);
    img.Clear(0xAB);
    ASSERT_EQ(img.GetBits()[0], 0xAB);
    img.Create(8, 8, 8);
    for (uint32_t i = 0; i < img.header.biSizeImage; ++i)
        ASSERT_EQ(img.info.bits[i], 0);
}

TEST(CLfImageObject, CopyOwnsEverythingAndHonoursFlags)
{
    CLfImage src(6, 3, 8, lfimg::kTypeGIF);
    src.SetGrayPalette();
    src.SetPixelIndex(2, 1, 77);
    src.info.transIndex = 4;
    src.SetXDPI(200);
    src.AlphaCreate();
    src.AlphaSet(9);
    src.SelectionAddRect(RECT{1, 2, 3, 0});

    CLfImage full(src);
    ASSERT_TRUE(full.IsValid());
    EXPECT_NE(full.dib, src.dib);
    // Palette and pixels as in the source; the stored header is the copy's own.
    EXPECT_EQ(std::memcmp(full.dib + 40, src.dib + 40, src.GetSize() - 40), 0);
    EXPECT_EQ(lfdib::ReadInfoHeader(full.dib).biXPelsPerMeter, full.header.biXPelsPerMeter);
    EXPECT_EQ(full.info.type, lfimg::kTypeGIF);
    EXPECT_EQ(full.info.transIndex, 4);
    EXPECT_EQ(full.info.xDpi, 200);
    EXPECT_EQ(full.header.biXPelsPerMeter, src.header.biXPelsPerMeter);
    ASSERT_NE(full.alpha, nullptr);
    EXPECT_NE(full.alpha, src.alpha);
    EXPECT_EQ(full.AlphaGet(5, 2), 9);
    ASSERT_NE(full.selection, nullptr);
    EXPECT_TRUE(full.SelectionIsInside(2, 1));
    EXPECT_EQ(full.info.selectionBox.right, 3);

    // No pixels, no selection, no alpha: same size, depth and palette only.
    CLfImage bare(src, false, false, false);
    ASSERT_TRUE(bare.IsValid());
    EXPECT_EQ(bare.GetWidth(), 6);
    EXPECT_EQ(bare.GetBpp(), 8u);
    EXPECT_EQ(bare.GetPixelIndex(2, 1), 0);
    EXPECT_EQ(bare.GetPaletteColor(200).rgbRed, 200);
    EXPECT_EQ(bare.alpha, nullptr);
    EXPECT_EQ(bare.selection, nullptr);
}

TEST(CLfImageObject, SelfCopyKeepsThePixels)
{
    CLfImage img(4, 4, 24);
    img.SetPixelColor(1, 1, RGBQUAD{1, 2, 3, 0});
    img.AlphaCreate();
    img.AlphaSet(1, 1, 200);
    img = img;  // operator= ignores itself
    EXPECT_EQ(img.GetPixelColor(1, 1).rgbRed, 3);
    ASSERT_TRUE(img.Copy(img, true, false, true));
    ASSERT_TRUE(img.IsValid());
    EXPECT_EQ(img.GetPixelColor(1, 1).rgbGreen, 2);
    EXPECT_EQ(img.AlphaGet(1, 1), 200);
    ASSERT_TRUE(img.Copy(img, true, false, false));
    EXPECT_EQ(img.alpha, nullptr);  // not asked for, so gone
}

TEST(CLfImageObject, CopyOfAnEmptyImageFails)
{
    CLfImage empty(lfimg::kTypeJPG);
    CLfImage img(3, 3, 8);
    EXPECT_FALSE(img.Copy(empty));
    EXPECT_FALSE(img.IsValid());
    EXPECT_EQ(img.info.type, lfimg::kTypeJPG);
}

TEST(CLfImageObject, TransferMovesEverything)
{
    CLfImage src(5, 5, 24, lfimg::kTypeTGA);
    src.SetXDPI(72);
    src.SetLastError("kept");
    src.AlphaCreate();
    uint8_t* block = src.dib;
    uint8_t* plane = src.alpha;

    CLfImage dst(2, 2, 1);
    dst.Transfer(src);
    EXPECT_EQ(dst.dib, block);
    EXPECT_EQ(dst.alpha, plane);
    EXPECT_EQ(dst.info.type, lfimg::kTypeTGA);
    EXPECT_EQ(dst.info.xDpi, 72);
    EXPECT_STREQ(dst.GetLastError(), "kept");
    EXPECT_EQ(dst.GetWidth(), 5);

    EXPECT_FALSE(src.IsValid());
    EXPECT_EQ(src.alpha, nullptr);
    EXPECT_EQ(src.info.type, 0u);
    EXPECT_EQ(src.info.transIndex, -1);
    EXPECT_EQ(src.GetWidth(), 0);

    dst.Transfer(dst);  // no-op
    EXPECT_EQ(dst.dib, block);
}

TEST(CLfImageObject, GhostSharesAndFreesNothing)
{
    auto owner = std::make_unique<CLfImage>(4, 4, 8, lfimg::kTypeBMP);
    owner->AlphaCreate();
    owner->SelectionCreate();
    {
        CLfImage ghost;
        ghost.Ghost(owner.get());
        EXPECT_EQ(ghost.dib, owner->dib);
        EXPECT_EQ(ghost.alpha, owner->alpha);
        EXPECT_EQ(ghost.selection, owner->selection);
        EXPECT_EQ(ghost.info.ghostOf, owner.get());
        EXPECT_EQ(ghost.info.type, lfimg::kTypeBMP);
        ghost.Destroy();
        EXPECT_EQ(ghost.dib, owner->dib);  // untouched
        ghost.Ghost(nullptr);               // nothing
        EXPECT_EQ(ghost.dib, owner->dib);
    }  // the ghost's destructor frees nothing either
    owner->SetPixelIndex(0, 0, 5);
    EXPECT_EQ(owner->GetPixelIndex(0, 0), 5);

    // Creating on a ghost gives it buffers of its own and no longer aliases.
    CLfImage ghost;
    ghost.Ghost(owner.get());
    ASSERT_NE(ghost.Create(2, 2, 24), nullptr);
    EXPECT_EQ(ghost.info.ghostOf, nullptr);
    EXPECT_NE(ghost.dib, owner->dib);
    EXPECT_EQ(ghost.alpha, nullptr);
    EXPECT_EQ(owner->GetPixelIndex(0, 0), 5);
}

TEST(CLfImageObject, CopyFromAGhostOwnsItsCopy)
{
    CLfImage owner(3, 3, 8);
    CLfImage ghost;
    ghost.Ghost(&owner);
    CLfImage copy(ghost);
    EXPECT_EQ(copy.info.ghostOf, nullptr);
    EXPECT_NE(copy.dib, owner.dib);
}

TEST(CLfImageObject, CopyInfoOnlyIntoEmptyImages)
{
    CLfImage src(2, 2, 8);
    src.info.frame = 3;
    src.info.quality = 40;
    CLfImage empty;
    empty.CopyInfo(src);
    EXPECT_EQ(empty.info.frame, 3);
    EXPECT_EQ(empty.info.quality, 40);
    EXPECT_EQ(empty.info.bits, nullptr);
    CLfImage full(2, 2, 8);
    full.CopyInfo(src);
    EXPECT_EQ(full.info.frame, 0);
}

TEST(CLfImageObject, TransColorAndColorType)
{
    CLfImage img(2, 2, 8);
    img.SetPaletteColor(3, 10, 20, 30, 40);
    img.info.transColor = RGBQUAD{1, 2, 3, 4};
    EXPECT_EQ(img.GetTransColor().rgbBlue, 1);
    img.info.transIndex = 3;
    RGBQUAD t = img.GetTransColor();
    EXPECT_EQ(t.rgbRed, 10);
    EXPECT_EQ(t.rgbReserved, 40);
    img.info.transIndex = 999;  // out of the palette: no entry, no overrun
    EXPECT_EQ(img.GetTransColor().rgbRed, 0);

    EXPECT_EQ(img.GetColorType(), 1);
    img.AlphaCreate();
    EXPECT_EQ(img.GetColorType(), 4);
    CLfImage rgb(2, 2, 24);
    EXPECT_EQ(rgb.GetColorType(), 2);
}

TEST(CLfImageObject, LastErrorIsCutAt255)
{
    CLfImage img;
    const std::string longText(400, 'x');
    img.SetLastError(longText.c_str());
    EXPECT_EQ(std::strlen(img.GetLastError()), 255u);
    img.SetLastErrorF("value %d", 7);
    EXPECT_STREQ(img.GetLastError(), "value 7");
}

TEST(CLfImageObject, FlagsVersionAndClear)
{
    CLfImage img(3, 2, 24);
    img.SetFlags(0x12345678, true);
    EXPECT_EQ(img.info.flags, 0x5678u);
    img.SetFlags(0x12345678);
    EXPECT_EQ(img.info.flags, 0x12345678u);
    EXPECT_STREQ(CLfImage::GetVersion(), "CLfImage 5.80");
    img.Clear(0x11);
    EXPECT_EQ(img.GetBits(1)[11], 0x11);
    EXPECT_TRUE(img.IsInside(2, 1));
    EXPECT_FALSE(img.IsInside(3, 1));
    EXPECT_FALSE(img.IsInside(0, -1));
}

TEST(CLfImageObject, CreateFromArrayAndMatrix)
{
    const uint8_t rows[3][2] = {{0x80, 0xFF}, {0x40, 0xFF}, {0x20, 0xFF}};
    CLfImage img;
    EXPECT_FALSE(img.CreateFromArray(&rows[0][0], 3, 3, 8, 2, false));
    ASSERT_TRUE(img.CreateFromArray(&rows[0][0], 3, 3, 1, 2, false));
    EXPECT_EQ(img.GetPixelIndex(0, 0), 1);
    EXPECT_EQ(img.GetPixelIndex(1, 1), 1);
    EXPECT_EQ(img.GetPixelIndex(0, 1), 0);
    EXPECT_EQ(img.GetPaletteColor(1).rgbRed, 255);
    EXPECT_EQ(img.info.type, 0u);
    ASSERT_TRUE(img.CreateFromArray(&rows[0][0], 3, 3, 1, 2, true));
    EXPECT_EQ(img.GetPixelIndex(0, 2), 1);

    uint8_t r0[1] = {0xC0};
    uint8_t* matrix[2] = {r0, nullptr};  // null rows are skipped
    ASSERT_TRUE(img.CreateFromMatrix(matrix, 2, 2, 1, 1, false));
    EXPECT_EQ(img.GetPixelIndex(1, 0), 1);
    EXPECT_EQ(img.GetPixelIndex(1, 1), 0);
}

}  // namespace
