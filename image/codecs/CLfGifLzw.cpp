#include "image/codecs/CLfGifLzw.h"

#include <algorithm>
#include <new>

CLfGifLzw::CLfGifLzw()
{
    std::fill(std::begin(m_stack), std::end(m_stack), uint8_t(0));
    std::fill(std::begin(m_suffix), std::end(m_suffix), uint8_t(0));
    std::fill(std::begin(m_prefix), std::end(m_prefix), uint16_t(0));
    std::fill(std::begin(m_packet), std::end(m_packet), uint8_t(0));
    std::fill(std::begin(m_hashTable), std::end(m_hashTable), -1);
    std::fill(std::begin(m_codeTable), std::end(m_codeTable), uint16_t(0));
    std::fill(std::begin(m_block), std::end(m_block), uint8_t(0));
}

// ---------------------------------------------------------------- decoding

void CLfGifLzw::InitDecoder(int minCodeSize)
{
    m_minCodeSize = minCodeSize;
    m_codeSize = minCodeSize + 1;
    m_sizeLimit = 1 << m_codeSize;
    m_clearCode = 1 << minCodeSize;
    m_endCode = m_clearCode + 1;
    m_firstFree = m_slot = m_clearCode + 2;
    m_blockLeft = 0;
    m_bitBuf = 0;
    m_bitCount = 0;
    std::fill(std::begin(m_stack), std::end(m_stack), uint8_t(0));
    std::fill(std::begin(m_suffix), std::end(m_suffix), uint8_t(0));
    std::fill(std::begin(m_prefix), std::end(m_prefix), uint16_t(0));
}

int CLfGifLzw::NextDataByte(ByteSource& source)
{
    if (m_dataEnded)
        return -1;
    if (m_blockLeft == 0) {
        const int n = source.NextByte();
        if (n <= 0) {
            // A zero-length sub-block is the terminator; -1 is a short file.
            m_dataEnded = true;
            m_terminatorSeen = (n == 0);
            return -1;
        }
        m_blockLeft = n;
    }
    const int b = source.NextByte();
    if (b < 0) {
        m_dataEnded = true;
        return -1;
    }
    --m_blockLeft;
    return b;
}

int CLfGifLzw::NextCode(ByteSource& source)
{
    while (m_bitCount < m_codeSize) {
        const int b = NextDataByte(source);
        if (b < 0)
            return -1;
        m_bitBuf |= uint32_t(b) << m_bitCount;
        m_bitCount += 8;
    }
    const int code = int(m_bitBuf & ((1u << m_codeSize) - 1));
    m_bitBuf >>= m_codeSize;
    m_bitCount -= m_codeSize;
    return code;
}

int CLfGifLzw::Decode(ByteSource& source, LineSink& sink, int lineWidth)
{
    m_linesDone = 0;
    m_dataEnded = false;
    m_terminatorSeen = false;
    m_blockLeft = 0;
    const int minSize = source.NextByte();
    if (minSize < 0) {
        m_dataEnded = true;
        return kOk;
    }
    if (minSize < 2 || minSize > kMaxMinCodeSize)
        return kBadCodeSize;
    InitDecoder(minSize);
    if (lineWidth <= 0)
        return kOk;

    std::vector<uint8_t> line;
    try {
        line.resize(size_t(lineWidth) + 1);
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }

    int filled = 0;
    int prev = -1;  // no previous code: the next one must be a root
    uint8_t first = 0;
    for (;;) {
        const int code = NextCode(source);
        if (code < 0 || code == m_endCode)
            break;
        if (code == m_clearCode) {
            m_codeSize = m_minCodeSize + 1;
            m_sizeLimit = 1 << m_codeSize;
            m_slot = m_firstFree;
            prev = -1;
            continue;
        }
        int sp = 0;
        if (prev < 0) {
            if (code >= m_clearCode || code > 0xFF)
                return PutPartialLine(sink, line.data(), filled, kCodeBeyondTable);  // a root must be a pixel value
            first = uint8_t(code);
            m_stack[sp++] = first;
            prev = code;
        } else {
            // Only the slot about to be filled may be named before it exists.
            if (code > m_slot || code >= kMaxCodes)
                return PutPartialLine(sink, line.data(), filled, kCodeBeyondTable);
            int cur = code;
            if (code == m_slot) {
                m_stack[sp++] = first;
                cur = prev;
            }
            while (cur >= m_firstFree) {
                const int next = m_prefix[cur];
                if (sp >= kMaxCodes || next >= cur)
                    return PutPartialLine(sink, line.data(), filled, kBadChain);
                m_stack[sp++] = m_suffix[cur];
                cur = next;
            }
            if (cur >= m_clearCode)
                return PutPartialLine(sink, line.data(), filled, kBadChain);
            if (cur > 0xFF)
                return PutPartialLine(sink, line.data(), filled, kCodeBeyondTable);
            first = uint8_t(cur);
            m_stack[sp++] = first;
            if (m_slot < kMaxCodes) {
                m_suffix[m_slot] = first;
                m_prefix[m_slot] = uint16_t(prev);
                ++m_slot;
                if (m_slot >= m_sizeLimit && m_codeSize < 12) {
                    ++m_codeSize;
                    m_sizeLimit <<= 1;
                }
            }
            prev = code;
        }
        while (sp > 0) {
            line[size_t(filled++)] = m_stack[--sp];
            if (filled == lineWidth) {
                const int status = sink.PutLine(line.data(), lineWidth);
                ++m_linesDone;
                filled = 0;
                if (status < 0)
                    return status;
                if (status > 0)
                    return kOk;  // the sink has every line it wants
            }
        }
    }
    return PutPartialLine(sink, line.data(), filled, kOk);
}

int CLfGifLzw::PutPartialLine(LineSink& sink, uint8_t* pixels, int count, int status)
{
    // Damaged data keeps the pixels decoded before it.
    if (count > 0) {
        const int put = sink.PutLine(pixels, count);
        ++m_linesDone;
        if (put < 0)
            return put;
    }
    return status;
}

void CLfGifLzw::SkipRemainingData(ByteSource& source)
{
    if (m_dataEnded)
        return;
    for (; m_blockLeft > 0; --m_blockLeft) {
        if (source.NextByte() < 0) {
            m_dataEnded = true;
            return;
        }
    }
    for (;;) {
        int n = source.NextByte();
        if (n <= 0) {
            m_terminatorSeen = (n == 0);
            break;
        }
        while (n-- > 0) {
            if (source.NextByte() < 0) {
                m_dataEnded = true;
                return;
            }
        }
    }
    m_dataEnded = true;
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
