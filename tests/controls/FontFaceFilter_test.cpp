#include "controls/model/FontFaceFilter.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<std::string> Names(const std::vector<FontFaceInfo>& faces)
{
    std::vector<std::string> names;
    for (const auto& face : faces)
        names.push_back(face.name);
    return names;
}

TEST(FontFaceFilter, BitsRemoveMatchingFaces)
{
    const std::vector<FontFaceInfo> faces = {
        {"Sans", false, false},
        {"Mono", false, true},
        {"Symbols", true, false},
        {"SymbolMono", true, true},
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(Names(FilterFaces(faces, 0)), (V{"Sans", "Mono", "Symbols", "SymbolMono"}));
    EXPECT_EQ(Names(FilterFaces(faces, kFaceKeepSymbolOnly)), (V{"Symbols", "SymbolMono"}));
    EXPECT_EQ(Names(FilterFaces(faces, kFaceNoSymbol)), (V{"Sans", "Mono"}));
    EXPECT_EQ(Names(FilterFaces(faces, kFaceKeepFixedOnly)), (V{"Mono", "SymbolMono"}));
    EXPECT_EQ(Names(FilterFaces(faces, kFaceNoFixed)), (V{"Sans", "Symbols"}));
    EXPECT_EQ(Names(FilterFaces(faces, kFaceNoSymbol | kFaceKeepFixedOnly)), (V{"Mono"}));
    EXPECT_TRUE(FilterFaces(faces, kFaceKeepSymbolOnly | kFaceNoSymbol).empty());
}

TEST(FontFaceFilter, SystemFacesAreSortedFamilies)
{
    const auto faces = SystemFontFaces();
    ASSERT_FALSE(faces.empty());
    const auto names = Names(faces);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
    // The build machines carry the DejaVu families: one monospaced, one not.
    const auto mono = std::find(names.begin(), names.end(), "DejaVu Sans Mono");
    const auto sans = std::find(names.begin(), names.end(), "DejaVu Sans");
    ASSERT_NE(mono, names.end());
    ASSERT_NE(sans, names.end());
    EXPECT_TRUE(faces[static_cast<size_t>(mono - names.begin())].fixedPitch);
    EXPECT_FALSE(faces[static_cast<size_t>(sans - names.begin())].fixedPitch);
    EXPECT_FALSE(faces[static_cast<size_t>(sans - names.begin())].symbol);
}

}  // namespace
