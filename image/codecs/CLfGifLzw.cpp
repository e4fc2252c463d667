#include "image/codecs/CLfGifLzw.h"

#include <algorithm>
#include <cstring>
#include <new>

CLfGifLzw::CLfGifLzw()
{
    std::fill(std::begin(m_suffix), std::end(m_suffix), uint8_t(0));
    std::fill(std::begin(m_prefix), std::end(m_prefix), uint16_t(0));
    std::fill(std::begin(m_first), std::end(m_first), uint8_t(0));
    std::fill(std::begin(m_length), std::end(m_length), uint16_t(0));
    std::fill(std::begin(m_packet), std::end(m_packet), uint8_t(0));
    std::fill(std::begin(m_hashTable), std::end(m_hashTable), -1);
    std::fill(std::begin(m_codeTable), std::end(m_codeTable), uint16_t(0));
    std::fill(std::begin(m_block), std::end(m_block), uint8_t(0));
}

// ---------------------------------------------------------------- decoding

void CLfGifLzw::InitDecoder(int minCodeSize)
{
    m_minCodeSize = minCodeSize;
    m_clearCode = 1 << minCodeSize;
    m_endCode = m_clearCode + 1;
    m_firstFree = m_clearCode + 2;
    ResetTable();
    // Roots stand for themselves: one byte, their own first byte.
    for (int c = 0; c < m_clearCode; ++c) {
        m_suffix[c] = uint8_t(c);
        m_first[c] = uint8_t(c);
        m_length[c] = 1;
        m_prefix[c] = 0;
    }
    m_prev = -1;
    m_bitBuf = 0;
    m_bitCount = 0;
    m_pos = 0;
    m_pendingCode = -1;
    m_pendingFrom = 0;
    m_done = false;
    m_status = kOk;
}

void CLfGifLzw::ResetTable()
{
    m_codeSize = m_minCodeSize + 1;
    m_sizeLimit = 1 << m_codeSize;
    m_slot = m_firstFree;
}

void CLfGifLzw::Start(const uint8_t* codes, size_t size, int minCodeSize)
{
    m_data = codes;
    m_size = size;
    if (minCodeSize < 2 || minCodeSize > kMaxMinCodeSize) {
        m_minCodeSize = minCodeSize;
        m_done = true;
        m_status = kBadCodeSize;
        m_pendingCode = -1;
        return;
    }
    InitDecoder(minCodeSize);
}

// Writes count bytes of code c's string, starting at its byte from, to dest.
void CLfGifLzw::WriteString(int c, int from, int count, uint8_t* dest) const
{
    for (int skip = m_length[c] - from - count; skip > 0; --skip)
        c = m_prefix[c];
    for (uint8_t* p = dest + count - 1; p >= dest; --p) {
        *p = m_suffix[c];
        c = m_prefix[c];
    }
}

size_t CLfGifLzw::Run(uint8_t* out, size_t capacity)
{
    size_t pos = 0;
    // The rest of a string that did not fit last time.
    if (m_pendingCode >= 0 && capacity > 0) {
        const int left = m_length[m_pendingCode] - m_pendingFrom;
        const int n = int(std::min<size_t>(size_t(left), capacity));
        WriteString(m_pendingCode, m_pendingFrom, n, out);
        pos = size_t(n);
        m_pendingFrom += n;
        if (m_pendingFrom >= m_length[m_pendingCode])
            m_pendingCode = -1;
    }
    const uint8_t* data = m_data;
    const size_t size = m_size;
    size_t in = m_pos;
    uint64_t bits = m_bitBuf;
    int count = m_bitCount;
    int codeSize = m_codeSize;
    uint32_t mask = (1u << codeSize) - 1;
    while (!m_done && m_pendingCode < 0 && pos < capacity) {
        if (count < codeSize) {
            if (in + 8 <= size) {
                uint64_t word;
                std::memcpy(&word, data + in, 8);  // little-endian, as the codes are packed
                bits |= word << count;
                in += size_t(63 - count) >> 3;
                count |= 56;
            } else {
                while (count <= 56 && in < size) {
                    bits |= uint64_t(data[in++]) << count;
                    count += 8;
                }
                if (count < codeSize) {
                    m_done = true;  // the data ends: not an error
                    break;
                }
            }
        }
        const int code = int(bits & mask);
        bits >>= codeSize;
        count -= codeSize;
        if (code == m_clearCode) {
            ResetTable();
            codeSize = m_codeSize;
            mask = (1u << codeSize) - 1;
            m_prev = -1;
            continue;
        }
        if (code == m_endCode) {
            m_done = true;
            break;
        }
        if (m_prev < 0) {
            if (code > m_clearCode || code > 0xFF) {  // a root must be a pixel value
                m_done = true;
                m_status = kCodeBeyondTable;
                break;
            }
        } else {
            // Only the slot about to be filled may be named before it exists.
            if (code > m_slot || (code == m_slot && m_slot >= kMaxCodes) || (code < m_clearCode && code > 0xFF)) {
                m_done = true;
                m_status = kCodeBeyondTable;
                break;
            }
            if (m_slot < kMaxCodes) {
                const int slot = m_slot;
                m_prefix[slot] = uint16_t(m_prev);
                m_suffix[slot] = m_first[code < slot ? code : m_prev];
                m_first[slot] = m_first[m_prev];
                m_length[slot] = uint16_t(m_length[m_prev] + 1);
                ++m_slot;
                if (m_slot >= m_sizeLimit && codeSize < 12) {
                    ++codeSize;
                    m_codeSize = codeSize;
                    m_sizeLimit <<= 1;
                    mask = (1u << codeSize) - 1;
                }
            }
        }
        m_prev = code;
        const int length = m_length[code];
        if (size_t(length) <= capacity - pos) {
            // The whole string, written from its last byte back.
            uint8_t* p = out + pos + length - 1;
            int c = code;
            for (int i = 0; i < length; ++i) {
                *p-- = m_suffix[c];
                c = m_prefix[c];
            }
            pos += size_t(length);
        } else {
            const int n = int(capacity - pos);
            WriteString(code, 0, n, out + pos);
            pos = capacity;
            m_pendingCode = code;
            m_pendingFrom = n;
        }
    }
    m_pos = in;
    m_bitBuf = bits;
    m_bitCount = count;
    return pos;
}

