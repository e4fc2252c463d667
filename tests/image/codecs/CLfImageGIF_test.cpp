#include "image/codecs/CLfImageGIF.h"

#include "tests/image/CodecTestUtil.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

using namespace lftest;

namespace {

std::unique_ptr<CLfImage> Palette(int w, int h, uint32_t bpp, int transIndex = -1)
{
    auto img = MakePicture(w, h, bpp);
    img->info.transIndex = transIndex;
    return img;
}

Bytes EncodeGif(CLfImage& img, uint32_t coder)
{
    img.info.codecOption = coder;
    Bytes file;
    std::string error;
    EXPECT_TRUE(EncodeTo<CLfImageGIF>(img, file, &error)) << error;
    return file;
}

// Offsets of the image descriptors of a file written by us (no stray 0x2C:
// walks the blocks).
std::vector<size_t> Descriptors(const Bytes& f)
{
    std::vector<size_t> at;
    size_t p = 13;
    if (f[10] & 0x80)
        p += 3u * (2u << (f[10] & 7));
    while (p < f.size() && f[p] != 0x3B) {
        if (f[p] == 0x21) {
            p += 2;
        } else {
            at.push_back(p);
            const uint8_t packed = f[p + 9];
            p += 10;
            if (packed & 0x80)
                p += 3u * (2u << (packed & 7));
            ++p;  // code size
        }
        while (p < f.size() && f[p] != 0)
            p += 1u + f[p];
        ++p;
    }
    return at;
}

TEST(CLfImageGIF, RoundTripIsExactForEveryDepthCoderAndTransparency)
{
    for (uint32_t bpp : {1u, 4u, 8u}) {
        for (uint32_t coder : {0u, 1u, 2u}) {
            for (int trans : {-1, 1}) {
                for (auto [w, h] : {std::pair{1, 1}, std::pair{7, 5}, std::pair{33, 3}, std::pair{300, 40}}) {
                    SCOPED_TRACE(std::to_string(bpp) + " bits, coder " + std::to_string(coder) + ", trans " +
                                 std::to_string(trans) + ", " + std::to_string(w) + "x" + std::to_string(h));
                    auto img = Palette(w, h, bpp, trans);
                    img->info.frameDelay = 7;
                    const Bytes file = EncodeGif(*img, coder);
                    auto back = DecodeFrom<CLfImageGIF>(file);
                    ASSERT_TRUE(back->IsValid()) << back->GetLastError();
                    EXPECT_EQ(back->GetBpp(), bpp);
                    EXPECT_EQ(back->info.transIndex, trans);
                    EXPECT_EQ(back->info.frameDelay, 7u);
                    EXPECT_EQ(back->info.frameCount, 1);
                    EXPECT_TRUE(SamePicture(*img, *back));
                }
            }
        }
    }
}

TEST(CLfImageGIF, TrueColourRoundTripsThroughTiles)
{
    for (auto [w, h] : {std::pair{1, 1}, std::pair{7, 5}, std::pair{33, 3}, std::pair{40, 20}, std::pair{17, 31}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        auto img = MakePicture(w, h, 24);
        const Bytes file = EncodeGif(*img, 0);
        EXPECT_EQ(size_t(((w + 16) / 17) * ((h + 14) / 15)), Descriptors(file).size());
        auto back = DecodeFrom<CLfImageGIF>(file);
        ASSERT_TRUE(back->IsValid()) << back->GetLastError();
        EXPECT_TRUE(SamePicture(*img, *back));
    }
}

TEST(CLfImageGIF, TilesOfFortyByTwenty)
{
    auto img = MakePicture(40, 20, 24);
    const Bytes file = EncodeGif(*img, 0);
    EXPECT_EQ(file[10], 0x11) << "no global table";
    const auto at = Descriptors(file);
    ASSERT_EQ(at.size(), 6u);
    const int expect[6][4] = {{0, 0, 17, 15}, {17, 0, 17, 15}, {34, 0, 6, 15}, {0, 15, 17, 5}, {17, 15, 17, 5}, {34, 15, 6, 5}};
    for (size_t i = 0; i < 6; ++i) {
        const uint8_t* d = &file[at[i] + 1];
        EXPECT_EQ(d[0] | (d[1] << 8), expect[i][0]);
        EXPECT_EQ(d[2] | (d[3] << 8), expect[i][1]);
        EXPECT_EQ(d[4] | (d[5] << 8), expect[i][2]);
        EXPECT_EQ(d[6] | (d[7] << 8), expect[i][3]);
        EXPECT_EQ(d[8], 0x87) << "256-entry local table";
    }
}

TEST(CLfImageGIF, ScreenHeaderAndControlBlock)
{
    struct Case {
        uint32_t bpp;
        uint8_t packed;
        int codeSize;
    } cases[] = {{1, 0x80, 2}, {4, 0xE3, 4}, {8, 0xE7, 8}};
    for (const auto& c : cases) {
        for (int trans : {-1, 5}) {
            auto img = Palette(3, 2, c.bpp, trans);
            img->info.frameDelay = 0x1234;
            const Bytes f = EncodeGif(*img, 2);
            EXPECT_EQ(std::string(f.begin(), f.begin() + 6), "GIF89a");
            EXPECT_EQ(f[10], c.packed);
            const size_t gce = 13 + 3 * img->GetNumColors();
            ASSERT_GT(f.size(), gce + 18);
            EXPECT_EQ(Bytes(f.begin() + long(gce), f.begin() + long(gce) + 8),
                      (Bytes{0x21, 0xF9, 4, uint8_t(trans < 0 ? 0 : 1), 0x34, 0x12, uint8_t(trans < 0 ? 0xFF : 5), 0}));
            EXPECT_EQ(f[gce + 8 + 10], c.codeSize) << "code size after the descriptor";
        }
    }
}

TEST(CLfImageGIF, CodersDifferInSize)
{
    auto img = Palette(120, 80, 8);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x)
            img->SetPixelIndex(x, y, uint8_t(x / 10 + y / 20));
    const size_t plain = EncodeGif(*img, 1).size();
    const size_t lzw = EncodeGif(*img, 2).size();
    const size_t rle = EncodeGif(*img, 0).size();
    EXPECT_GT(plain, size_t(120 * 80));
    EXPECT_LT(lzw, plain / 5);
    EXPECT_LT(rle, plain / 2);
}

TEST(CLfImageGIF, EncoderFailures)
{
    CLfImage empty;
    Bytes file;
    std::string error;
    EXPECT_FALSE(EncodeTo<CLfImageGIF>(empty, file, &error));
    EXPECT_EQ(error, "null image!!!");

    for (uint32_t bpp : {8u, 24u}) {
        auto img = MakePicture(60, 60, bpp);
        for (size_t limit : {size_t(0), size_t(10), size_t(900)}) {
            CLfImageGIF codec;
            codec.Ghost(img.get());
            ShortWriteStream stream(limit);
            EXPECT_FALSE(codec.Encode(&stream)) << bpp << " bits, " << limit;
            EXPECT_STREQ(codec.GetLastError(), "Write Error in GIF file");
        }
    }
}

TEST(CLfImageGIF, SingleImageIsWrittenAtTheOrigin)
{
    auto img = Palette(5, 4, 8);
    img->info.xOffset = 3;
    img->info.yOffset = 2;
    const Bytes f = EncodeGif(*img, 2);
    const auto at = Descriptors(f);
    ASSERT_EQ(at.size(), 1u);
    EXPECT_EQ(f[at[0] + 1] | f[at[0] + 3], 0);
    EXPECT_TRUE(SamePicture(*img, *DecodeFrom<CLfImageGIF>(f)));
}

TEST(CLfImageGIF, AnimatedFileKeepsEveryFrame)
{
    std::vector<std::unique_ptr<CLfImage>> frames;
    for (int i = 0; i < 3; ++i) {
        frames.push_back(Palette(9, 6, 8));
        frames.back()->SetPixelIndex(i, 0, 200);
        frames.back()->info.frameDelay = uint32_t(10 * (i + 1));
    }
    CLfImage* list[3] = {frames[0].get(), frames[1].get(), frames[2].get()};
    for (bool local : {false, true}) {
        CLfImageGIF writer;
        CLfMemoryStream stream;
        ASSERT_TRUE(writer.Encode(&stream, list, 3, local)) << writer.GetLastError();
        const Bytes f(stream.GetBuffer(), stream.GetBuffer() + stream.Size());
        const std::string text(f.begin(), f.end());
        EXPECT_NE(text.find("NETSCAPE2.0\x03\x01"), std::string::npos);
        for (int i = 0; i < 3; ++i) {
            auto back = DecodeFrom<CLfImageGIF>(f, i);
            ASSERT_TRUE(back->IsValid()) << back->GetLastError();
            EXPECT_EQ(back->info.frameCount, 3);
            EXPECT_EQ(back->info.frameDelay, uint32_t(10 * (i + 1)));
            EXPECT_TRUE(SamePicture(*frames[size_t(i)], *back)) << "frame " << i;
        }
        auto beyond = DecodeFrom<CLfImageGIF>(f, 3);
        EXPECT_FALSE(beyond->IsValid());
        EXPECT_EQ(beyond->info.frameCount, 3) << "the count comes back with the failure";
    }
}

TEST(CLfImageGIF, AnimatedWriterRefusals)
{
    auto a = Palette(4, 4, 8);
    auto big = Palette(8, 8, 8);
    auto rgb = MakePicture(4, 4, 24);
    CLfImage* withNull[2] = {a.get(), nullptr};
    CLfImage* withRgb[2] = {a.get(), rgb.get()};
    CLfImage* tooBig[2] = {a.get(), big.get()};
    CLfImage* one[1] = {a.get()};
    struct Case {
        const char* what;
        bool stream;
        CLfImage** images;
        int count;
        const char* error;
    } cases[] = {
        {"no stream", false, one, 1, "invalid file pointer"},
        {"no images", true, nullptr, 1, "multipage GIF, no images!"},
        {"count 0", true, one, 0, "multipage GIF, no images!"},
        {"null later image", true, withNull, 2, "Bad image pointer"},
        {"true-colour frame", true, withRgb, 2, "multipage GIF frame 1 is not a palette image"},
        {"frame larger than the first", true, tooBig, 2, "multipage GIF frame 1 lies outside the first frame"},
    };
    for (const auto& c : cases) {
        CLfImageGIF writer;
        CLfMemoryStream stream;
        EXPECT_FALSE(writer.Encode(c.stream ? &stream : nullptr, c.images, c.count)) << c.what;
        EXPECT_STREQ(writer.GetLastError(), c.error) << c.what;
    }
}

TEST(CLfImageGIF, LoadSaveAndTrialReachTheCodec)
{
    lftest::TempDir dir;
    const std::string path = (dir / "a.gif").string();
    auto img = Palette(11, 7, 8, 2);
    ASSERT_TRUE(img->Save(path.c_str(), lfimg::kTypeGIF)) << img->GetLastError();
    for (uint32_t type : {uint32_t(lfimg::kTypeGIF), uint32_t(lfimg::kTypeUnknown), uint32_t(lfimg::kTypeBMP)}) {
        CLfImage back(path.c_str(), type);
        ASSERT_TRUE(back.IsValid()) << type << ": " << back.GetLastError();
        EXPECT_EQ(back.GetType(), uint32_t(lfimg::kTypeGIF));
        EXPECT_TRUE(SamePicture(*img, back));
    }

    auto second = Palette(11, 7, 8);
    CLfImage* list[2] = {img.get(), second.get()};
    CLfMemoryStream stream;
    ASSERT_TRUE(img->Encode(&stream, list, 2, lfimg::kTypeGIF)) << img->GetLastError();
    CLfImage frame;
    frame.info.frame = 1;
    ASSERT_TRUE(frame.Decode(stream.GetBuffer(), stream.Size(), lfimg::kTypeGIF)) << frame.GetLastError();
    EXPECT_TRUE(SamePicture(*second, frame));
    CLfImage missing;
    missing.info.frame = 5;
    EXPECT_FALSE(missing.Decode(stream.GetBuffer(), stream.Size(), lfimg::kTypeGIF));
    EXPECT_EQ(missing.info.frameCount, 2);
    EXPECT_STREQ(missing.GetLastError(), "GIF frame 5 not found: the file has 2");
}

// ---------------------------------------------------------------- hostile

// A 4 x 2 GIF with a 4-entry global table; `data` is everything after the
// image descriptor (code size, sub-blocks, terminator).
Bytes SmallGif(const Bytes& data, int left = 0, int top = 0, int w = 4, int h = 2, bool trailer = true)
{
    Bytes f{'G', 'I', 'F', '8', '9', 'a', 4, 0, 2, 0, 0x81, 0, 0};
    f.insert(f.end(), {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255});
    f.insert(f.end(), {0x2C, uint8_t(left), 0, uint8_t(top), 0, uint8_t(w), 0, uint8_t(h), 0, 0});
    f.insert(f.end(), data.begin(), data.end());
    if (trailer)
        f.push_back(0x3B);
    return f;
}

// Codes of 3 bits (code size 2), least significant first.
Bytes Codes(std::initializer_list<int> codes)
{
    Bytes out;
    uint32_t acc = 0;
    int bits = 0;
    for (int c : codes) {
        acc |= uint32_t(c) << bits;
        bits += 3;
        while (bits >= 8) {
            out.push_back(uint8_t(acc));
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits)
        out.push_back(uint8_t(acc));
    Bytes block{2, uint8_t(out.size())};
    block.insert(block.end(), out.begin(), out.end());
    block.push_back(0);
    return block;
}

TEST(CLfImageGIF, HostileFilesAreRefused)
{
    const Bytes good = SmallGif(Codes({4, 1, 2, 3, 0, 1, 2, 3, 0, 5}));
    ASSERT_TRUE(DecodeFrom<CLfImageGIF>(good)->IsValid());
    Bytes noFrames = SmallGif({}, 0, 0, 4, 2, false);
    noFrames.resize(25);
    noFrames.push_back(0x3B);
    struct Case {
        const char* what;
        Bytes data;
        int frame;
        const char* error;
    } cases[] = {
        {"empty", {}, 0, "Not a GIF"},
        {"not GIF8", Bytes{'G', 'I', 'F', '7', '9', 'a', 1, 0, 1, 0, 0, 0, 0}, 0, "Not a GIF"},
        {"table cut", Bytes(good.begin(), good.begin() + 16), 0, "GIF colour table is cut short"},
        {"no frames", noFrames, 0, "GIF frame 0 not found: the file has 0"},
        {"frame beyond the last", good, 1, "GIF frame 1 not found: the file has 1"},
        {"negative frame", good, -1, "GIF frame -1 not found: the file has 1"},
        // Descriptors outside the screen are passed over: no frame is left.
        {"frame outside the screen", SmallGif(Codes({4, 1, 5}), 2, 0), 0, "GIF ends before frame 0"},
        {"frame taller than the screen", SmallGif(Codes({4, 1, 5}), 0, 0, 4, 3), 0, "GIF ends before frame 0"},
        {"frame of width 0", SmallGif(Codes({4, 1, 5}), 0, 0, 0, 2), 0, "GIF ends before frame 0"},
        {"descriptor cut", Bytes(good.begin(), good.begin() + 30), 0, "GIF ends before frame 0"},
    };
    for (const auto& c : cases)
        ExpectRefused<CLfImageGIF>(c.data, c.error, c.what, c.frame);
}

// Damaged image data never fails the decode: the rows decoded before the
// damage stay, the others show the background, and the message says what
// was wrong.
TEST(CLfImageGIF, DamagedDataKeepsTheRowsDecodedSoFar)
{
    struct Case {
        const char* what;
        Bytes data;
        int goodPixels;  // pixels of the top row decoded before the damage
        const char* message;
    } cases[] = {
        {"the first code names its own slot", Codes({4, 6, 6, 5}), 0, "GIF frame 0 names a code beyond its table"},
        {"code beyond the table", Codes({4, 1, 7, 5}), 1, "GIF frame 0 names a code beyond its table"},
        {"code size 12", Bytes{12, 2, 0xFF, 0xFF, 0}, 0, "GIF frame 0 has a code size outside 2 to 11"},
        {"data cut after two codes", Bytes{2, 2, uint8_t(4 | (1 << 3) | (2 << 6)), 0}, 2, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto img = DecodeFrom<CLfImageGIF>(SmallGif(c.data, 0, 0, 4, 2, false));
        ASSERT_TRUE(img->IsValid()) << img->GetLastError();
        EXPECT_EQ(img->GetWidth(), 4);
        EXPECT_STREQ(img->GetLastError(), c.message);
        const uint8_t expect[2] = {1, 2};
        for (int x = 0; x < c.goodPixels; ++x)
            EXPECT_EQ(img->GetPixelIndex(x, 1), expect[x]) << "pixel " << x;
        for (int x = c.goodPixels; x < 4; ++x)
            EXPECT_EQ(img->GetPixelIndex(x, 1), 0) << "background at " << x;
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(img->GetPixelIndex(x, 0), 0) << "background below at " << x;
    }
}

// A descriptor outside the screen takes no frame number; a frame asked for
// beyond the frames reached gives the last one decoded.
TEST(CLfImageGIF, FramesOutsideTheScreenArePassedOver)
{
    Bytes f = SmallGif(Codes({4, 1, 5}), 2, 0, 4, 2, false);  // outside: 2 + 4 > 4
    f.insert(f.end(), {0, 0x2C, 0, 0, 0, 0, 4, 0, 2, 0, 0});
    const Bytes inside = Codes({4, 2, 2, 2, 2, 2, 2, 2, 2, 5});
    f.insert(f.end(), inside.begin(), inside.end());
    f.push_back(0x3B);
    for (int frame : {0, 1}) {
        SCOPED_TRACE(frame);
        auto img = DecodeFrom<CLfImageGIF>(f, frame);
        ASSERT_TRUE(img->IsValid()) << img->GetLastError();
        EXPECT_EQ(img->info.frameCount, 2) << "every descriptor counts";
        EXPECT_EQ(img->GetPixelIndex(0, 1), 2) << "the frame inside the screen";
    }
}

// Extensions before the image: an empty comment (its first sub-block is the
// terminator) must not swallow the image; the loop count comes from any
// application block with data of three bytes or more.
TEST(CLfImageGIF, ExtensionBlocksEndWhereTheySay)
{
    const Bytes id{'A', 'N', 'Y', 'A', 'P', 'P', 'L', 'I', 'C', 'A', 'T'};
    struct Case {
        const char* what;
        Bytes block;
        const char* comment;
        int loops;
    } cases[] = {
        {"empty comment", {0x21, 0xFE, 0}, "", 0},
        {"comment of two sub-blocks, the first kept", {0x21, 0xFE, 2, 'h', 'i', 1, '!', 0}, "hi", 0},
        {"comment then an empty one", {0x21, 0xFE, 1, 'a', 0, 0x21, 0xFE, 0}, "", 0},
        {"loop block of any name", With(With({0x21, 0xFF, 11}, id), {3, 1, 7, 0, 0}), "", 7},
        {"empty application block", With(With({0x21, 0xFF, 11}, id), {0}), "", 0},
        {"unknown extension", {0x21, 0x01, 2, 9, 9, 0}, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes f = SmallGif(Codes({4, 1, 2, 5}));
        f.insert(f.begin() + 25, c.block.begin(), c.block.end());
        auto img = DecodeFrom<CLfImageGIF>(f);
        ASSERT_TRUE(img->IsValid()) << img->GetLastError();
        EXPECT_EQ(img->GetPixelIndex(1, 1), 2) << "the image after the block";
        EXPECT_STREQ(img->GetComment(), c.comment);
        EXPECT_EQ(img->GetLoops(), c.loops);
    }
}

TEST(CLfImageGIF, EveryTruncationIsRefusedOrShowsBackground)
{
    auto img = Palette(30, 20, 8);
    const Bytes whole = EncodeGif(*img, 2);
    for (size_t cut = 0; cut < whole.size(); cut += 7) {
        auto part = DecodeFrom<CLfImageGIF>(Bytes(whole.begin(), whole.begin() + long(cut)));
        if (!part->IsValid()) {
            EXPECT_NE(std::string(part->GetLastError()), "") << "cut at " << cut;
            continue;
        }
        // the rows the data reached are right, the others are index 0 (background)
        int rowsRight = 0;
        for (int y = 19; y >= 0; --y) {
            bool same = true;
            for (int x = 0; x < 30; ++x)
                same = same && part->GetPixelIndex(x, y) == img->GetPixelIndex(x, y);
            if (!same)
                break;
            ++rowsRight;
        }
        for (int y = 19 - rowsRight - 1; y >= 0; --y)
            for (int x = 0; x < 30; ++x)
                ASSERT_EQ(part->GetPixelIndex(x, y), 0) << "cut at " << cut << ", row " << y;
    }
}

TEST(CLfImageGIF, ShortDataLeavesTransparentRows)
{
    // 4 x 2 with transparent index 2: two pixels of data, then the end code
    Bytes gce{0x21, 0xF9, 4, 1, 0, 0, 2, 0};
    Bytes f = SmallGif(Codes({4, 1, 3, 5}));
    f.insert(f.begin() + 25, gce.begin(), gce.end());
    auto img = DecodeFrom<CLfImageGIF>(f);
    ASSERT_TRUE(img->IsValid()) << img->GetLastError();
    EXPECT_EQ(img->info.transIndex, 2);
    EXPECT_EQ(img->GetPixelIndex(0, 1), 1);
    EXPECT_EQ(img->GetPixelIndex(1, 1), 3);
    for (int x = 2; x < 4; ++x)
        EXPECT_EQ(img->GetPixelIndex(x, 1), 2) << "the rest of the row is transparent";
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(img->GetPixelIndex(x, 0), 2) << "the unwritten row is transparent";
}

TEST(CLfImageGIF, CompositionGoesOnPastATileWhoseDataEndsEarly)
{
    // Three tiles of one colour; the middle one loses its data and shows its
    // background, the last one is drawn all the same.
    CLfImage img(51, 15, 24, lfimg::kTypeBMP);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 51; ++x)
            img.SetPixelColor(x, y, RGBQUAD{30, 200, 10, 0});
    const Bytes whole = EncodeGif(img, 0);
    const auto at = Descriptors(whole);
    ASSERT_EQ(at.size(), 3u);
    Bytes f(whole.begin(), whole.begin() + long(at[1] + 10 + 768 + 1));  // descriptor, table, code size
    f.push_back(0);                                                       // no data at all
    f.insert(f.end(), whole.begin() + long(at[2] - 8), whole.end());      // control block, last tile
    auto back = DecodeFrom<CLfImageGIF>(f);
    ASSERT_TRUE(back->IsValid()) << back->GetLastError();
    ASSERT_EQ(back->GetWidth(), 51);
    for (int y = 0; y < 15; ++y) {
        EXPECT_EQ(back->GetPixelColor(5, y).rgbGreen, 200) << "first tile, row " << y;
        EXPECT_EQ(back->GetPixelColor(25, y).rgbGreen, 0) << "the empty tile shows its background, row " << y;
        EXPECT_EQ(back->GetPixelColor(45, y).rgbGreen, 200) << "the tile after the empty one, row " << y;
    }
}

// A control block without the transparency bit leaves the transparent index
// as the blocks before it set it (the counting pass reads them all).
TEST(CLfImageGIF, AControlBlockWithoutTransparencyKeepsTheIndex)
{
    auto a = Palette(4, 4, 8, 3);
    auto b = Palette(4, 4, 8, -1);
    CLfImage* list[2] = {a.get(), b.get()};
    CLfImageGIF writer;
    CLfMemoryStream stream;
    ASSERT_TRUE(writer.Encode(&stream, list, 2));
    const Bytes f(stream.GetBuffer(), stream.GetBuffer() + stream.Size());
    EXPECT_EQ(DecodeFrom<CLfImageGIF>(f, 0)->info.transIndex, 3);
    EXPECT_EQ(DecodeFrom<CLfImageGIF>(f, 1)->info.transIndex, 3);
}

TEST(CLfImageGIF, KeptFramesAreDrawnOverThePreviousOne)
{
    // frame 0: 6 x 4 of index 1; frames 1 and 2: 2 x 2 of index 2 with
    // transparent index 0 in their top-left pixel, at (1, 1) and (4, 2).
    auto base = Palette(6, 4, 8);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            base->SetPixelIndex(x, y, 1);
    std::vector<std::unique_ptr<CLfImage>> frames;
    for (auto [x, y] : {std::pair{1, 1}, std::pair{4, 2}}) {
        frames.push_back(Palette(2, 2, 8, 0));
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i)
                frames.back()->SetPixelIndex(i, j, 2);
        frames.back()->SetPixelIndex(0, 1, 0);
        frames.back()->info.xOffset = x;
        frames.back()->info.yOffset = y;
    }
    CLfImage* list[3] = {base.get(), frames[0].get(), frames[1].get()};
    CLfImageGIF writer;
    writer.SetDisposal(1);
    CLfMemoryStream stream;
    ASSERT_TRUE(writer.Encode(&stream, list, 3));
    const Bytes f(stream.GetBuffer(), stream.GetBuffer() + stream.Size());
    auto img = DecodeFrom<CLfImageGIF>(f, 2);
    ASSERT_TRUE(img->IsValid()) << img->GetLastError();
    ASSERT_EQ(img->GetWidth(), 6);
    const char* expect[4] = {"111111", "112111", "122112", "111122"};  // rows from the top
    for (int r = 0; r < 4; ++r)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(img->GetPixelIndex(x, 3 - r), expect[r][x] - '0') << "row " << r << " column " << x;
}

TEST(CLfImageGIF, ImageMagickReadsOurFiles)
{
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    lftest::TempDir dir;
    const auto path = dir / "out.gif";
    for (uint32_t coder : {0u, 1u, 2u}) {
        for (uint32_t bpp : {1u, 4u, 8u}) {
            auto img = Palette(33, 7, bpp, bpp == 8 ? 4 : -1);
            lftest::WriteBytes(path, EncodeGif(*img, coder));
            EXPECT_EQ(MagickIdentify(path), "GIF 33x7\n") << "coder " << coder << ", " << bpp << " bits";
            EXPECT_TRUE(MatchesMagick(*img, MagickRgba(path))) << "coder " << coder << ", " << bpp << " bits";
        }
    }
    auto rgb = MakePicture(40, 20, 24);
    lftest::WriteBytes(path, EncodeGif(*rgb, 0));
    EXPECT_TRUE(MatchesMagick(*rgb, MagickPixels(path.string(), "-coalesce -delete 0--2", "rgba")));

    std::vector<std::unique_ptr<CLfImage>> frames;
    CLfImage* list[3];
    for (int i = 0; i < 3; ++i) {
        frames.push_back(Palette(9, 6, 8));
        list[i] = frames.back().get();
    }
    CLfImageGIF writer;
    CLfMemoryStream stream;
    ASSERT_TRUE(writer.Encode(&stream, list, 3));
    lftest::WriteBytes(path, Bytes(stream.GetBuffer(), stream.GetBuffer() + stream.Size()));
    EXPECT_EQ(MagickIdentify(path), "GIF 9x6\nGIF 9x6\nGIF 9x6\n");
    EXPECT_NE(RunCommand("identify -verbose '" + path.string() + "[0]'").find("Iterations: 0"), std::string::npos)
        << "the loop block asks for endless repetition";
}

TEST(CLfImageGIF, GeneratedFilesMatchImageMagick)
{
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    for (const char* name : {"static.gif", "transparent.gif", "interlaced.gif", "anim3_loop.gif", "anim3_4colours.gif"}) {
        SCOPED_TRACE(name);
        const auto file = Corpus(std::string("generated/gif/") + name);
        auto img = DecodeFile<CLfImageGIF>(file);
        ASSERT_TRUE(img->IsValid()) << img->GetLastError();
        EXPECT_TRUE(MatchesMagick(*img, MagickRgba(file.string() + "[0]")));
    }
}

// ------------------------------------------------- public conformance suites

std::map<std::string, std::string> ReadConf(const std::filesystem::path& file, const std::string& section)
{
    std::map<std::string, std::string> values;
    std::ifstream in(file);
    std::string line, current;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[') {
            current = line.substr(1, line.find(']') - 1);
            continue;
        }
        const size_t eq = line.find(" = ");
        if (current == section && eq != std::string::npos)
            values[line.substr(0, eq)] = line.substr(eq + 3);
    }
    return values;
}

}  // namespace

