#pragma once
// Builds EXIF blocks (TIFF-structured tags) in either byte order for the tests,
// with patchable offsets so that hostile links can be made on purpose.

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace lftest {

// head then tail in one vector sized once (GCC 12 warns, wrongly, about
// appending to a vector that an initializer list sized).
inline std::vector<uint8_t> Joined(std::initializer_list<uint8_t> head, const std::vector<uint8_t>& tail)
{
    std::vector<uint8_t> out(head.size() + tail.size());
    std::copy(head.begin(), head.end(), out.begin());
    std::copy(tail.begin(), tail.end(), out.begin() + long(head.size()));
    return out;
}

class ExifBuilder {
public:
    struct Entry {
        uint16_t tag;
        uint16_t format;
        uint32_t count;
        std::vector<uint8_t> value;  // bytes in file order; longer than 4 go out of line
    };

    explicit ExifBuilder(bool motorola) : m_motorola(motorola)
    {
        m_tiff = {uint8_t(motorola ? 'M' : 'I'), uint8_t(motorola ? 'M' : 'I'), 0, 0, 0, 0, 0, 0};
        Put16(2, 42);
        Put32(4, 8);
    }

    // Appends a directory (entries, a zero next link, then its out-of-line values);
    // the first one lands at offset 8. Returns its offset from the TIFF header.
    uint32_t AddDirectory(const std::vector<Entry>& entries)
    {
        const uint32_t at = Size();
        const uint32_t valuesAt = at + 2 + 12 * uint32_t(entries.size()) + 4;
        m_tiff.resize(valuesAt);
        Put16(at, uint16_t(entries.size()));
        uint32_t next = valuesAt;
        for (size_t i = 0; i < entries.size(); ++i) {
            const Entry& e = entries[i];
            const uint32_t p = at + 2 + 12 * uint32_t(i);
            Put16(p, e.tag);
            Put16(p + 2, e.format);
            Put32(p + 4, e.count);
            if (e.value.size() <= 4) {
                for (size_t k = 0; k < e.value.size(); ++k)
                    m_tiff[p + 8 + k] = e.value[k];
            } else {
                Put32(p + 8, next);
                m_tiff.insert(m_tiff.end(), e.value.begin(), e.value.end());
                next += uint32_t(e.value.size());
            }
        }
        return at;
    }

    uint32_t AddBytes(const std::vector<uint8_t>& bytes)
    {
        const uint32_t at = Size();
        m_tiff.insert(m_tiff.end(), bytes.begin(), bytes.end());
        return at;
    }

    static uint32_t ValueOffset(uint32_t directory, int index) { return directory + 2 + 12 * index + 8; }
    static uint32_t NextLinkOffset(uint32_t directory, int entries) { return directory + 2 + 12 * entries; }

    void Patch32(uint32_t at, uint32_t v) { Put32(at, v); }
    uint32_t Size() const { return uint32_t(m_tiff.size()); }

    // "Exif\0\0" and the TIFF data: the body of an APP1 segment.
    std::vector<uint8_t> Segment() const
    {
        return Joined({'E', 'x', 'i', 'f', 0, 0}, m_tiff);
    }

    // The whole APP1 segment: marker, length, body.
    std::vector<uint8_t> App1() const
    {
        const std::vector<uint8_t> body = Segment();
        const size_t length = body.size() + 2;
        return Joined({0xFF, 0xE1, uint8_t(length >> 8), uint8_t(length)}, body);
    }

    Entry Short(uint16_t tag, uint16_t v) const { return {tag, 3, 1, Bytes16(v)}; }
    Entry Long(uint16_t tag, uint32_t v) const { return {tag, 4, 1, Bytes32(v)}; }
    Entry Rational(uint16_t tag, uint32_t num, uint32_t den) const { return {tag, 5, 1, Pair(num, den)}; }
    Entry SRational(uint16_t tag, int32_t num, int32_t den) const
    {
        return {tag, 10, 1, Pair(uint32_t(num), uint32_t(den))};
    }
    Entry Ascii(uint16_t tag, const std::string& s) const
    {
        std::vector<uint8_t> v(s.begin(), s.end());
        v.push_back(0);
        return {tag, 2, uint32_t(v.size()), v};
    }
    Entry Undefined(uint16_t tag, const std::string& s) const
    {
        return {tag, 7, uint32_t(s.size()), std::vector<uint8_t>(s.begin(), s.end())};
    }

private:
    std::vector<uint8_t> Bytes16(uint16_t v) const
    {
        return m_motorola ? std::vector<uint8_t>{uint8_t(v >> 8), uint8_t(v)}
                          : std::vector<uint8_t>{uint8_t(v), uint8_t(v >> 8)};
    }
    std::vector<uint8_t> Bytes32(uint32_t v) const
    {
        return m_motorola ? std::vector<uint8_t>{uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}
                          : std::vector<uint8_t>{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    }
    std::vector<uint8_t> Pair(uint32_t a, uint32_t b) const
    {
        std::vector<uint8_t> v = Bytes32(a);
        const std::vector<uint8_t> w = Bytes32(b);
        v.insert(v.end(), w.begin(), w.end());
        return v;
    }
    void Put16(uint32_t at, uint16_t v)
    {
        const std::vector<uint8_t> b = Bytes16(v);
        m_tiff[at] = b[0];
        m_tiff[at + 1] = b[1];
    }
    void Put32(uint32_t at, uint32_t v)
    {
        const std::vector<uint8_t> b = Bytes32(v);
        for (int i = 0; i < 4; ++i)
            m_tiff[at + i] = b[i];
    }

    bool m_motorola;
    std::vector<uint8_t> m_tiff;
};

}  // namespace lftest
