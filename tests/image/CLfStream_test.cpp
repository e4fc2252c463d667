#include "image/CLfFileStream.h"
#include "image/CLfMemoryStream.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

const uint8_t kSix[6] = {1, 2, 3, 4, 5, 6};

TEST(CLfMemoryStream, ShortReadCountsWholeItems)
{
    CLfMemoryStream s(kSix, 6);
    uint8_t out[40] = {};
    EXPECT_EQ(s.Read(out, 4, 10), 1u);
    EXPECT_EQ(s.Tell(), 6);
    EXPECT_EQ(out[5], 6);
    EXPECT_EQ(s.Read(out, 4, 10), 0u);
    EXPECT_TRUE(s.Eof());
    EXPECT_EQ(s.Error(), 0);
}

TEST(CLfMemoryStream, ReadRefusals)
{
    CLfMemoryStream s(kSix, 6);
    uint8_t out[8];
    EXPECT_EQ(s.Read(nullptr, 1, 4), 0u);
    EXPECT_EQ(s.Read(out, 0, 4), 0u);
    EXPECT_EQ(s.Read(out, 4, 0), 0u);
    EXPECT_EQ(s.Tell(), 0);
    // An item count whose byte total overflows reads what is there.
    EXPECT_EQ(s.Read(out, 2, SIZE_MAX), 3u);
    EXPECT_EQ(s.Tell(), 6);
}

struct SeekCase {
    int64_t start;
    int64_t offset;
    int origin;
    bool ok;
    int64_t position;  // after the call
};
void PrintTo(const SeekCase& c, std::ostream* os)
{
    *os << "from " << c.start << " by " << c.offset << " origin " << c.origin;
}

class MemorySeek : public ::testing::TestWithParam<SeekCase> {};

TEST_P(MemorySeek, Table)
{
    const SeekCase c = GetParam();
    CLfMemoryStream s(kSix, 6);
    ASSERT_TRUE(s.Seek(c.start, CLfStream::kSeekSet));
    EXPECT_EQ(s.Seek(c.offset, c.origin), c.ok);
    EXPECT_EQ(s.Tell(), c.position);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MemorySeek,
    ::testing::Values(SeekCase{2, -1, 0, false, 2}, SeekCase{2, 4, 2, true, 10}, SeekCase{2, 1, 3, false, 2},
                      SeekCase{2, -1, -1, false, 2}, SeekCase{2, 3, 1, true, 5}, SeekCase{2, -3, 1, false, 2},
                      SeekCase{2, -6, 2, true, 0}, SeekCase{2, -7, 2, false, 2},
                      SeekCase{2, INT64_MAX, 1, false, 2}, SeekCase{2, CLfStream::kMaxSize + 1, 0, false, 2}));

TEST(CLfMemoryStream, PastTheEndIsAnErrorAndWritesFillTheGapWithZeros)
{
    CLfMemoryStream s;
    const uint8_t abc[3] = {'a', 'b', 'c'};
    ASSERT_EQ(s.Write(kSix, 1, 6), 6u);
    ASSERT_TRUE(s.Seek(4, CLfStream::kSeekEnd));
    EXPECT_EQ(s.Tell(), 10);
    EXPECT_EQ(s.Error(), 1);
    EXPECT_TRUE(s.Eof());
    EXPECT_EQ(s.GetC(), -1);
    EXPECT_EQ(s.Write(abc, 1, 3), 3u);
    EXPECT_EQ(s.Size(), 13);
    EXPECT_EQ(s.Error(), 0);
    const uint8_t want[13] = {1, 2, 3, 4, 5, 6, 0, 0, 0, 0, 'a', 'b', 'c'};
    EXPECT_EQ(std::memcmp(s.GetBuffer(), want, 13), 0);
}

TEST(CLfMemoryStream, GrowsInSteps)
{
    CLfMemoryStream s;
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(s.GetCapacity(), 0);
    EXPECT_TRUE(s.PutC(0x5A));
    EXPECT_EQ(s.Size(), 1);
    EXPECT_EQ(s.Tell(), 1);
    EXPECT_EQ(s.GetCapacity(), 4096);
    std::vector<uint8_t> block(5000, 7);
    ASSERT_TRUE(s.Seek(0, CLfStream::kSeekSet));
    EXPECT_EQ(s.Write(block.data(), 1000, 5), 5u);
    EXPECT_EQ(s.GetCapacity(), 8192);
    ASSERT_TRUE(s.Seek(0, CLfStream::kSeekSet));
    EXPECT_EQ(s.GetC(), 7);
    // Whole items only when the byte total would pass the ceiling.
    EXPECT_EQ(s.Write(block.data(), SIZE_MAX / 2, 4), 0u);
    EXPECT_EQ(s.Size(), 5000);
}

TEST(CLfMemoryStream, GetCAtTheEndDoesNotMove)
{
    CLfMemoryStream s(kSix, 6);
    ASSERT_TRUE(s.Seek(5, CLfStream::kSeekSet));
    EXPECT_EQ(s.GetC(), 6);
    EXPECT_EQ(s.GetC(), -1);
    EXPECT_EQ(s.Tell(), 6);
}

