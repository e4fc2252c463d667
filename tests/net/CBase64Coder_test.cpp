#include "net/CBase64Coder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Bytes 0, 1, 2, ... so every group differs.
std::vector<unsigned char> Counting(size_t n)
{
    std::vector<unsigned char> bytes(n);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + 3);
    return bytes;
}

}  // namespace

TEST(Base64Coder, PaddingAndLineBreaksByLength)
{
    struct Case {
        size_t length;
        std::vector<size_t> lineLengths;  // characters of each line before its "\r\n"
        std::string tail;                 // the text after the last line break
    };
    // 72 characters per line, a break after each full line, padding on the last group.
    const Case cases[] = {
        {0, {}, ""},
        {1, {}, "Aw=="},
        {2, {}, "Awo="},
        {3, {}, "AwoR"},
        {54, {72}, ""},
        {55, {72}, "fQ=="},
        {108, {72, 72}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const auto bytes = Counting(c.length);
        const std::string text = CBase64Coder::EncodeMime(bytes.data(), bytes.size());
        size_t at = 0;
        for (size_t line : c.lineLengths) {
            const size_t brk = text.find("\r\n", at);
            ASSERT_NE(std::string::npos, brk);
            EXPECT_EQ(line, brk - at);
            at = brk + 2;
        }
        EXPECT_EQ(c.tail, text.substr(at));

        std::vector<char> buffer(CBase64Coder::EncodedSize(static_cast<int>(c.length)));
        CBase64Coder coder;
        EXPECT_TRUE(coder.Encode(bytes.data(), static_cast<int>(bytes.size()), buffer.data()));
        EXPECT_EQ(text, std::string(buffer.data()));
        EXPECT_EQ(text.size() + 1, buffer.size()) << "EncodedSize is exact for these lengths";

        const std::string unbroken = CBase64Coder::EncodeUnbroken(bytes.data(), bytes.size());
        std::string withoutBreaks = text;
        for (size_t p; (p = withoutBreaks.find("\r\n")) != std::string::npos;)
            withoutBreaks.erase(p, 2);
        EXPECT_EQ(withoutBreaks, unbroken);
    }
}

TEST(Base64Coder, KnownTexts)
{
    EXPECT_EQ("dXNlcjpwYXNz", CBase64Coder::EncodeUnbroken("user:pass", 9));
    EXPECT_EQ("Zm9vYg==", CBase64Coder::EncodeUnbroken("foob", 4));
    const unsigned char high[] = {0xFF, 0xFE, 0xFD};
    EXPECT_EQ("//79", CBase64Coder::EncodeUnbroken(high, 3));
}
