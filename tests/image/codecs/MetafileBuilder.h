#pragma once
// Small metafiles built byte by byte for the tests: placeable WMF files and EMF
// files with the records given.

#include "tests/image/PictureTestUtil.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace lftest {

inline void Put16(Bytes& b, int v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(unsigned(v) >> 8));
}
inline void Put32(Bytes& b, int64_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(uint64_t(v) >> (8 * i)));
}

// A placeable WMF: the 22-byte header, the metafile header and the records given
// as (function, 16-bit parameters).
struct WmfRecord {
    uint16_t function;
    std::vector<int> words;  // 16-bit parameters; a 32-bit value takes two
};
inline Bytes PlaceableWmf(int left, int top, int right, int bottom, int inch, const std::vector<WmfRecord>& records,
                          int checksumFlip = 0)
{
    Bytes out;
    Put32(out, 0x9AC6CDD7);
    Put16(out, 0);
    Put16(out, left);
    Put16(out, top);
    Put16(out, right);
    Put16(out, bottom);
    Put16(out, inch);
    Put32(out, 0);
    uint16_t sum = 0;
    for (int i = 0; i < 10; ++i) sum ^= uint16_t(out[2 * i] | (out[2 * i + 1] << 8));
    Put16(out, sum ^ checksumFlip);
    Bytes body;
    for (const WmfRecord& r : records) {
        Put32(body, int64_t(3 + r.words.size()));
        Put16(body, r.function);
        for (int w : r.words) Put16(body, w);
    }
    Put32(body, 3);  // end of file
    Put16(body, 0);
    const size_t words = (18 + body.size()) / 2;
    Put16(out, 1);      // in memory
    Put16(out, 9);      // header words
    Put16(out, 0x300);  // version
    Put32(out, int64_t(words));
    Put16(out, 4);  // objects
    Put32(out, 16);
    Put16(out, 0);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// An EMF: the header record with the bounds, then records of 32-bit parameters.
struct EmfRecord {
    uint32_t type;
    Bytes params;
};
inline Bytes Ints(std::initializer_list<int64_t> values)
{
    Bytes b;
    for (int64_t v : values) Put32(b, v);
    return b;
}
inline Bytes Emf(int left, int top, int right, int bottom, const std::vector<EmfRecord>& records)
{
    Bytes body;
    for (const EmfRecord& r : records) {
        Put32(body, r.type);
        Put32(body, int64_t(8 + r.params.size()));
        body.insert(body.end(), r.params.begin(), r.params.end());
    }
    Put32(body, 14);  // end of file
    Put32(body, 20);
    Put32(body, 0);
    Put32(body, 0);
    Put32(body, 0);
    Bytes out;
    Put32(out, 1);
    Put32(out, 88);
    for (int v : {left, top, right, bottom}) Put32(out, v);
    for (int v : {0, 0, 2540, 1270}) Put32(out, v);  // frame, 0.01 mm
    Put32(out, 0x464D4520);
    Put32(out, 0x10000);
    Put32(out, int64_t(88 + body.size()));
    Put32(out, int64_t(records.size() + 2));
    Put16(out, 4);
    Put16(out, 0);
    for (int v : {0, 0, 0, 1280, 1024, 320, 240}) Put32(out, v);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

}  // namespace lftest
