#pragma once
// Reader of the marker segments at the head of a JPEG stream: fills an ExifInfo
// record from the EXIF block (APP1), the first comment segment and the frame header.
// The data is hostile: every offset, count and size is checked against the segment.

#include <cstdint>
#include <memory>

class CLfStream;

struct ExifInfo {
    char version[5];
    char cameraMake[32];
    char cameraModel[40];
    char dateTime[20];
    int32_t height;
    int32_t width;
    int32_t orientation;
    int32_t isColor;
    int32_t process;
    int32_t flashUsed;
    float focalLength;
    float exposureTime;
    float apertureFNumber;
    float distance;
    float ccdWidth;
    float exposureBias;
    int32_t lightSource;
    int32_t meteringMode;
    int32_t exposureProgram;
    int32_t isoEquivalent;
    int32_t compressionLevel;
    float focalPlaneXRes;
    float focalPlaneYRes;
    float focalPlaneUnit;
    float xResolution;
    float yResolution;
    float resolutionUnit;
    float brightness;
    char comment[1000];
    // Points into the reader's copy of the EXIF segment; cleared when the reader goes.
    const uint8_t* thumbnail;
    uint32_t thumbnailSize;
    bool isExif;
};

// One marker segment kept by the reader: the two length bytes as read, then the body.
struct ExifSection {
    std::unique_ptr<uint8_t[]> data;
    int32_t type = 0;
    uint32_t size = 0;
};

class CLfExifReader {
public:
    static constexpr int kMaxSections = 20;

    // With a record the reader fills it and leaves it to the caller; with null it owns one.
    explicit CLfExifReader(ExifInfo* info = nullptr);
    ~CLfExifReader();
    CLfExifReader(const CLfExifReader&) = delete;
    CLfExifReader& operator=(const CLfExifReader&) = delete;

    // Scans the segments up to the start of scan; true when that was reached.
    bool DecodeExif(CLfStream* stream);

    // body: the segment after its two length bytes ("Exif\0\0" then the TIFF data);
    // length: the number of bytes at body.
    bool ParseExifSegment(uint8_t* body, uint32_t length);

    // directory lies inside [base, base + length); the walk never leaves that range.
    bool ParseDirectory(uint8_t* directory, uint8_t* base, uint32_t length, ExifInfo* record);

    // The first value of a field of the given format; count is the number of value
    // bytes present, so a value shorter than its format gives 0.
    double ValueAsNumber(const uint8_t* value, int format, uint32_t count = 8) const;

    void ReadComment(const uint8_t* data, uint32_t length);
    void ReadFrameHeader(const uint8_t* data, int marker);

    uint16_t Read16(const uint8_t* p) const;
    int32_t Read32(const uint8_t* p) const;
    static uint16_t ReadBig16(const uint8_t* p);

    const ExifInfo* Info() const { return info; }
    const char* LastError() const { return lastError; }
    int SectionCount() const { return sectionCount; }

private:
    void SetError(const char* text);
    void StoreTag(int tag, int format, uint8_t* value, uint32_t byteCount, ExifInfo* record);
    void DropLastSection();
    bool ReadSegment(CLfStream* stream, int marker);

    ExifInfo* info = nullptr;
    char lastError[256] = {};
    int32_t exifImageWidth = 0;
    int32_t motorolaOrder = 0;
    ExifSection sections[kMaxSections];
    int32_t sectionCount = 0;
    std::unique_ptr<ExifInfo> ownedInfo;  // set when the caller gave no record

    // Directories already walked in this segment (offsets from the TIFF header): a link
    // that loops back is refused, and their number bounds the depth of the walk.
    static constexpr int kMaxDirectories = 64;
    uint32_t visited[kMaxDirectories] = {};
    int visitedCount = 0;
};
