#include "upload/model/UploadCommandRecord.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(UploadCommandRecord, ChunkLengthIsTheNextMultipleOf256AboveHeadAndData)
{
    const struct {
        size_t n, length;
    } cases[] = {{0, 256}, {1, 256}, {231, 256}, {232, 512}, {488, 768}, {10240, 10496}};
    for (const auto& c : cases) {
        EXPECT_EQ(UploadCommandRecord::FileChunkLength(c.n), c.length) << c.n;
        std::string data(c.n, 'x');
        const auto record = UploadCommandRecord::FileChunk(data.data(), c.n);
        ASSERT_EQ(record.size(), c.length);
        EXPECT_EQ(std::string(record.data(), 5), "FILEC");
        EXPECT_EQ(std::string(record.data() + 5), std::to_string(c.n));
        EXPECT_EQ(std::string(record.data() + 24, c.n), data);
        for (size_t i = 24 + c.n; i < record.size(); ++i)
            ASSERT_EQ(record[i], 0) << "byte " << i << " of n=" << c.n;
    }
}

TEST(UploadCommandRecord, TextRecordsAreZeroFilledAndLongTextsRefused)
{
    const auto record = UploadCommandRecord::Text("FILEN", 3000000000LL, "/inbox/a");
    ASSERT_TRUE(record);
    ASSERT_EQ(record->size(), 256u);
    EXPECT_EQ(std::string(record->data(), 5), "FILEN");
    EXPECT_EQ(std::string(record->data() + 5), "3000000000");
    EXPECT_EQ(std::string(record->data() + 24), "/inbox/a");
    for (size_t i = 24 + 8; i < 256; ++i)
        ASSERT_EQ((*record)[i], 0);
    const auto hello = UploadCommandRecord::Text("HELLO", std::nullopt, "1.00");
    for (size_t i = 5; i < 24; ++i)
        ASSERT_EQ((*hello)[i], 0);
    EXPECT_TRUE(UploadCommandRecord::Text("AUTHZ", std::nullopt, std::string(231, 'p')));
    EXPECT_FALSE(UploadCommandRecord::Text("AUTHZ", std::nullopt, std::string(232, 'p')));
}

}  // namespace