int CLfGifLzw::Decode(ByteSource& source, LineSink& sink, int lineWidth)
{
    m_linesDone = 0;
    const int minSize = source.NextByte();
    if (minSize < 0)
        return kOk;
    // The sub-blocks up to the terminator (or the end of the data) in one run.
    m_gathered.clear();
    for (;;) {
        const int n = source.NextByte();
        if (n <= 0)
            break;
        bool cut = false;
        for (int i = 0; i < n; ++i) {
            const int b = source.NextByte();
            if (b < 0) {
                cut = true;
                break;
            }
            m_gathered.push_back(uint8_t(b));
        }
        if (cut)
            break;
    }
    Start(m_gathered.data(), m_gathered.size(), minSize);
    if (m_status != kOk)
        return m_status;
    if (lineWidth <= 0)
        return kOk;
    std::vector<uint8_t> line(size_t(lineWidth) + 1);
    for (;;) {
        const size_t got = Run(line.data(), size_t(lineWidth));
        if (got == 0)
            break;
        const int put = sink.PutLine(line.data(), int(got));
        ++m_linesDone;
        if (put < 0)
            return put;
        if (put > 0 || got < size_t(lineWidth))
            break;
    }
    return m_status;
}

void CLfGifLzw::SkipRemainingData(ByteSource&)
{
    // Decode has read the data up to its terminator already.
}

// ---------------------------------------------------- plain and hashed LZW

void CLfGifLzw::StartCodes(int initBits, ByteSink& out)
{
    m_out = &out;
    m_initBits = initBits;
    m_width = initBits;
    m_encClear = 1 << (initBits - 1);
    m_encEnd = m_encClear + 1;
    m_nextFree = m_encClear + 2;
    m_maxCode = (1 << initBits) - 1;
    m_clearFlag = false;
    m_accum = 0;
    m_accumBits = 0;
    m_packetCount = 0;
}

void CLfGifLzw::PacketByte(uint8_t byte)
{
    m_packet[m_packetCount++] = byte;
    if (m_packetCount >= 254)
        FlushPacket();
}

void CLfGifLzw::WriteSubBlock(const uint8_t* data, int& count)
{
    if (count > 0) {
        const uint8_t length = uint8_t(count);
        m_out->WriteBytes(&length, 1);
        m_out->WriteBytes(data, size_t(count));
        count = 0;
    }
}

void CLfGifLzw::FlushPacket()
{
    WriteSubBlock(m_packet, m_packetCount);
}

void CLfGifLzw::OutputCode(int code)
{
    m_accum |= uint32_t(code) << m_accumBits;
    m_accumBits += m_width;
    while (m_accumBits >= 8) {
        PacketByte(uint8_t(m_accum & 0xFF));
        m_accum >>= 8;
        m_accumBits -= 8;
    }
    // The width follows the decoder's table, which is one entry behind.
    if (m_nextFree > m_maxCode || m_clearFlag) {
        if (m_clearFlag) {
            m_width = m_initBits;
            m_maxCode = (1 << m_width) - 1;
            m_clearFlag = false;
        } else {
            ++m_width;
            m_maxCode = (m_width >= 12) ? kMaxCodes : (1 << m_width) - 1;
        }
    }
    if (code == m_encEnd) {
        while (m_accumBits > 0) {
            PacketByte(uint8_t(m_accum & 0xFF));
            m_accum >>= 8;
            m_accumBits -= 8;
        }
        m_accum = 0;
        m_accumBits = 0;
        FlushPacket();
    }
}

