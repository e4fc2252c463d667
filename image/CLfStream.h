#pragma once
// The byte stream every codec reads and writes, so one decoder serves a file or a
// buffer in memory. Positions and sizes are 64-bit; no stream holds more than
// kMaxSize bytes (a larger file is refused rather than wrapped). Failures are
// result values only: 0 items, false or -1.

#include <cstddef>
#include <cstdint>

class CLfStream {
public:
    // Seek origins (the stdio values).
    static constexpr int kSeekSet = 0;
    static constexpr int kSeekCur = 1;
    static constexpr int kSeekEnd = 2;
    // The largest stream the library handles: 2 GiB - 1 bytes.
    static constexpr int64_t kMaxSize = 0x7FFFFFFF;

    CLfStream() = default;
    CLfStream(const CLfStream&) = delete;
    CLfStream& operator=(const CLfStream&) = delete;
    virtual ~CLfStream() = default;

    virtual bool Close() = 0;
    // Whole items read or written.
    virtual size_t Read(void* buffer, size_t itemSize, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t itemSize, size_t count) = 0;
    virtual bool Seek(int64_t offset, int origin) = 0;
    virtual int64_t Tell() = 0;
    virtual int64_t Size() = 0;
    virtual bool Flush() = 0;
    virtual bool Eof() = 0;
    virtual int32_t Error() = 0;
    virtual bool PutC(uint8_t byte);
    // The byte 0..255, or -1.
    virtual int32_t GetC() = 0;
};
