#pragma once
// A stream over a heap buffer: either a caller's buffer that is only read, or an
// owned buffer that grows in 4096-byte steps while an encoder writes into it.

#include "image/CLfStream.h"

class CLfMemoryStream : public CLfStream {
public:
    static constexpr int64_t kGrowStep = 4096;

    // Empty and growing, for encoding into memory.
    CLfMemoryStream();
    // Over a caller's buffer of size bytes, which the stream neither frees nor
    // writes: the first write copies the data into a buffer of its own. A null
    // buffer gives a closed stream; a buffer longer than kMaxSize is refused.
    CLfMemoryStream(const uint8_t* buffer, int64_t size);
    ~CLfMemoryStream() override;

    bool Close() override;
    size_t Read(void* buffer, size_t itemSize, size_t count) override;
    size_t Write(const void* buffer, size_t itemSize, size_t count) override;
    bool Seek(int64_t offset, int origin) override;
    int64_t Tell() override;
    int64_t Size() override;
    bool Flush() override;
    bool Eof() override;
    int32_t Error() override;
    bool PutC(uint8_t byte) override;
    int32_t GetC() override;

    // Makes room for needed bytes; false (buffer unchanged) when that fails or
    // would pass kMaxSize.
    bool Grow(int64_t needed);

    const uint8_t* GetBuffer() const { return m_buffer; }
    int64_t GetCapacity() const { return m_capacity; }
    bool OwnsBuffer() const { return m_owns; }
    // Hands the buffer to the caller, who frees it with std::free; the stream then
    // keeps it attached but no longer owns it.
    uint8_t* Detach();

private:
    bool MakeWritable();

    uint8_t* m_buffer = nullptr;
    int64_t m_size = 0;
    bool m_owns = false;
    int64_t m_position = 0;
    int64_t m_capacity = 0;
};
