#include "platform/Dib.h"
#include "platform/WinTypes.h"

#include <gtest/gtest.h>

#include <array>

TEST(Dib, FileHeaderIsFourteenLittleEndianBytes)
{
    const std::array<uint8_t, 14> bytes = {'B', 'M', 0x36, 0x10, 0x0E, 0x00, 0x01, 0x00,
                                           0x02, 0x00, 0x36, 0x00, 0x00, 0x00};
    BITMAPFILEHEADER h = lfdib::ReadFileHeader(bytes.data());
    EXPECT_EQ(h.bfType, kBitmapFileType);
    EXPECT_EQ(h.bfSize, 0x000E1036u);
    EXPECT_EQ(h.bfReserved1, 1);
    EXPECT_EQ(h.bfReserved2, 2);
    EXPECT_EQ(h.bfOffBits, 54u);

    std::array<uint8_t, 14> out{};
    lfdib::WriteFileHeader(h, out.data());
    EXPECT_EQ(out, bytes);
}

TEST(Dib, InfoHeaderRoundTripsSignedFields)
{
    BITMAPINFOHEADER h;
    h.biSize = 40;
    h.biWidth = 640;
    h.biHeight = -480;  // top-down files carry a negative height
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_BITFIELDS;
    h.biSizeImage = 921600;
    h.biXPelsPerMeter = 3780;
    h.biYPelsPerMeter = -1;
    h.biClrUsed = 256;
    h.biClrImportant = 7;

    std::array<uint8_t, 40> bytes{};
    lfdib::WriteInfoHeader(h, bytes.data());
    EXPECT_EQ(bytes[0], 40);
    EXPECT_EQ(bytes[8], 0x20);  // -480 = 0xFFFFFE20
    EXPECT_EQ(bytes[11], 0xFF);

    BITMAPINFOHEADER back = lfdib::ReadInfoHeader(bytes.data());
    EXPECT_EQ(back.biWidth, 640);
    EXPECT_EQ(back.biHeight, -480);
    EXPECT_EQ(back.biBitCount, 24);
    EXPECT_EQ(back.biCompression, BI_BITFIELDS);
    EXPECT_EQ(back.biSizeImage, 921600u);
    EXPECT_EQ(back.biXPelsPerMeter, 3780);
    EXPECT_EQ(back.biYPelsPerMeter, -1);
    EXPECT_EQ(back.biClrUsed, 256u);
    EXPECT_EQ(back.biClrImportant, 7u);
}

TEST(Dib, CoreHeaderReadsSixteenBitSizes)
{
    const std::array<uint8_t, 12> bytes = {12, 0, 0, 0, 0x34, 0x12, 0x02, 0x00, 1, 0, 8, 0};
    BITMAPCOREHEADER h = lfdib::ReadCoreHeader(bytes.data());
    EXPECT_EQ(h.bcSize, 12u);
    EXPECT_EQ(h.bcWidth, 0x1234);
    EXPECT_EQ(h.bcHeight, 2);
    EXPECT_EQ(h.bcPlanes, 1);
    EXPECT_EQ(h.bcBitCount, 8);
}

TEST(WinTypes, ColorRefPacksRedLowest)
{
    COLORREF c = RGB(123, 142, 148);
    EXPECT_EQ(c, 0x00948E7Bu);
    EXPECT_EQ(GetRValue(c), 123);
    EXPECT_EQ(GetGValue(c), 142);
    EXPECT_EQ(GetBValue(c), 148);
}
