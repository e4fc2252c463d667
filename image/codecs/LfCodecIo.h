#pragma once
// Reading and writing helpers of the codecs written here from the first byte
// (BMP, GIF, ICO, TGA, PCX, WBMP). A codec body raises its message with Fail;
// the codec guard (LfCodecGuard.h) turns the text into lastError and a false result. Every length
// read from a file is compared with the bytes the stream still holds before
// it is used, and every write is checked.

#include <cstddef>
#include <cstdint>
#include <string>

class CLfStream;
class CLfImage;

namespace lfcodec {

// The text a codec body raises; caught by the same codec.
struct Failure {
    std::string text;
};

[[noreturn]] void Fail(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Reads exactly count bytes or raises failText.
void ReadExact(CLfStream* stream, void* buffer, size_t count, const char* failText);
// Bytes between the stream position and its end (0 when unknown or past the end).
int64_t BytesLeft(CLfStream* stream);
// Raises failText unless the stream still holds count bytes.
void NeedBytes(CLfStream* stream, uint64_t count, const char* failText);
// Moves the position by offset, raising failText when that leaves the stream.
void Skip(CLfStream* stream, int64_t offset, const char* failText);

// Collects writes and remembers whether any of them came up short.
class Writer {
public:
    explicit Writer(CLfStream* stream) : m_stream(stream) {}
    void Bytes(const void* data, size_t count);
    void Byte(uint8_t value);
    void Le16(uint16_t value);
    void Le32(uint32_t value);
    // Flushes the stream; false when a write or the flush failed.
    bool Finish();
    bool Ok() const { return !m_failed; }

private:
    CLfStream* m_stream;
    bool m_failed = false;
};

// Copies a raised text into the image's lastError.
void SetError(CLfImage& image, const Failure& failure);

}  // namespace lfcodec
