#pragma once
// LZW coding of GIF image data. The decoder reads the data sub-blocks that
// follow an image descriptor and hands out finished lines; the three encoders
// turn a walk over palette indices into data sub-blocks.
//
// The decoder trusts nothing it reads: codes beyond the table, roots that are
// no pixel value, chains that do not shrink and code sizes outside 2..11 stop
// it with a negative status.

#include <cstddef>
#include <cstdint>
#include <vector>

class CLfGifLzw {
public:
    // Raw bytes after the minimum code size byte (size bytes included); -1 at the end.
    class ByteSource {
    public:
        virtual ~ByteSource() = default;
        virtual int NextByte() = 0;
    };
    // Receives each finished line; may rewrite the pixels in place. A negative
    // result stops decoding and is returned by Decode.
    class LineSink {
    public:
        virtual ~LineSink() = default;
        virtual int PutLine(uint8_t* pixels, int count) = 0;
    };
    // Palette indices of the picture, top row first; -1 after the last.
    class PixelSource {
    public:
        virtual ~PixelSource() = default;
        virtual int NextPixel() = 0;
    };
    // Takes the coded bytes (length bytes of the sub-blocks included).
    class ByteSink {
    public:
        virtual ~ByteSink() = default;
        virtual void WriteBytes(const uint8_t* data, size_t count) = 0;
    };

    enum Status : int {
        kOk = 0,
        kNoMemory = -10,
        kBadCodeSize = -20,
        kCodeBeyondTable = -21,
        kBadChain = -22,
    };

    static constexpr int kMaxCodes = 4096;
    // Larger minimum code sizes leave no room in 12-bit codes.
    static constexpr int kMaxMinCodeSize = 11;

    CLfGifLzw();

    // Reads the minimum code size and the coded data up to the end code or the
    // end of the data; lines of lineWidth pixels go to the sink, a last partial
    // line with its own count. Running out of data is not an error (kOk).
    int Decode(ByteSource& source, LineSink& sink, int lineWidth);
    // After Decode: passes over whatever is left of the data sub-blocks up to
    // and including the zero-length terminator.
    void SkipRemainingData(ByteSource& source);
    // Lines Decode handed to the sink, and whether it ended on bad data.
    int LinesDone() const { return m_linesDone; }

    void InitDecoder(int minCodeSize);
    // The next code of the current code size, or -1 when the data has ended.
    int NextCode(ByteSource& source);

    // Encoders; initBits is the code size byte plus one.
    void EncodePlain(int initBits, PixelSource& pixels, ByteSink& out);
    void EncodeLzw(int initBits, PixelSource& pixels, ByteSink& out);
    void EncodeRunLength(int initBits, PixelSource& pixels, ByteSink& out);

    // Number of codes needed to send a run of n pixels from a cleared table
    // when at most maxCodes codes fit between two clear codes.
    static int RunCost(int n, int maxCodes);

private:
    int NextDataByte(ByteSource& source);
    // Hands a last line of count pixels to the sink, then gives status.
    int PutPartialLine(LineSink& sink, uint8_t* pixels, int count, int status);

    // plain and hashed LZW coders: shared bit output in 254-byte packets
    void StartCodes(int initBits, ByteSink& out);
    void OutputCode(int code);
    void PacketByte(uint8_t byte);
    void FlushPacket();
    void WriteSubBlock(const uint8_t* data, int& count);

    // run-length coder
    void ResetCoder();
    void EmitRunCode(int code);
    void PlainOutput(int code);
    void FlushRun(int n);
    void FlushFromClear(int n);
    void FlushClearOrRepeat(int n);
    void FlushWithTable(int n);
    void ResetClearPoint();
    void FlushRunBlock();

    // decoder state
    int m_codeSize = 0;
    int m_minCodeSize = 0;
    int m_clearCode = 0;
    int m_endCode = 0;
    int m_firstFree = 0;
    int m_sizeLimit = 0;
    int m_slot = 0;
    int m_blockLeft = 0;
    bool m_dataEnded = false;
    bool m_terminatorSeen = false;
    uint32_t m_bitBuf = 0;
    int m_bitCount = 0;
    int m_linesDone = 0;
    uint8_t m_stack[kMaxCodes + 1];
    uint8_t m_suffix[kMaxCodes];
    uint16_t m_prefix[kMaxCodes];

    // plain / hashed LZW encoder state
    static constexpr int kHashSize = 5003;
    ByteSink* m_out = nullptr;
    int m_initBits = 0;
    int m_width = 0;
    int m_maxCode = 0;
    int m_nextFree = 0;
    bool m_clearFlag = false;
    int m_encClear = 0;
    int m_encEnd = 0;
    uint32_t m_accum = 0;
    int m_accumBits = 0;
    int m_packetCount = 0;
    uint8_t m_packet[256];
    int32_t m_hashTable[kHashSize];
    uint16_t m_codeTable[kHashSize];

    // run-length encoder state
    int m_runPixel = 0;
    int m_runLength = 0;
    int m_baseCode = 0;
    int m_tablePixel = 0;
    int m_tableLength = 0;
    bool m_justCleared = false;
    int m_outWidth = 0;
    int m_outCount = 0;
    int m_bumpPoint = 0;
    int m_clearPoint = 0;
    int m_initBumpPoint = 0;
    int m_initClearPoint = 0;
    int m_maxOutCodes = 0;
    uint32_t m_runBits = 0;
    int m_runBitCount = 0;
    int m_blockLength = 0;
    uint8_t m_block[256];
};
