#include "manager/model/CIptcData.h"

#include "platform/AtomicFile.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

constexpr uint8_t kMarker = 0xFF;
constexpr uint8_t kStartOfImage = 0xD8;
constexpr uint8_t kQuantisationTable = 0xDB;
constexpr uint8_t kStartOfScan = 0xDA;
constexpr uint8_t kEndOfImage = 0xD9;
constexpr uint8_t kPhotoshopSegment = 0xED;
constexpr uint16_t kIptcResource = 0x0404;
constexpr uint16_t kOldIptcResource = 0x03ED;
constexpr uint8_t kKeywordDataset = 25;
const char kSignature[] = "Photoshop 3.0";  // with its terminating zero: 14 bytes
constexpr size_t kSignatureSize = sizeof kSignature;
// The writer looks for the IPTC resource only this far into the segment.
constexpr size_t kWriterResourceScan = 20;

size_t Be16(const std::vector<uint8_t>& bytes, size_t pos) { return size_t(bytes[pos]) << 8 | bytes[pos + 1]; }

void PutBe16(std::vector<uint8_t>& bytes, size_t pos, size_t value)
{
    bytes[pos] = uint8_t(value >> 8);
    bytes[pos + 1] = uint8_t(value);
}

// Markers that stand alone, without a length.
bool Standalone(uint8_t code) { return code == kStartOfImage || code == 0x01 || (code >= 0xD0 && code <= 0xD7); }

std::optional<std::vector<uint8_t>> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return bytes;
}

}  // namespace

CIptcData::CIptcData() = default;
CIptcData::~CIptcData() = default;

CIptcData::Marker CIptcData::FindMarker(const std::vector<uint8_t>& file)
{
    Marker result;
    const size_t size = file.size();
    if (size < 4 || file[0] != kMarker || file[1] != kStartOfImage)
        return result;
    size_t pos = 2;
    while (pos + 1 < size) {
        if (file[pos] != kMarker)
            return result;  // no marker where one must stand: not a file we can change
        size_t at = pos;
        while (at + 1 < size && file[at + 1] == kMarker)
            ++at;  // fill bytes
        if (at + 1 >= size)
            return result;
        const uint8_t code = file[at + 1];
        if (code == kQuantisationTable || code == kStartOfScan || code == kEndOfImage) {
            result.insertAt = at;
            return result;
        }
        if (Standalone(code)) {
            pos = at + 2;
            continue;
        }
        if (at + 4 > size)
            return result;
        const size_t length = Be16(file, at + 2);
        if (length < 2 || at + 2 + length > size)
            return result;
        if (code == kPhotoshopSegment) {
            result.found = true;
            result.marker = at;
            result.dataLength = length - 2;
            return result;
        }
        pos = at + 2 + length;
    }
    return result;
}

std::optional<size_t> CIptcData::FindResource(const std::vector<uint8_t>& file, size_t begin, size_t end,
                                              uint16_t id, size_t count)
{
    end = std::min(end, file.size());
    for (size_t i = 0; i < count; ++i) {
        const size_t pos = begin + i;
        if (pos + 7 > end)
            break;
        if (std::memcmp(&file[pos], "8BIM", 4) != 0 || Be16(file, pos + 4) != id)
            continue;
        // The name: a length byte and its characters, padded to an even size.
        size_t nameField = 1 + size_t(file[pos + 6]);
        nameField += nameField & 1;
        const size_t sizeAt = pos + 6 + nameField;
        if (sizeAt + 4 <= end)
            return sizeAt + 2;
    }
    return std::nullopt;
}

size_t CIptcData::ReadDataset(const std::vector<uint8_t>& file, size_t pos, size_t end, int& number,
                              std::string& text)
{
    end = std::min(end, file.size());
    if (pos + 5 > end || file[pos] != 0x1C || file[pos + 1] != 0x02)
        return 0;
    const size_t length = Be16(file, pos + 3);
    // An extended dataset (high bit) gives the size of its length instead: not ours.
    if ((length & 0x8000) != 0 || pos + 5 + length > end)
        return 0;
    number = file[pos + 2];
    // An empty dataset may close the file: its data would start one past the end.
    if (length == 0)
        return 0;
    text.assign(reinterpret_cast<const char*>(file.data() + pos + 5), length);
    return length;
}