TEST(CLfMemoryStream, CallersBufferIsNeverWrittenOrFreed)
{
    uint8_t mine[6] = {1, 2, 3, 4, 5, 6};
    {
        CLfMemoryStream s(mine, 6);
        EXPECT_FALSE(s.OwnsBuffer());
        ASSERT_TRUE(s.Seek(2, CLfStream::kSeekSet));
        EXPECT_TRUE(s.PutC(99));  // inside the old size: goes to a copy
        EXPECT_TRUE(s.OwnsBuffer());
        const uint8_t more[8] = {};
        EXPECT_EQ(s.Write(more, 1, 8), 8u);  // and grows past it
        EXPECT_EQ(s.Size(), 11);
        ASSERT_TRUE(s.Seek(2, CLfStream::kSeekSet));
        EXPECT_EQ(s.GetC(), 99);
        EXPECT_TRUE(s.Close());
    }
    EXPECT_EQ(mine[2], 3);
}

TEST(CLfMemoryStream, DetachHandsTheBufferOver)
{
    uint8_t* data = nullptr;
    int64_t size = 0;
    {
        CLfMemoryStream s;
        ASSERT_EQ(s.Write("xyz", 1, 3), 3u);
        size = s.Size();
        data = s.Detach();
    }
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(size, 3);
    EXPECT_EQ(std::memcmp(data, "xyz", 3), 0);
    std::free(data);
}

TEST(CLfMemoryStream, CloseFreesOwnedAndKeepsForeign)
{
    CLfMemoryStream grown;
    grown.PutC(1);
    EXPECT_TRUE(grown.Close());
    EXPECT_EQ(grown.Size(), -1);
    CLfMemoryStream foreign(kSix, 6);
    EXPECT_TRUE(foreign.Close());
    EXPECT_EQ(foreign.Size(), 6);
}

TEST(CLfStreams, NullFileOrBufferGivesTheClosedResults)
{
    CLfFileStream file(nullptr);
    CLfMemoryStream memory(nullptr, 10);
    uint8_t b[4] = {};
    CLfStream* streams[2] = {&file, &memory};
    for (CLfStream* s : streams) {
        EXPECT_EQ(s->Read(b, 1, 4), 0u);
        EXPECT_EQ(s->Write(b, 1, 4), 0u);
        EXPECT_FALSE(s->Seek(0, CLfStream::kSeekSet));
        EXPECT_FALSE(s->Flush());
        EXPECT_EQ(s->Size(), -1);
        EXPECT_TRUE(s->Eof());
        EXPECT_EQ(s->Error(), -1);
        EXPECT_EQ(s->GetC(), -1);
        EXPECT_FALSE(s->PutC(1));
        EXPECT_TRUE(s->Close());
    }
    EXPECT_EQ(file.Tell(), 0);
    EXPECT_EQ(memory.Tell(), -1);
}

TEST(CLfFileStream, SizeKeepsThePositionAndCloseLeavesForeignFiles)
{
    lftest::TempDir dir;
    const auto path = dir / "six.bin";
    lftest::WriteBytes(path, std::vector<uint8_t>(kSix, kSix + 6));
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    {
        CLfFileStream s(f);
        EXPECT_TRUE(s.IsOpen());
        ASSERT_TRUE(s.Seek(2, CLfStream::kSeekSet));
        EXPECT_EQ(s.Size(), 6);
        EXPECT_EQ(s.Tell(), 2);
        EXPECT_EQ(s.GetC(), 3);
        uint8_t out[8] = {};
        EXPECT_EQ(s.Read(out, 2, 4), 1u);  // 3 bytes left: one whole item
        EXPECT_TRUE(s.Eof());
        EXPECT_EQ(s.GetC(), -1);
        EXPECT_TRUE(s.Close());
    }
    // Neither Close nor the destructor closed the caller's FILE*.
    EXPECT_EQ(std::fseek(f, 0, SEEK_SET), 0);
    EXPECT_EQ(std::fgetc(f), 1);
    std::fclose(f);
}

TEST(CLfFileStream, WritesThrough)
{
    lftest::TempDir dir;
    const auto path = dir / "out.bin";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    {
        CLfFileStream s(f);
        EXPECT_EQ(s.Write("ab", 1, 2), 2u);
        EXPECT_TRUE(s.PutC('c'));
        EXPECT_TRUE(s.Flush());
        EXPECT_EQ(s.Tell(), 3);
        EXPECT_EQ(s.Error(), 0);
    }
    std::fclose(f);
    EXPECT_EQ(lftest::ReadText(path), "abc");
}

TEST(CLfFileStream, FileOver2GiBIsRefused)
{
    lftest::TempDir dir;
    const auto path = dir / "huge.bin";
    FILE* f = std::fopen(path.c_str(), "w+b");
    ASSERT_NE(f, nullptr);
    // A sparse file: no disk space is used.
    ASSERT_EQ(ftruncate(fileno(f), int64_t(CLfStream::kMaxSize) + 2), 0);
    {
        CLfFileStream s(f);
        EXPECT_FALSE(s.IsOpen());
        EXPECT_EQ(s.Size(), -1);
        uint8_t b;
        EXPECT_EQ(s.Read(&b, 1, 1), 0u);
    }
    // Exactly the ceiling is accepted, and its size reads back unwrapped.
    ASSERT_EQ(ftruncate(fileno(f), CLfStream::kMaxSize), 0);
    {
        CLfFileStream s(f);
        EXPECT_TRUE(s.IsOpen());
        EXPECT_EQ(s.Size(), CLfStream::kMaxSize);
        ASSERT_TRUE(s.Seek(-1, CLfStream::kSeekEnd));
        EXPECT_EQ(s.Tell(), CLfStream::kMaxSize - 1);
    }
    std::fclose(f);
}

}  // namespace
