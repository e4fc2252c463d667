#pragma once
// A stream over a stdio FILE*. The library wraps files that its caller opened and
// will close, so the stream never closes a FILE* it was given.

#include "image/CLfStream.h"

#include <cstdio>

class CLfFileStream : public CLfStream {
public:
    // A regular file longer than kMaxSize is refused: the stream then behaves as
    // closed (IsOpen false) and the caller's FILE* is left alone.
    explicit CLfFileStream(FILE* file);
    ~CLfFileStream() override;

    bool IsOpen() const { return m_file != nullptr; }

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

private:
    FILE* m_file = nullptr;
    bool m_owns = false;
};
