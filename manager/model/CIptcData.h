#pragma once
// The IPTC record of an image as texts: the single-valued fields and the two lists
// (supplemental categories and keywords) of IPTC record 2. It reads them from a JPEG
// file's Photoshop resource segment (APP13, "Photoshop 3.0", resource 0x0404 or
// 0x03ED) and writes its keyword list back into that segment, or into a new one put in
// front of the first quantisation table. Everything read from the file is bounded by
// the segment it lies in, and the file is replaced whole, never patched in place.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CIptcData {
public:
    CIptcData();
    virtual ~CIptcData();

    std::string m_strByLine;                  // 2:80
    std::string m_strByLineTitle;             // 2:85
    std::string m_strCredit;                  // 2:110
    std::string m_strSource;                  // 2:115
    std::string m_strWriterEditor;            // 2:122
    std::string m_strCaption;                 // 2:120
    std::string m_strHeadline;                // 2:105
    std::string m_strSpecialInstructions;     // 2:40
    std::string m_strObjectName;              // 2:05
    std::string m_strDateCreated;             // 2:55
    std::string m_strCity;                    // 2:90
    std::string m_strProvinceState;           // 2:95
    std::string m_strCountry;                 // 2:101
    std::string m_strTransmissionReference;   // 2:103
    std::string m_strCategory;                // 2:15
    std::vector<std::string> m_arrSupplementalCategories;  // 2:20, one per dataset
    std::vector<std::string> m_arrKeywords;                // 2:25, one per dataset
    std::string m_strCopyrightNotice;         // 2:116
    int m_nReserved1 = 0;
    int m_nReserved2 = 0;

    // True with nothing read for a file without the segment; false when the file cannot
    // be read or its segment is not a Photoshop one or holds no IPTC resource.
    bool ReadFromJpeg(const std::string& path);
    bool ReadFromBytes(const std::vector<uint8_t>& file);
    // Replaces the file by one whose IPTC data is the keyword list. False (file
    // untouched) when it cannot be read or written, has no place for the segment, has
    // a Photoshop segment without IPTC resource, or the segment would outgrow 64 KB.
    bool WriteKeywordsToJpeg(const std::string& path) const;
    // The file's bytes with the keyword list written in, or nothing (as above).
    std::optional<std::vector<uint8_t>> WithKeywords(const std::vector<uint8_t>& file) const;

    // ---- The pieces, for the curious.
    struct Marker {
        bool found = false;
        size_t marker = 0;      // position of FF ED
        size_t dataLength = 0;  // the segment's length field - 2
        std::optional<size_t> insertAt;  // where a new segment goes (the first FF DB)
    };
    // Walks the file's segments from the start-of-image marker up to the first
    // quantisation table, the scan or the image's end.
    static Marker FindMarker(const std::vector<uint8_t>& file);
    // In data[begin, end): the position of the low 16 bits of the data size of the
    // first resource id among the first count start positions; nothing when none.
    static std::optional<size_t> FindResource(const std::vector<uint8_t>& file, size_t begin, size_t end,
                                              uint16_t id, size_t count);
    // Reads the datasets of the IPTC data whose size low word is at sizeAt, up to end.
    void ParseDatasets(const std::vector<uint8_t>& file, size_t sizeAt, size_t end);
    // The dataset at pos: its data length (0 when none stands there, or it does not
    // fit before end), number and text.
    static size_t ReadDataset(const std::vector<uint8_t>& file, size_t pos, size_t end, int& number,
                              std::string& text);
    // The 2-byte total length D of the keyword datasets, then the datasets, the last
    // keyword first; nothing when a keyword is too long for a dataset.
    std::optional<std::vector<uint8_t>> BuildKeywordBlock() const;
    static std::vector<uint8_t> PrependDataset(const std::vector<uint8_t>& datasets, int number,
                                               const std::string& text);
    // A whole APP13 segment (marker included) around a keyword block.
    static std::optional<std::vector<uint8_t>> WrapPhotoshopSegment(const std::vector<uint8_t>& block);
};

// Keyword texts of lines "IPTC:2:25=...": the first line's value, and the values of the
// lines after it (the last line excepted), trimmed, one per line.
void ParseIptcKeywordText(std::string& first, std::string& rest, const std::string& text);
// The first line as it stands, and the lines after it trimmed, one per line.
void SplitFirstLine(std::string& first, std::string& rest, const std::string& text);
// Appends the first firstCount characters of firstText to first, and the first
// secondCount - 1 characters of secondText to second, a line feed preceded there by a
// line feed and a carriage return.
void AppendTextCharacters(std::string& first, std::string& second, const std::string& firstText,
                          const std::string& secondText, int firstCount, int secondCount);