void CLfGifLzw::EncodePlain(int initBits, PixelSource& pixels, ByteSink& out)
{
    StartCodes(initBits, out);
    int ent = pixels.NextPixel();
    OutputCode(m_encClear);
    while (ent >= 0) {
        const int c = pixels.NextPixel();
        OutputCode(ent);
        ent = c;
        if (m_nextFree < kMaxCodes) {
            ++m_nextFree;
        } else {
            m_nextFree = m_encClear + 2;
            m_clearFlag = true;
            OutputCode(m_encClear);
        }
    }
    OutputCode(m_encEnd);
}

void CLfGifLzw::EncodeLzw(int initBits, PixelSource& pixels, ByteSink& out)
{
    StartCodes(initBits, out);
    int ent = pixels.NextPixel();
    std::fill(std::begin(m_hashTable), std::end(m_hashTable), -1);
    OutputCode(m_encClear);
    if (ent < 0) {
        OutputCode(m_encEnd);
        return;
    }
    for (int c = pixels.NextPixel(); c >= 0; c = pixels.NextPixel()) {
        c &= 0xFF;
        const int32_t key = (int32_t(c) << 12) + ent;
        int i = (c << 4) ^ ent;
        if (m_hashTable[i] == key) {
            ent = m_codeTable[i];
            continue;
        }
        if (m_hashTable[i] >= 0) {
            const int step = (i == 0) ? 1 : kHashSize - i;
            bool found = false;
            do {
                i -= step;
                if (i < 0)
                    i += kHashSize;
                if (m_hashTable[i] == key) {
                    found = true;
                    break;
                }
            } while (m_hashTable[i] > 0);
            if (found) {
                ent = m_codeTable[i];
                continue;
            }
        }
        OutputCode(ent);
        ent = c;
        if (m_nextFree < kMaxCodes) {
            m_codeTable[i] = uint16_t(m_nextFree++);
            m_hashTable[i] = key;
        } else {
            std::fill(std::begin(m_hashTable), std::end(m_hashTable), -1);
            m_nextFree = m_encClear + 2;
            m_clearFlag = true;
            OutputCode(m_encClear);
        }
    }
    OutputCode(ent);
    OutputCode(m_encEnd);
}

// ------------------------------------------------------ run-length coder
//
// Sends runs through strings the decoder builds for itself: right after a
// clear code, the codes p, base, base+1, ... name runs of p of length 1, 2,
// 3, ..., each the table entry the decoder is adding at that moment. The
// table never fills, so any LZW decoder reads the result.

int CLfGifLzw::RunCost(int n, int maxCodes)
{
    if (n <= 0 || maxCodes <= 0)
        return 0;
    const int64_t per = int64_t(maxCodes) * (maxCodes + 1) / 2;
    int64_t cost = (int64_t(n) / per) * maxCodes;
    const int64_t r = int64_t(n) % per;
    if (r > 0) {
        // smallest k with k(k+1) >= 2r, from an integer square root
        const int64_t twoR = 2 * r;
        int64_t k = 1;
        while (k * k < twoR)
            k <<= 1;
        for (;;) {  // Newton steps down to floor(sqrt(2r))
            const int64_t next = (k + twoR / k) / 2;
            if (next >= k)
                break;
            k = next;
        }
        while (k * (k + 1) < twoR)
            ++k;
        while (k > 1 && (k - 1) * k >= twoR)
            --k;
        cost += k;
    }
    return int(std::min<int64_t>(cost, 0x7FFFFFFF));
}

void CLfGifLzw::FlushRunBlock()
{
    WriteSubBlock(m_block, m_blockLength);
}

void CLfGifLzw::EmitRunCode(int code)
{
    m_runBits |= uint32_t(code) << m_runBitCount;
    m_runBitCount += m_outWidth;
    while (m_runBitCount >= 8) {
        m_block[m_blockLength++] = uint8_t(m_runBits & 0xFF);
        if (m_blockLength >= 255)
            FlushRunBlock();
        m_runBits >>= 8;
        m_runBitCount -= 8;
    }
}

void CLfGifLzw::ResetCoder()
{
    m_outWidth = m_initBits;
    m_bumpPoint = m_initBumpPoint;
    m_clearPoint = m_initClearPoint;
    m_outCount = 0;
    m_tableLength = 0;
    m_justCleared = true;
}

