#include "net/CBase64Coder.h"

#include <cstring>

namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr size_t kLineLength = 72;
}  // namespace

std::string CBase64Coder::EncodeText(const unsigned char* data, size_t length, bool lineBreaks)
{
    std::string text;
    text.reserve((length + 2) / 3 * 4 + (length / 54 + 1) * 2);
    size_t written = 0;
    size_t i = 0;
    for (; i + 3 <= length; i += 3) {
        const unsigned v = (unsigned(data[i]) << 16) | (unsigned(data[i + 1]) << 8) | data[i + 2];
        text += kAlphabet[(v >> 18) & 63];
        text += kAlphabet[(v >> 12) & 63];
        text += kAlphabet[(v >> 6) & 63];
        text += kAlphabet[v & 63];
        written += 4;
        if (lineBreaks && written % kLineLength == 0)
            text += "\r\n";
    }
    if (length - i == 1) {
        const unsigned v = unsigned(data[i]) << 16;
        text += kAlphabet[(v >> 18) & 63];
        text += kAlphabet[(v >> 12) & 63];
        text += "==";
    } else if (length - i == 2) {
        const unsigned v = (unsigned(data[i]) << 16) | (unsigned(data[i + 1]) << 8);
        text += kAlphabet[(v >> 18) & 63];
        text += kAlphabet[(v >> 12) & 63];
        text += kAlphabet[(v >> 6) & 63];
        text += '=';
    }
    return text;
}

size_t CBase64Coder::EncodedSize(int length)
{
    const size_t n = length > 0 ? static_cast<size_t>(length) : 0;
    return (n + 2) / 3 * 4 + n / 54 * 2 + 1;
}

bool CBase64Coder::Encode(const unsigned char* data, int length, char* output)
{
    const std::string text = EncodeText(data, length > 0 ? static_cast<size_t>(length) : 0, true);
    std::memcpy(output, text.c_str(), text.size() + 1);
    return true;
}

std::string CBase64Coder::EncodeMime(const void* data, size_t length)
{
    return EncodeText(static_cast<const unsigned char*>(data), length, true);
}

std::string CBase64Coder::EncodeUnbroken(const void* data, size_t length)
{
    return EncodeText(static_cast<const unsigned char*>(data), length, false);
}
