#include "image/codecs/CLfGifLzw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

class VecSource : public CLfGifLzw::ByteSource {
public:
    explicit VecSource(const Bytes& b) : m_bytes(b) {}
    int NextByte() override { return m_pos < m_bytes.size() ? m_bytes[m_pos++] : -1; }
    size_t Pos() const { return m_pos; }

private:
    const Bytes& m_bytes;
    size_t m_pos = 0;
};

class VecSink : public CLfGifLzw::ByteSink {
public:
    void WriteBytes(const uint8_t* data, size_t count) override { bytes.insert(bytes.end(), data, data + count); }
    Bytes bytes;
};

class PixelWalk : public CLfGifLzw::PixelSource {
public:
    explicit PixelWalk(const Bytes& p) : m_pixels(p) {}
    int NextPixel() override { return m_pos < m_pixels.size() ? m_pixels[m_pos++] : -1; }

private:
    const Bytes& m_pixels;
    size_t m_pos = 0;
};

class Lines : public CLfGifLzw::LineSink {
public:
    int PutLine(uint8_t* pixels, int count) override
    {
        counts.push_back(count);
        all.insert(all.end(), pixels, pixels + count);
        return stopAfter > 0 && int(counts.size()) >= stopAfter ? 1 : 0;
    }
    Bytes all;
    std::vector<int> counts;
    int stopAfter = 0;
};

enum class Coder { Plain, Lzw, RunLength };

Bytes Encode(Coder coder, int codeSize, const Bytes& pixels)
{
    auto lzw = std::make_unique<CLfGifLzw>();
    PixelWalk walk(pixels);
    VecSink out;
    out.bytes.push_back(uint8_t(codeSize));
    switch (coder) {
    case Coder::Plain: lzw->EncodePlain(codeSize + 1, walk, out); break;
    case Coder::Lzw: lzw->EncodeLzw(codeSize + 1, walk, out); break;
    case Coder::RunLength: lzw->EncodeRunLength(codeSize + 1, walk, out); break;
    }
    out.bytes.push_back(0);  // block terminator
    return out.bytes;
}

struct Decoded {
    int status = 0;
    Lines lines;
    size_t consumed = 0;
};

std::unique_ptr<Decoded> Decode(const Bytes& data, int lineWidth, bool skipRest = true)
{
    auto result = std::make_unique<Decoded>();
    auto lzw = std::make_unique<CLfGifLzw>();
    VecSource src(data);
    result->status = lzw->Decode(src, result->lines, lineWidth);
    if (skipRest)
        lzw->SkipRemainingData(src);
    result->consumed = src.Pos();
    return result;
}