namespace {

std::filesystem::path Suite(const std::string& leaf)
{
    return Corpus("gif-pygif/test-suite/" + leaf);
}

// Outcome of decoding frame `frame` of a suite file against its expected picture.
std::string SuiteOutcome(const std::string& name, int frame)
{
    const auto config = ReadConf(Suite(name + ".conf"), "config");
    auto img = DecodeFile<CLfImageGIF>(Suite(config.at("input")), frame);
    if (!img->IsValid())
        return std::string("refused: ") + img->GetLastError();
    std::vector<std::string> frames;
    std::stringstream list(config.at("frames"));
    for (std::string f; std::getline(list, f, ',');)
        frames.push_back(f);
    if (size_t(frame) >= frames.size())
        return "decoded, no expectation";
    const auto expect = ReadConf(Suite(name + ".conf"), frames[size_t(frame)]);
    if (!expect.count("pixels"))
        return "decoded, expectation is a png";
    const Bytes rgba = lftest::ReadBytes(Suite(expect.at("pixels")));
    if (img->GetWidth() != std::stoi(config.at("width")) || img->GetHeight() != std::stoi(config.at("height")))
        return "decoded, frame size " + std::to_string(img->GetWidth()) + "x" + std::to_string(img->GetHeight());
    const auto same = MatchesMagick(*img, rgba);
    return same ? "same" : std::string("differs: ") + same.message();
}

// Files whose expected frames follow rules this decoder does not apply: images
// without a control block of their own shown together, the background and
// restore disposals, frames composed onto the logical screen.
const char* const kOtherFrameModel[] = {
    "image-inside-bg", "images-combine", "images-overlap", "missing-pixels", "invalid-colors", "plain-text",
    "dispose-none", "dispose-restore-background", "dispose-restore-previous", "animation-multi-image",
    "animation-multi-image-explicit-zero-delay",
};
// Files this decoder refuses: no frame, or only empty frames and frames outside
// the screen.
const char* const kRefused[] = {
    "no-data", "zero-width", "zero-height", "zero-size", "image-zero-width", "image-zero-height", "image-zero-size",
    "image-overlap-bg", "image-outside-bg", "max-size",
};
// Damaged image data: decoded with the rows before the damage.
const char* const kDamaged[] = {"invalid-code", "overflow-codes", "overflow-codes-max"};

bool Listed(const char* const* list, size_t n, const std::string& name)
{
    return std::find(list, list + n, name) != list + n;
}

TEST(CLfImageGIF, ConformanceSuiteDecodesExactly)
{
    std::ifstream tests(Suite("TESTS"));
    int checked = 0;
    for (std::string name; std::getline(tests, name);) {
        if (!std::filesystem::exists(Suite(name + ".conf")))
            continue;
        const auto config = ReadConf(Suite(name + ".conf"), "config");
        const std::string& list = config.at("frames");
        const int frames = list.empty() ? 1 : int(std::count(list.begin(), list.end(), ',')) + 1;
        for (int f = 0; f < frames; ++f) {
            const std::string outcome = SuiteOutcome(name, f);
            if (Listed(kRefused, std::size(kRefused), name)) {
                EXPECT_EQ(outcome.rfind("refused: ", 0), 0u) << name << ": " << outcome;
            } else if (Listed(kDamaged, std::size(kDamaged), name)) {
                EXPECT_EQ(outcome.rfind("decoded", 0), 0u) << name << ": " << outcome;
            } else if (Listed(kOtherFrameModel, std::size(kOtherFrameModel), name)) {
                EXPECT_EQ(outcome.rfind("refused", 0), std::string::npos) << name << " frame " << f << ": " << outcome;
            } else {
                EXPECT_EQ(outcome, "same") << name << " frame " << f;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 70);
}

// Frames of the second suite against its composed frames. Frames that keep
// the previous picture come out composed; after the restoring disposals this
// decoder gives the frame by itself, so only frame 0 is compared there.
TEST(CLfImageGIF, AnimationSuiteMatchesItsFrames)
{
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    const std::string kept[] = {"animated_loop", "animated_loop_interlaced", "animated_loop_variable_delay",
                                "animated_noloop", "animated_transparent_frame_norestore_loop"};
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Corpus("gif-peterdn/gifs"))) {
        if (entry.path().extension() != ".gif")
            continue;
        const std::string stem = entry.path().stem().string();
        SCOPED_TRACE(stem);
        const bool allFrames = std::find(std::begin(kept), std::end(kept), stem) != std::end(kept);
        for (int f = 0;; ++f) {
            auto png = Corpus("gif-peterdn/gifs/frames/" + stem + "-" + std::to_string(f) + ".png");
            if (f == 0 && !std::filesystem::exists(png))
                png = Corpus("gif-peterdn/gifs/frames/" + stem + ".png");
            if (!std::filesystem::exists(png) || (f > 0 && !allFrames))
                break;
            auto img = DecodeFile<CLfImageGIF>(entry.path(), f);
            ASSERT_TRUE(img->IsValid()) << img->GetLastError();
            if (stem.find("out_of_bounds") != std::string::npos) {
                // The frames outside the screen are passed over; the first one
                // inside comes out by itself, not on the screen as drawn here.
                EXPECT_EQ(img->GetWidth(), 30);
                EXPECT_EQ(img->GetHeight(), 30);
                break;
            }
            EXPECT_TRUE(MatchesMagick(*img, MagickRgba(png))) << "frame " << f;
            ++compared;
        }
    }
    EXPECT_EQ(compared, 5 * 4 + 2 + 5);
}

}  // namespace