void CIptcData::ParseDatasets(const std::vector<uint8_t>& file, size_t sizeAt, size_t end)
{
    end = std::min(end, file.size());
    if (sizeAt + 2 > end)
        return;
    const size_t dataEnd = std::min(end, sizeAt + 2 + Be16(file, sizeAt));
    for (size_t pos = sizeAt + 2; pos < dataEnd;) {
        int number = 0;
        std::string text;
        const size_t length = ReadDataset(file, pos, dataEnd, number, text);
        if (length == 0)
            break;
        pos += length + 5;
        switch (number) {
        case 5: m_strObjectName = text; break;
        case 15: m_strCategory = text; break;
        case 20: m_arrSupplementalCategories.push_back(text); break;
        case 25: m_arrKeywords.push_back(text); break;
        case 40: m_strSpecialInstructions = text; break;
        case 55: m_strDateCreated = text; break;
        case 80: m_strByLine = text; break;
        case 85: m_strByLineTitle = text; break;
        case 90: m_strCity = text; break;
        case 95: m_strProvinceState = text; break;
        case 101: m_strCountry = text; break;
        case 103: m_strTransmissionReference = text; break;
        case 105: m_strHeadline = text; break;
        case 110: m_strCredit = text; break;
        case 115: m_strSource = text; break;
        case 116: m_strCopyrightNotice = text; break;
        case 120: m_strCaption = text; break;
        case 122: m_strWriterEditor = text; break;
        default: break;
        }
    }
}

bool CIptcData::ReadFromBytes(const std::vector<uint8_t>& file)
{
    const Marker marker = FindMarker(file);
    if (!marker.found)
        return true;
    const size_t data = marker.marker + 4;
    const size_t end = data + marker.dataLength;
    if (marker.dataLength < kSignatureSize || std::memcmp(&file[data], kSignature, kSignatureSize) != 0)
        return false;
    std::optional<size_t> sizeAt = FindResource(file, data, end, kIptcResource, marker.dataLength);
    if (!sizeAt)
        sizeAt = FindResource(file, data, end, kOldIptcResource, marker.dataLength);
    if (!sizeAt)
        return false;
    ParseDatasets(file, *sizeAt, end);
    return true;
}

bool CIptcData::ReadFromJpeg(const std::string& path)
{
    const std::optional<std::vector<uint8_t>> file = ReadFile(path);
    if (!file || file->size() < 11)
        return false;
    return ReadFromBytes(*file);
}

std::vector<uint8_t> CIptcData::PrependDataset(const std::vector<uint8_t>& datasets, int number,
                                               const std::string& text)
{
    std::vector<uint8_t> block(5 + text.size() + datasets.size());
    block[0] = 0x1C;
    block[1] = 0x02;
    block[2] = uint8_t(number);
    PutBe16(block, 3, text.size());
    std::copy(text.begin(), text.end(), block.begin() + 5);
    std::copy(datasets.begin(), datasets.end(), block.begin() + std::ptrdiff_t(5 + text.size()));
    return block;
}

std::optional<std::vector<uint8_t>> CIptcData::BuildKeywordBlock() const
{
    std::vector<uint8_t> datasets;
    for (const std::string& keyword : m_arrKeywords) {
        if (keyword.size() > 0x7FFF)
            return std::nullopt;
        datasets = PrependDataset(datasets, kKeywordDataset, keyword);
        if (datasets.size() > 0xFFFF)
            return std::nullopt;
    }
    std::vector<uint8_t> block(2 + datasets.size());
    PutBe16(block, 0, datasets.size());
    std::copy(datasets.begin(), datasets.end(), block.begin() + 2);
    return block;
}

std::optional<std::vector<uint8_t>> CIptcData::WrapPhotoshopSegment(const std::vector<uint8_t>& block)
{
    if (block.size() < 2)
        return std::nullopt;
    const size_t d = block.size() - 2;
    const size_t pad = d & 1;  // resource data keeps an even size
    const size_t length = 28 + d + pad;
    if (length > 0xFFFF)
        return std::nullopt;
    // Marker, length, signature, resource header with an empty name and its size.
    std::vector<uint8_t> segment(2 + length);
    segment[0] = kMarker;
    segment[1] = kPhotoshopSegment;
    PutBe16(segment, 2, length);
    std::copy(kSignature, kSignature + kSignatureSize, segment.begin() + 4);
    const uint8_t header[] = {'8', 'B', 'I', 'M', 0x04, 0x04, 0x00, 0x00, 0x00, 0x00};
    std::copy(std::begin(header), std::end(header), segment.begin() + 4 + kSignatureSize);
    std::copy(block.begin(), block.end(), segment.begin() + std::ptrdiff_t(4 + kSignatureSize + sizeof header));
    return segment;
}

