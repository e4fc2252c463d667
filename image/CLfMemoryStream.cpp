#include "image/CLfMemoryStream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

CLfMemoryStream::CLfMemoryStream()
    // A zero-length block that is still a valid pointer: the stream is open.
    : m_buffer(static_cast<uint8_t*>(std::malloc(1))), m_owns(true)
{
}

CLfMemoryStream::CLfMemoryStream(const uint8_t* buffer, int64_t size)
    : m_buffer(const_cast<uint8_t*>(buffer)), m_size(size), m_owns(buffer == nullptr), m_capacity(size)
{
    if (!m_buffer || size < 0 || size > kMaxSize) {
        m_buffer = nullptr;
        m_size = m_capacity = 0;
    }
}

CLfMemoryStream::~CLfMemoryStream()
{
    Close();
}

bool CLfMemoryStream::Close()
{
    if (m_buffer && m_owns) {
        std::free(m_buffer);
        m_buffer = nullptr;
        m_size = 0;
        m_capacity = 0;
        m_position = 0;
    }
    return true;
}

uint8_t* CLfMemoryStream::Detach()
{
    m_owns = false;
    return m_buffer;
}

size_t CLfMemoryStream::Read(void* buffer, size_t itemSize, size_t count)
{
    if (!m_buffer || !buffer || m_position > m_size || itemSize == 0 || count == 0)
        return 0;
    uint64_t wanted = 0;
    if (__builtin_mul_overflow(uint64_t(itemSize), uint64_t(count), &wanted))
        wanted = UINT64_MAX;
    const uint64_t n = std::min<uint64_t>(wanted, uint64_t(m_size - m_position));
    std::memcpy(buffer, m_buffer + m_position, n);
    m_position += int64_t(n);
    return size_t(n / itemSize);
}

bool CLfMemoryStream::MakeWritable()
{
    if (m_owns)
        return true;
    // The caller's buffer is read-only to us: continue in a copy of our own.
    auto* copy = static_cast<uint8_t*>(std::malloc(size_t(std::max<int64_t>(m_size, 1))));
    if (!copy)
        return false;
    std::memcpy(copy, m_buffer, size_t(m_size));
    m_buffer = copy;
    m_capacity = m_size;
    m_owns = true;
    return true;
}

bool CLfMemoryStream::Grow(int64_t needed)
{
    if (!m_buffer || needed > kMaxSize)
        return false;
    if (needed <= m_capacity)
        return true;
    const int64_t steps = (needed - m_capacity + kGrowStep - 1) / kGrowStep;
    const int64_t capacity = m_capacity + steps * kGrowStep;
    if (!MakeWritable())
        return false;
    auto* grown = static_cast<uint8_t*>(std::realloc(m_buffer, size_t(capacity)));
    if (!grown)
        return false;
    m_buffer = grown;
    m_capacity = capacity;
    return true;
}

size_t CLfMemoryStream::Write(const void* buffer, size_t itemSize, size_t count)
{
    if (!m_buffer || !buffer || itemSize == 0 || count == 0)
        return 0;
    uint64_t n = 0, end = 0;
    if (__builtin_mul_overflow(uint64_t(itemSize), uint64_t(count), &n) ||
        __builtin_add_overflow(uint64_t(m_position), n, &end) || end > uint64_t(kMaxSize))
        return 0;
    if (!Grow(int64_t(end)) || !MakeWritable())
        return 0;
    // A write after a seek past the end: the gap reads as zeros, never as old heap bytes.
    if (m_position > m_size)
        std::memset(m_buffer + m_size, 0, size_t(m_position - m_size));
    std::memcpy(m_buffer + m_position, buffer, size_t(n));
    m_position = int64_t(end);
    m_size = std::max(m_size, m_position);
    return count;
}

bool CLfMemoryStream::Seek(int64_t offset, int origin)
{
    if (!m_buffer)
        return false;
    int64_t base = 0;
    switch (origin) {
    case kSeekSet: base = 0; break;
    case kSeekCur: base = m_position; break;
    case kSeekEnd: base = m_size; break;
    default: return false;
    }
    int64_t pos = 0;
    if (__builtin_add_overflow(base, offset, &pos) || pos < 0 || pos > kMaxSize)
        return false;
    m_position = pos;
    return true;
}

int64_t CLfMemoryStream::Tell()
{
    return m_buffer ? m_position : -1;
}

int64_t CLfMemoryStream::Size()
{
    return m_buffer ? m_size : -1;
}

bool CLfMemoryStream::Flush()
{
    return m_buffer != nullptr;
}

bool CLfMemoryStream::Eof()
{
    return !m_buffer || m_position >= m_size;
}

int32_t CLfMemoryStream::Error()
{
    if (!m_buffer)
        return -1;
    return m_position > m_size ? 1 : 0;
}

bool CLfMemoryStream::PutC(uint8_t byte)
{
    return Write(&byte, 1, 1) == 1;
}

int32_t CLfMemoryStream::GetC()
{
    if (Eof())
        return -1;
    return m_buffer[m_position++];
}
