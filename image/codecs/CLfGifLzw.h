#pragma once
// LZW coding of GIF image data. The decoder reads the data sub-blocks that
// follow an image descriptor and hands out finished lines; the three encoders
// turn a walk over palette indices into data sub-blocks.
//
// The decoder trusts nothing it reads: codes beyond the table, roots that are
// no pixel value and code sizes outside 2..11 stop it with a negative status.
// Its table keeps each entry's length and first byte, so a string is written
// straight into the output from its last byte back.

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
    };

    static constexpr int kMaxCodes = 4096;
    // Larger minimum code sizes leave no room in 12-bit codes.
    static constexpr int kMaxMinCodeSize = 11;

    CLfGifLzw();

    // Reads the minimum code size and the coded data up to the end code or the
    // end of the data; lines of lineWidth pixels go to the sink, a last partial
    // line with its own count. Running out of data is not an error (kOk); on
    // damaged data the pixels before the damage are handed out first.
    int Decode(ByteSource& source, LineSink& sink, int lineWidth);
    // After Decode: the data is passed over up to and including its terminator
    // (Decode has read it all already).
    void SkipRemainingData(ByteSource& source);
    // Lines Decode handed to the sink.
    int LinesDone() const { return m_linesDone; }

    // The decoder over coded bytes in memory (the data sub-blocks without their
    // length bytes): Start, then Run as often as output is wanted. Run writes
    // up to capacity pixels and returns how many it wrote; 0 once the end code,
    // the end of the data or damage (Status) stopped it.
    void Start(const uint8_t* codes, size_t size, int minCodeSize);
    size_t Run(uint8_t* out, size_t capacity);
    int Status() const { return m_status; }
    void InitDecoder(int minCodeSize);

    // Encoders; initBits is the code size byte plus one.
    void EncodePlain(int initBits, PixelSource& pixels, ByteSink& out);
    void EncodeLzw(int initBits, PixelSource& pixels, ByteSink& out);
    void EncodeRunLength(int initBits, PixelSource& pixels, ByteSink& out);

    // Number of codes needed to send a run of n pixels from a cleared table
    // when at most maxCodes codes fit between two clear codes.
    static int RunCost(int n, int maxCodes);

private:
    void ResetTable();
    void WriteString(int code, int from, int count, uint8_t* dest) const;
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
    int m_prev = -1;
    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    size_t m_pos = 0;
    uint64_t m_bitBuf = 0;
    int m_bitCount = 0;
    int m_pendingCode = -1;  // a string that did not fit: its code
    int m_pendingFrom = 0;   // and the first of its bytes still to write
    bool m_done = false;
    int m_status = kOk;
    int m_linesDone = 0;
    std::vector<uint8_t> m_gathered;
    uint16_t m_prefix[kMaxCodes];
    uint8_t m_suffix[kMaxCodes];
    uint8_t m_first[kMaxCodes];
    uint16_t m_length[kMaxCodes];
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