std::optional<std::vector<uint8_t>> CIptcData::WithKeywords(const std::vector<uint8_t>& file) const
{
    const std::optional<std::vector<uint8_t>> block = BuildKeywordBlock();
    if (!block)
        return std::nullopt;
    const Marker marker = FindMarker(file);
    std::vector<uint8_t> out;
    if (!marker.found) {
        const std::optional<std::vector<uint8_t>> segment = WrapPhotoshopSegment(*block);
        if (!marker.insertAt || !segment)
            return std::nullopt;
        const auto at = file.begin() + std::ptrdiff_t(*marker.insertAt);
        out.assign(file.begin(), at);
        out.insert(out.end(), segment->begin(), segment->end());
        out.insert(out.end(), at, file.end());
        return out;
    }

    const size_t data = marker.marker + 4;
    const size_t end = data + marker.dataLength;
    if (marker.dataLength < kSignatureSize || std::memcmp(&file[data], kSignature, kSignatureSize) != 0)
        return std::nullopt;  // somebody else's segment: not ours to change
    std::optional<size_t> sizeAt = FindResource(file, data, end, kIptcResource, kWriterResourceScan);
    if (!sizeAt)
        sizeAt = FindResource(file, data, end, kOldIptcResource, kWriterResourceScan);
    if (!sizeAt)
        return std::nullopt;
    const size_t oldLength = Be16(file, *sizeAt);
    size_t oldEnd = *sizeAt + 2 + oldLength;
    if (oldEnd > end)
        return std::nullopt;  // the resource claims more than its segment holds
    if ((oldLength & 1) && oldEnd < end && file[oldEnd] == 0)
        ++oldEnd;  // its pad byte goes with it
    const size_t newLength = block->size() - 2;
    const size_t pad = newLength & 1;
    const size_t segmentLength = marker.dataLength + 2 - (oldEnd - (*sizeAt + 2)) + newLength + pad;
    if (segmentLength > 0xFFFF)
        return std::nullopt;

    // Up to the resource's size, whose high half is zero now; the new data; the rest.
    out.assign(file.begin(), file.begin() + std::ptrdiff_t(*sizeAt - 2));
    out.insert(out.end(), {0x00, 0x00});
    out.insert(out.end(), block->begin(), block->end());
    if (pad)
        out.push_back(0);
    out.insert(out.end(), file.begin() + std::ptrdiff_t(oldEnd), file.end());
    PutBe16(out, marker.marker + 2, segmentLength);
    return out;
}

bool CIptcData::WriteKeywordsToJpeg(const std::string& path) const
{
    const std::optional<std::vector<uint8_t>> file = ReadFile(path);
    if (!file)
        return false;
    const std::optional<std::vector<uint8_t>> changed = WithKeywords(*file);
    if (!changed)
        return false;
    return lfplat::WriteFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(changed->data()), changed->size()));
}

// ---- Keyword texts ----------------------------------------------------------------------

namespace {

// The text cut before each line feed; the piece after the last one only with keepLast.
std::vector<std::string> CutAtLineFeeds(const std::string& text, bool keepLast)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t feed = text.find('\n'); feed != std::string::npos; feed = text.find('\n', feed + 1)) {
        pieces.push_back(text.substr(start, feed - start));
        start = feed;
    }
    if (keepLast)
        pieces.push_back(text.substr(start));
    return pieces;
}

std::string Trimmed(std::string text)
{
    std::erase(text, '\n');
    const char* space = " \t\r\v\f";
    const size_t first = text.find_first_not_of(space);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

void AppendLines(std::string& rest, const std::vector<std::string>& pieces, size_t skip)
{
    for (size_t i = 1; i < pieces.size(); ++i) {
        if (!rest.empty())
            rest += '\n';
        const std::string value = pieces[i].size() > skip ? pieces[i].substr(skip) : std::string();
        if (!value.empty())
            rest += Trimmed(value);
    }
}

}  // namespace

void ParseIptcKeywordText(std::string& first, std::string& rest, const std::string& text)
{
    const std::vector<std::string> pieces = CutAtLineFeeds(text, false);
    if (pieces.empty())
        return;
    first = pieces[0].size() > 10 ? pieces[0].substr(10) : std::string();  // after "IPTC:2:25="
    AppendLines(rest, pieces, 11);                                          // after "\nIPTC:2:25="
}

void SplitFirstLine(std::string& first, std::string& rest, const std::string& text)
{
    const std::vector<std::string> pieces = CutAtLineFeeds(text, true);
    first = pieces[0];
    AppendLines(rest, pieces, 0);
}

void AppendTextCharacters(std::string& first, std::string& second, const std::string& firstText,
                          const std::string& secondText, int firstCount, int secondCount)
{
    first += firstText.substr(0, size_t(std::max(firstCount, 0)));
    const size_t count = std::min(secondText.size(), size_t(std::max(secondCount - 1, 0)));
    for (size_t i = 0; i < count; ++i) {
        if (secondText[i] == '\n')
            second += "\n\r";
        second += secondText[i];
    }
}
