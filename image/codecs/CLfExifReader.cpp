#include "image/codecs/CLfExifReader.h"

#include "image/CLfStream.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>

namespace {

// Bytes per component of the twelve TIFF field formats (index = format code).
constexpr uint32_t kFormatSize[13] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};

constexpr uint32_t kEntrySize = 12;

constexpr int kTagMake = 0x010F;
constexpr int kTagModel = 0x0110;
constexpr int kTagOrientation = 0x0112;
constexpr int kTagXResolution = 0x011A;
constexpr int kTagYResolution = 0x011B;
constexpr int kTagResolutionUnit = 0x0128;
constexpr int kTagThumbnailOffset = 0x0201;
constexpr int kTagThumbnailLength = 0x0202;
constexpr int kTagExposureTime = 0x829A;
constexpr int kTagFNumber = 0x829D;
constexpr int kTagExifOffset = 0x8769;
constexpr int kTagExposureProgram = 0x8822;
constexpr int kTagIsoEquivalent = 0x8827;
constexpr int kTagExifVersion = 0x9000;
constexpr int kTagDateTimeOriginal = 0x9003;
constexpr int kTagCompressionLevel = 0x9102;
constexpr int kTagShutterSpeed = 0x9201;
constexpr int kTagAperture = 0x9202;
constexpr int kTagBrightness = 0x9203;
constexpr int kTagExposureBias = 0x9204;
constexpr int kTagMaxAperture = 0x9205;
constexpr int kTagSubjectDistance = 0x9206;
constexpr int kTagMeteringMode = 0x9207;
constexpr int kTagLightSource = 0x9208;
constexpr int kTagFlash = 0x9209;
constexpr int kTagFocalLength = 0x920A;
constexpr int kTagUserComment = 0x9286;
constexpr int kTagPixelXDimension = 0xA002;
constexpr int kTagPixelYDimension = 0xA003;
constexpr int kTagInteropOffset = 0xA005;
constexpr int kTagFocalPlaneXRes = 0xA20E;
constexpr int kTagFocalPlaneYRes = 0xA20F;
constexpr int kTagFocalPlaneUnit = 0xA210;