void CLfGifLzw::ResetClearPoint()
{
    m_clearPoint = m_initClearPoint;
    if (m_outCount >= m_clearPoint) {
        EmitRunCode(m_encClear);
        ResetCoder();
    }
}

void CLfGifLzw::PlainOutput(int code)
{
    m_justCleared = false;
    EmitRunCode(code);
    ++m_outCount;
    if (m_outCount == m_bumpPoint) {
        m_bumpPoint += 1 << m_outWidth;
        ++m_outWidth;
    }
    if (m_outCount == m_clearPoint) {
        EmitRunCode(m_encClear);
        ResetCoder();
    }
}

void CLfGifLzw::FlushFromClear(int n)
{
    m_clearPoint = m_maxOutCodes;
    m_tablePixel = m_runPixel;
    int k = 1;
    while (n > 0) {
        if (k == 1) {
            m_tableLength = 1;
            PlainOutput(m_runPixel);
            --n;
        } else if (n >= k) {
            m_tableLength = k;
            PlainOutput(m_baseCode + k - 2);
            n -= k;
        } else if (n == 1) {
            ++m_tableLength;
            PlainOutput(m_runPixel);
            n = 0;
        } else {
            ++m_tableLength;
            PlainOutput(m_baseCode + n - 2);
            n = 0;
        }
        k = (m_outCount == 0) ? 1 : k + 1;
    }
    ResetClearPoint();
}

void CLfGifLzw::FlushClearOrRepeat(int n)
{
    if (1 + RunCost(n, m_maxOutCodes) < n) {
        EmitRunCode(m_encClear);
        ResetCoder();
        FlushFromClear(n);
        return;
    }
    for (int i = 0; i < n; ++i)
        PlainOutput(m_runPixel);
}

void CLfGifLzw::FlushWithTable(int n)
{
    int repeats = n / m_tableLength;
    int leftover = n % m_tableLength;
    int extra = leftover > 0 ? 1 : 0;
    if (m_outCount + repeats + extra > m_maxOutCodes) {
        repeats = m_maxOutCodes - m_outCount;
        leftover = n - repeats * m_tableLength;
        extra = 1 + RunCost(leftover, m_maxOutCodes);
    }
    if (1 + RunCost(n, m_maxOutCodes) < repeats + extra) {
        EmitRunCode(m_encClear);
        ResetCoder();
        FlushFromClear(n);
        return;
    }
    m_clearPoint = m_maxOutCodes;
    for (int i = 0; i < repeats; ++i)
        PlainOutput(m_baseCode + m_tableLength - 2);
    if (leftover > 0) {
        if (m_justCleared)
            FlushFromClear(leftover);
        else if (leftover == 1)
            PlainOutput(m_runPixel);
        else
            PlainOutput(m_baseCode + leftover - 2);
    }
    ResetClearPoint();
}

void CLfGifLzw::FlushRun(int n)
{
    if (n == 1)
        PlainOutput(m_runPixel);
    else if (m_justCleared)
        FlushFromClear(n);
    else if (m_tableLength < 2 || m_tablePixel != m_runPixel)
        FlushClearOrRepeat(n);
    else
        FlushWithTable(n);
    m_runLength = 0;
}

void CLfGifLzw::EncodeRunLength(int initBits, PixelSource& pixels, ByteSink& out)
{
    m_out = &out;
    m_initBits = initBits;
    m_encClear = 1 << (initBits - 1);
    m_encEnd = m_encClear + 1;
    m_baseCode = m_encClear + 2;
    m_initBumpPoint = m_encClear - 1;
    m_initClearPoint = (initBits <= 3) ? 9 : m_encClear - 2;
    m_maxOutCodes = 4093 - m_encClear;
    m_runBits = 0;
    m_runBitCount = 0;
    m_blockLength = 0;
    m_runPixel = 0;
    m_runLength = 0;
    m_tablePixel = 0;
    ResetCoder();
    EmitRunCode(m_encClear);
    for (;;) {
        const int c = pixels.NextPixel();
        if (m_runLength > 0 && c != m_runPixel)
            FlushRun(m_runLength);
        if (c < 0)
            break;
        if (m_runLength > 0 && c == m_runPixel) {
            ++m_runLength;
        } else {
            m_runPixel = c & 0xFF;
            m_runLength = 1;
        }
    }
    EmitRunCode(m_encEnd);
    if (m_runBitCount > 0) {
        m_block[m_blockLength++] = uint8_t(m_runBits & 0xFF);
        if (m_blockLength >= 255)
            FlushRunBlock();
    }
    m_runBits = 0;
    m_runBitCount = 0;
    FlushRunBlock();
}