// Packs codes of the given widths least significant bit first into one sub-block.
Bytes PackCodes(int minSize, const std::vector<std::pair<int, int>>& codes)
{
    Bytes payload;
    uint32_t acc = 0;
    int bits = 0;
    for (auto [code, width] : codes) {
        acc |= uint32_t(code) << bits;
        bits += width;
        while (bits >= 8) {
            payload.push_back(uint8_t(acc));
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        payload.push_back(uint8_t(acc));
    Bytes data(payload.size() + 3);
    data[0] = uint8_t(minSize);
    data[1] = uint8_t(payload.size());
    std::copy(payload.begin(), payload.end(), data.begin() + 2);
    return data;  // the last byte is the terminator
}

Bytes Pattern(const std::string& kind, size_t n, int maxValue)
{
    Bytes p(n);
    std::mt19937 rng(1234);
    for (size_t i = 0; i < n; ++i) {
        if (kind == "random")
            p[i] = uint8_t(rng() % (maxValue + 1));
        else if (kind == "constant")
            p[i] = uint8_t(maxValue);
        else if (kind == "runs")  // runs of growing and shrinking length
            p[i] = uint8_t((i / (1 + (i / 97) % 300)) % (maxValue + 1));
        else if (kind == "mixed")
            p[i] = (i / 500) % 2 ? uint8_t(rng() % (maxValue + 1)) : uint8_t(i / 1000 % (maxValue + 1));
    }
    return p;
}

TEST(CLfGifLzw, EveryCoderRoundTripsThroughTheDecoder)
{
    const std::vector<std::string> kinds{"random", "constant", "runs", "mixed"};
    const std::vector<size_t> sizes{0, 1, 2, 7, 300, 5000, 70000};
    for (Coder coder : {Coder::Plain, Coder::Lzw, Coder::RunLength}) {
        for (int codeSize : {2, 4, 8}) {
            const int maxValue = codeSize == 2 ? 1 : (1 << codeSize) - 1;
            for (const auto& kind : kinds) {
                for (size_t n : sizes) {
                    SCOPED_TRACE("coder " + std::to_string(int(coder)) + " size " + std::to_string(codeSize) + " " + kind +
                                 " n " + std::to_string(n));
                    const Bytes pixels = Pattern(kind, n, maxValue);
                    const Bytes data = Encode(coder, codeSize, pixels);
                    auto d = Decode(data, 37);
                    EXPECT_EQ(d->status, CLfGifLzw::kOk);
                    EXPECT_EQ(d->lines.all, pixels);
                    EXPECT_EQ(d->consumed, data.size());
                }
            }
        }
    }
}

TEST(CLfGifLzw, SubBlocksHaveTheCoderLengths)
{
    const Bytes pixels = Pattern("random", 20000, 255);
    for (auto [coder, length] : {std::pair{Coder::Plain, 254}, std::pair{Coder::Lzw, 254}, std::pair{Coder::RunLength, 255}}) {
        const Bytes data = Encode(coder, 8, pixels);
        size_t pos = 1;
        int full = 0;
        while (pos < data.size() && data[pos] != 0) {
            const int n = data[pos];
            if (pos + 1 + n < data.size() && data[pos + 1 + n] != 0) {
                EXPECT_EQ(n, length) << "only the last sub-block may be short";
            }
            full += (n == length);
            pos += 1 + size_t(n);
        }
        EXPECT_EQ(pos, data.size() - 1) << "sub-blocks must end on the terminator";
        EXPECT_GT(full, 0);
    }
}

TEST(CLfGifLzw, CodersCompressAsTheyShould)
{
    const Bytes flat(100 * 100, 3);
    const size_t plain = Encode(Coder::Plain, 8, flat).size();
    const size_t lzw = Encode(Coder::Lzw, 8, flat).size();
    const size_t rle = Encode(Coder::RunLength, 8, flat).size();
    EXPECT_GT(plain, flat.size()) << "plain codes are at least 9 bits a pixel";
    EXPECT_LT(lzw, flat.size() / 20);
    EXPECT_LT(rle, flat.size() / 20) << "runs must use the decoder's own table";
}

TEST(CLfGifLzw, RunCostCountsCodesOfGrowingRuns)
{
    struct Case {
        int n, maxCodes, cost;
    } cases[] = {
        {0, 10, 0}, {1, 10, 1}, {2, 10, 2}, {3, 10, 2}, {4, 10, 3}, {6, 10, 3}, {7, 10, 4},
        {55, 10, 10}, {56, 10, 11}, {7, 2, 5}, {100000, 4000, 447},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CLfGifLzw::RunCost(c.n, c.maxCodes), c.cost) << c.n << " pixels, " << c.maxCodes << " codes";
}

TEST(CLfGifLzw, LinesAreHandedOutWholeThenTheRest)
{
    const Bytes pixels = Pattern("random", 10, 15);
    auto d = Decode(Encode(Coder::Lzw, 4, pixels), 4);
    EXPECT_EQ(d->lines.counts, (std::vector<int>{4, 4, 2}));
    EXPECT_EQ(d->lines.all, pixels);
}

TEST(CLfGifLzw, SinkCanStopDecodingEarly)
{
    const Bytes pixels = Pattern("random", 100, 255);
    const Bytes data = Encode(Coder::Lzw, 8, pixels);
    auto lzw = std::make_unique<CLfGifLzw>();
    VecSource src(data);
    Lines lines;
    lines.stopAfter = 2;
    EXPECT_EQ(lzw->Decode(src, lines, 10), CLfGifLzw::kOk);
    EXPECT_EQ(lines.counts.size(), 2u);
    lzw->SkipRemainingData(src);
    EXPECT_EQ(src.Pos(), data.size()) << "the rest of the data is passed over up to the terminator";
}

TEST(CLfGifLzw, HostileDataIsRefused)
{
    // min code size 2: clear 4, end 5, first free 6, codes start 3 bits wide.
    struct Case {
        const char* what;
        Bytes data;
        int status;
    } cases[] = {
        {"code size 0", PackCodes(0, {{1, 2}}), CLfGifLzw::kBadCodeSize},
        {"code size 1", PackCodes(1, {{2, 2}}), CLfGifLzw::kBadCodeSize},
        {"root beyond a byte", PackCodes(9, {{512, 10}, {300, 10}}), CLfGifLzw::kCodeBeyondTable},
        {"code size 12", PackCodes(12, {{4096, 13}}), CLfGifLzw::kBadCodeSize},
        {"first code names a table entry", PackCodes(2, {{4, 3}, {6, 3}}), CLfGifLzw::kCodeBeyondTable},
        {"code two beyond the next slot", PackCodes(2, {{4, 3}, {1, 3}, {7, 3}}), CLfGifLzw::kCodeBeyondTable},
        {"first code without clear beyond roots", PackCodes(2, {{7, 3}}), CLfGifLzw::kCodeBeyondTable},
    };
    for (const auto& c : cases) {
        auto d = Decode(c.data, 4);
        EXPECT_EQ(d->status, c.status) << c.what;
    }
}

TEST(CLfGifLzw, ShortOrOddDataEndsQuietly)
{
    // clear, 1, 1, 1, 1 (the last one 4 bits wide, filling two bytes) and
    // the data stops without an end code
    const Bytes noEnd = PackCodes(2, {{4, 3}, {1, 3}, {1, 3}, {1, 3}, {1, 4}});
    auto d = Decode(noEnd, 2);
    EXPECT_EQ(d->status, CLfGifLzw::kOk);
    EXPECT_EQ(d->lines.all, (Bytes{1, 1, 1, 1}));
    EXPECT_EQ(d->lines.counts, (std::vector<int>{2, 2}));

    // no clear at the start, the next slot named at once (KwKwK)
    const Bytes noClear = PackCodes(2, {{2, 3}, {6, 3}, {5, 3}});
    d = Decode(noClear, 8);
    EXPECT_EQ(d->status, CLfGifLzw::kOk);
    EXPECT_EQ(d->lines.all, (Bytes{2, 2, 2}));

    // the file ends inside a sub-block
    Bytes cut = Encode(Coder::Lzw, 8, Pattern("random", 1000, 255));
    cut.resize(cut.size() / 2);
    d = Decode(cut, 100);
    EXPECT_EQ(d->status, CLfGifLzw::kOk);
    EXPECT_GT(d->lines.all.size(), 0u);
    EXPECT_LT(d->lines.all.size(), 1000u);
    EXPECT_EQ(d->consumed, cut.size());

    // nothing at all, and a width of 0
    d = Decode(Bytes{}, 4);
    EXPECT_EQ(d->status, CLfGifLzw::kOk);
    EXPECT_TRUE(d->lines.all.empty());
    d = Decode(Encode(Coder::Lzw, 8, Bytes(5, 1)), 0);
    EXPECT_EQ(d->status, CLfGifLzw::kOk);
    EXPECT_TRUE(d->lines.all.empty());
}

TEST(CLfGifLzw, FullTableKeepsDecodingAtTwelveBits)
{
    // A stream that fills the table and goes on without a clear code (a
    // deferred clear): made by coding 4094 distinct pairs by hand.
    std::vector<std::pair<int, int>> codes{{256, 9}};
    Bytes expect;
    int slot = 258, width = 9;
    std::mt19937 rng(7);
    for (int i = 0; i < 6000; ++i) {
        const int v = int(rng() % 256);
        codes.emplace_back(v, width);
        expect.push_back(uint8_t(v));
        if (i > 0 && slot < 4096) {
            ++slot;
            if (slot == (1 << width) && width < 12)
                ++width;
        }
    }
    codes.emplace_back(257, width);
    // spread over sub-blocks of 255 bytes
    Bytes packed = PackCodes(8, codes);
    Bytes payload(packed.begin() + 2, packed.end() - 1);
    Bytes data{8};
    for (size_t pos = 0; pos < payload.size(); pos += 255) {
        const size_t n = std::min<size_t>(255, payload.size() - pos);
        data.push_back(uint8_t(n));
        data.insert(data.end(), payload.begin() + long(pos), payload.begin() + long(pos + n));
    }
    data.push_back(0);
    auto d = Decode(data, 100);
    EXPECT_EQ(d->status, CLfGifLzw::kOk);
    EXPECT_EQ(d->lines.all, expect);
}

}  // namespace