// Numbers from the file may be anything: converting them must not overflow.
int32_t ToInt(double v)
{
    if (!(v == v))
        return 0;
    if (v >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

float ToFloat(double v)
{
    constexpr double kMax = std::numeric_limits<float>::max();
    if (!(v == v))
        return 0.0f;
    if (v > kMax)
        return std::numeric_limits<float>::infinity();
    if (v < -kMax)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(v);
}

// Copies at most limit characters of a value of count bytes, stopping at a zero byte.
void CopyText(char* dst, const uint8_t* src, uint32_t count, uint32_t limit)
{
    uint32_t n = 0;
    while (n < count && n < limit && src[n] != 0) {
        dst[n] = static_cast<char>(src[n]);
        ++n;
    }
    dst[n] = 0;
}

// Inch factor of a resolution unit code. Code 1 means "no absolute unit": such a
// file carries no resolution, so the field keeps its value.
bool UnitFactor(int code, float& factor)
{
    switch (code) {
    case 2: factor = 1.0f; return true;
    case 3: factor = 0.3937008f; return true;
    case 4: factor = 0.03937008f; return true;
    case 5: factor = 0.00003937008f; return true;
    default: return false;
    }
}

bool IsFrameHeader(int marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

}  // namespace

CLfExifReader::CLfExifReader(ExifInfo* record)
{
    if (record) {
        info = record;
    } else {
        ownedInfo = std::make_unique<ExifInfo>();
        info = ownedInfo.get();
    }
}

CLfExifReader::~CLfExifReader()
{
    // The thumbnail lies inside a kept segment: do not leave it dangling in a record
    // that outlives the reader.
    if (info && info->thumbnail) {
        for (const ExifSection& s : sections) {
            if (s.data && info->thumbnail >= s.data.get() && info->thumbnail < s.data.get() + s.size) {
                info->thumbnail = nullptr;
                break;
            }
        }
    }
}

void CLfExifReader::SetError(const char* text)
{
    std::snprintf(lastError, sizeof lastError, "%s", text);
}

uint16_t CLfExifReader::Read16(const uint8_t* p) const
{
    if (motorolaOrder)
        return static_cast<uint16_t>((p[0] << 8) | p[1]);
    return static_cast<uint16_t>((p[1] << 8) | p[0]);
}

int32_t CLfExifReader::Read32(const uint8_t* p) const
{
    uint32_t v;
    if (motorolaOrder)
        v = (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
    else
        v = (uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    return static_cast<int32_t>(v);
}

uint16_t CLfExifReader::ReadBig16(const uint8_t* p)
{
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

double CLfExifReader::ValueAsNumber(const uint8_t* value, int format, uint32_t count) const
{
    if (format < 1 || format > 12 || count < kFormatSize[format])
        return 0.0;
    switch (format) {
    case 1: return value[0];
    case 3: return Read16(value);
    case 4: return static_cast<uint32_t>(Read32(value));
    case 5:
    case 10: {
        const int32_t den = Read32(value + 4);
        return den == 0 ? 0.0 : static_cast<double>(Read32(value)) / den;
    }
    case 6: return static_cast<int8_t>(value[0]);
    case 8: return static_cast<int16_t>(Read16(value));
    case 9: return Read32(value);
    case 11: {
        const uint32_t bits = static_cast<uint32_t>(Read32(value));
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    case 12: {
        // Eight bytes in the segment's byte order.
        const uint64_t hi = static_cast<uint32_t>(Read32(value + (motorolaOrder ? 0 : 4)));
        const uint64_t lo = static_cast<uint32_t>(Read32(value + (motorolaOrder ? 4 : 0)));
        const uint64_t bits = (hi << 32) | lo;
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    default: return 0.0;
    }
}

void CLfExifReader::ReadComment(const uint8_t* data, uint32_t length)
{
    const uint32_t end = length < 1000 ? length : 1000;
    uint32_t n = 0;
    for (uint32_t a = 2; a < end; ++a) {
        const uint8_t c = data[a];
        if (c == '\r' && a + 1 < end && data[a + 1] == '\n')
            continue;
        if ((c >= 0x20 && c <= 0x7E) || c == '\n' || c == '\t')
            info->comment[n++] = static_cast<char>(c);
        else
            info->comment[n++] = '?';
    }
    info->comment[n] = 0;
}

void CLfExifReader::ReadFrameHeader(const uint8_t* data, int marker)
{
    info->height = ReadBig16(data + 3);
    info->width = ReadBig16(data + 5);
    info->isColor = data[7] == 3 ? 1 : 0;
    info->process = marker;
}

void CLfExifReader::DropLastSection()
{
    --sectionCount;
    sections[sectionCount] = ExifSection{};
}

// Reads one segment behind its marker into the next slot.
bool CLfExifReader::ReadSegment(CLfStream* stream, int marker)
{
    const int hi = stream->GetC();
    const int lo = stream->GetC();
    if (hi < 0 || lo < 0) {
        SetError("Premature end of file?");
        return false;
    }
    const uint32_t length = static_cast<uint32_t>((hi << 8) | lo);
    if (length < 2) {
        SetError("invalid marker");
        return false;
    }
    std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[length]);
    if (!data) {
        SetError("Could not allocate memory");
        return false;
    }
    data[0] = static_cast<uint8_t>(hi);
    data[1] = static_cast<uint8_t>(lo);
    if (length > 2 && stream->Read(data.get() + 2, 1, length - 2) != length - 2) {
        SetError("Premature end of file?");
        return false;
    }
    ExifSection& slot = sections[sectionCount++];
    slot.data = std::move(data);
    slot.type = marker;
    slot.size = length;
    return true;
}

bool CLfExifReader::DecodeExif(CLfStream* stream)
{
    if (!stream)
        return false;
    if (stream->GetC() != 0xFF || stream->GetC() != 0xD8)
        return false;

    bool haveComment = false;
    while (sectionCount < kMaxSections) {
        int marker = 0;
        int padding = 0;
        for (;;) {
            marker = stream->GetC();
            if (marker != 0xFF)
                break;
            if (++padding >= 7) {
                std::printf("too many padding bytes\n");
                return false;
            }
        }
        if (marker < 0) {
            SetError("Premature end of file?");
            return false;
        }
        if (!ReadSegment(stream, marker))
            return false;

        const ExifSection& s = sections[sectionCount - 1];
        uint8_t* data = s.data.get();
        if (IsFrameHeader(marker)) {
            if (s.size >= 8)
                ReadFrameHeader(data, marker);
        } else if (marker == 0xD9) {
            std::printf("No image in jpeg!\n");
            return false;
        } else if (marker == 0xDA) {
            return true;
        } else if (marker == 0xE1) {
            if (s.size >= 6 && std::memcmp(data + 2, "Exif", 4) == 0)
                info->isExif = ParseExifSegment(data + 2, s.size - 2);
            else
                DropLastSection();
        } else if (marker == 0xE0) {
            DropLastSection();
        } else if (marker == 0xFE) {
            if (haveComment) {
                DropLastSection();
            } else {
                haveComment = true;
                ReadComment(data, s.size);
            }
        }
    }
    SetError("Too many sections in jpg file");
    return false;
}

bool CLfExifReader::ParseExifSegment(uint8_t* body, uint32_t length)
{
    info->flashUsed = 0;
    info->comment[0] = 0;
    exifImageWidth = 0;
    visitedCount = 0;

    // "Exif\0\0", byte order, 42, first directory offset, directory count.
    if (length < 16 || std::memcmp(body, "Exif\0\0", 6) != 0) {
        SetError("Incorrect Exif header");
        return false;
    }
    if (body[6] == 'I' && body[7] == 'I') {
        motorolaOrder = 0;
    } else if (body[6] == 'M' && body[7] == 'M') {
        motorolaOrder = 1;
    } else {
        SetError("Invalid Exif alignment marker.");
        return false;
    }
    if (Read16(body + 8) != 0x2A) {
        SetError("Invalid Exif start (1)");
        return false;
    }
    const int32_t first = Read32(body + 10);
    if (first < 8 || first > 16) {
        SetError("Suspicious offset of first IFD value");
        return false;
    }
    if (!ParseDirectory(body + 14, body + 6, length - 6, info))
        return false;

    if (info->focalPlaneXRes != 0.0f)
        info->ccdWidth = exifImageWidth * info->focalPlaneUnit / info->focalPlaneXRes;
    return true;
}

bool CLfExifReader::ParseDirectory(uint8_t* directory, uint8_t* base, uint32_t length, ExifInfo* record)
{
    if (directory < base || directory > base + length) {
        SetError("Illegal subdirectory link");
        return false;
    }
    const uint32_t dirOffset = static_cast<uint32_t>(directory - base);
    for (int i = 0; i < visitedCount; ++i) {
        if (visited[i] == dirOffset) {
            SetError("EXIF directory linked more than once");
            return false;
        }
    }
    if (visitedCount == kMaxDirectories) {
        SetError("Too many EXIF directories");
        return false;
    }
    visited[visitedCount++] = dirOffset;

    if (uint64_t(dirOffset) + 2 > length) {
        SetError("Illegally sized directory");
        return false;
    }
    const uint32_t entries = Read16(directory);
    const uint64_t entriesEnd = uint64_t(dirOffset) + 2 + uint64_t(kEntrySize) * entries;
    if (entriesEnd > length) {
        SetError("Illegally sized directory");
        return false;
    }

    uint32_t thumbOffset = 0;
    uint32_t thumbSize = 0;
    for (uint32_t n = 0; n < entries; ++n) {
        uint8_t* entry = directory + 2 + kEntrySize * n;
        const int tag = Read16(entry);
        const int format = Read16(entry + 2);
        const uint32_t components = static_cast<uint32_t>(Read32(entry + 4));
        if (format > 12) {
            SetError("Illegal format code in EXIF dir");
            return false;
        }
        const uint64_t byteCount = uint64_t(components) * kFormatSize[format];
        uint8_t* value = entry + 8;
        if (byteCount > 4) {
            const uint32_t offset = static_cast<uint32_t>(Read32(entry + 8));
            if (uint64_t(offset) + byteCount > length) {
                SetError("Illegal pointer offset value in EXIF.");
                return false;
            }
            value = base + offset;
        }
        const uint32_t count = static_cast<uint32_t>(byteCount);

        if (tag == kTagThumbnailOffset) {
            thumbOffset = static_cast<uint32_t>(ValueAsNumber(value, format, count));
        } else if (tag == kTagThumbnailLength) {
            thumbSize = static_cast<uint32_t>(ValueAsNumber(value, format, count));
        } else if (tag == kTagExifOffset || tag == kTagInteropOffset) {
            // The value field is four bytes of the entry or lies inside the segment.
            const uint32_t sub = static_cast<uint32_t>(Read32(value));
            if (sub >= length) {
                SetError("Illegal subdirectory link");
                return false;
            }
            ParseDirectory(base + sub, base, length, record);
        } else {
            StoreTag(tag, format, value, count, record);
        }
    }

    // Link to the next directory, when the directory has room for it.
    if (entriesEnd + 4 <= length) {
        const uint32_t next = static_cast<uint32_t>(Read32(directory + 2 + kEntrySize * entries));
        if (next != 0) {
            if (next >= length) {
                SetError("Illegal subdirectory link");
                return false;
            }
            ParseDirectory(base + next, base, length, record);
        }
    }

    if (thumbOffset != 0 && thumbSize != 0 && uint64_t(thumbOffset) + thumbSize <= length) {
        record->thumbnail = base + thumbOffset;
        record->thumbnailSize = thumbSize;
    }
    return true;
}

void CLfExifReader::StoreTag(int tag, int format, uint8_t* value, uint32_t byteCount, ExifInfo* record)
{
    const double v = ValueAsNumber(value, format, byteCount);
    switch (tag) {
    case kTagMake: CopyText(record->cameraMake, value, byteCount, 31); break;
    case kTagModel: CopyText(record->cameraModel, value, byteCount, 39); break;
    case kTagDateTimeOriginal: CopyText(record->dateTime, value, byteCount, 19); break;
    case kTagExifVersion: CopyText(record->version, value, byteCount, 4); break;
    case kTagOrientation:
        record->orientation = ToInt(v);
        if (record->orientation < 1 || record->orientation > 8) {
            SetError("Undefined rotation value");
            record->orientation = 0;
        }
        break;
    case kTagXResolution: record->xResolution = ToFloat(v); break;
    case kTagYResolution: record->yResolution = ToFloat(v); break;
    case kTagResolutionUnit: UnitFactor(ToInt(v), record->resolutionUnit); break;
    case kTagFocalPlaneUnit: UnitFactor(ToInt(v), record->focalPlaneUnit); break;
    case kTagFocalPlaneXRes: record->focalPlaneXRes = ToFloat(v); break;
    case kTagFocalPlaneYRes: record->focalPlaneYRes = ToFloat(v); break;
    case kTagFocalLength: record->focalLength = ToFloat(v); break;
    case kTagSubjectDistance: record->distance = ToFloat(v); break;
    case kTagExposureTime: record->exposureTime = ToFloat(v); break;
    case kTagFNumber: record->apertureFNumber = ToFloat(v); break;
    case kTagExposureBias: record->exposureBias = ToFloat(v); break;
    case kTagBrightness: record->brightness = ToFloat(v); break;
    case kTagShutterSpeed:
        if (record->exposureTime == 0.0f)
            record->exposureTime = ToFloat(1.0 / std::pow(2.0, v));
        break;
    case kTagAperture:
    case kTagMaxAperture:
        if (record->apertureFNumber == 0.0f)
            record->apertureFNumber = ToFloat(std::pow(2.0, v / 2.0));
        break;
    case kTagFlash: record->flashUsed = (ToInt(v) & 7) ? 1 : 0; break;
    case kTagLightSource: record->lightSource = ToInt(v); break;
    case kTagMeteringMode: record->meteringMode = ToInt(v); break;
    case kTagExposureProgram: record->exposureProgram = ToInt(v); break;
    case kTagIsoEquivalent:
        record->isoEquivalent = ToInt(v < 50.0 ? v * 200.0 : v);
        break;
    case kTagCompressionLevel: record->compressionLevel = ToInt(v); break;
    case kTagPixelXDimension:
    case kTagPixelYDimension:
        if (ToInt(v) > exifImageWidth)
            exifImageWidth = ToInt(v);
        break;
    case kTagUserComment: {
        // The value lies in our own copy of the segment, so it may be trimmed in place.
        uint8_t* text = value;
        for (uint32_t a = byteCount; a > 0 && text[a - 1] == ' '; --a)
            text[a - 1] = 0;
        if (byteCount >= 5 && std::memcmp(text, "ASCII", 5) == 0) {
            for (uint32_t a = 5; a < 10 && a < byteCount; ++a) {
                if (text[a] != 0 && text[a] != ' ') {
                    CopyText(record->comment, text + a, byteCount - a, 199);
                    break;
                }
            }
        } else {
            CopyText(record->comment, text, byteCount, 199);
        }
        break;
    }
    default: break;
    }
}
