#include "image/codecs/LfCodecIo.h"
#include "image/codecs/LfCodecGuard.h"

#include "image/CLfImage.h"
#include "image/CLfStream.h"

#include <cstdarg>
#include <cstdio>

namespace lfcodec {

void Fail(const char* format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    throw Failure{text};
}

void ReadExact(CLfStream* stream, void* buffer, size_t count, const char* failText)
{
    if (count == 0)
        return;
    if (stream->Read(buffer, 1, count) != count)
        throw Failure{failText};
}

int64_t BytesLeft(CLfStream* stream)
{
    const int64_t size = stream->Size();
    const int64_t pos = stream->Tell();
    if (size < 0 || pos < 0 || pos > size)
        return 0;
    return size - pos;
}

void NeedBytes(CLfStream* stream, uint64_t count, const char* failText)
{
    if (count > uint64_t(BytesLeft(stream)))
        throw Failure{failText};
}

void Skip(CLfStream* stream, int64_t offset, const char* failText)
{
    if (offset == 0)
        return;
    if (offset < 0 || offset > BytesLeft(stream) || !stream->Seek(offset, 1))
        throw Failure{failText};
}

void Writer::Bytes(const void* data, size_t count)
{
    if (count == 0 || m_failed)
        return;
    if (m_stream->Write(data, 1, count) != count)
        m_failed = true;
}

void Writer::Byte(uint8_t value)
{
    Bytes(&value, 1);
}

void Writer::Le16(uint16_t value)
{
    const uint8_t b[2] = {uint8_t(value), uint8_t(value >> 8)};
    Bytes(b, 2);
}

void Writer::Le32(uint32_t value)
{
    const uint8_t b[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
    Bytes(b, 4);
}

bool Writer::Finish()
{
    if (!m_stream->Flush() || m_stream->Error() != 0)
        m_failed = true;
    return !m_failed;
}

void SetError(CLfImage& image, const Failure& failure)
{
    image.SetLastError(failure.text.c_str());
}

void DropPixels(CLfImage& image)
{
    image.Destroy();
    image.header = BITMAPINFOHEADER{};
    image.info.rowBytes = 0;
}

}  // namespace lfcodec
