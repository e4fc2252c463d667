#pragma once
// The page layouts of the print window, read from the hand-made text file
// "LayoutConfig.txt". Nothing writes that file.

#include "manager/model/PrintLayout.h"

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

// One accepted layout block of the file.
struct LayoutBlock {
    std::string m_strImageName;  // picture that stands for the layout in the list
    std::string m_strImagePath;  // read and not used
    PrintLayout m_layout;
};

class LayoutConfigFile {
public:
    static constexpr const char* kFileName = "LayoutConfig.txt";
    // The list's record table holds this many layouts; later blocks are not read.
    static constexpr size_t kMaxLayouts = 20;
    // A layout file is a few kilobytes; text beyond this is not read.
    static constexpr size_t kMaxTextLength = 4 * 1024 * 1024;
    // What a layout may ask: each page is composed and painted cell by cell, so a
    // hand-made file must not ask for more cells than a sheet of paper can show.
    static constexpr int kMaxCellsPerSide = 20;
    static constexpr int kMaxCellsPerPage = 100;
    static constexpr float kMaxInches = 100.0f;  // page, margin, gap and photo sizes

    // The file as one text: read in pieces of at most 3999 characters (a line or the
    // part of a longer line that fits), the last character of each piece dropped and
    // the pieces joined. So line breaks separate nothing; a CR before the line feed
    // (files made on Windows) goes with it.
    static std::string ReadText(std::istream& in);
    // The same from a file; empty when it cannot be opened.
    static std::string ReadTextFromFile(const std::string& path);

    // The accepted layout blocks of a joined text, in file order. refused, when given,
    // receives one text per picture block left out because it cannot be used (see
    // LayoutProblem).
    static std::vector<LayoutBlock> Parse(std::string_view text, std::vector<std::string>* refused = nullptr);
    // Why a layout cannot be used ("" when it can): "<picture name>: <what it asks>".
    static std::string LayoutProblem(const LayoutBlock& block);

    // Whether a picture name has one of the picture extensions (case ignored).
    static bool IsPictureName(std::string_view name);

    // Leading white space, an optional sign and digits; 0 without digits.
    static int ParseInt(std::string_view text);
    // The same with an optional fraction and exponent, read in the C locale. "nan" and
    // "inf" (any case, with a sign) read as what they name, a value too large for a float
    // as infinite and one too small as 0: the layout check refuses what is not a size.
    static float ParseFloat(std::string_view text);
};
