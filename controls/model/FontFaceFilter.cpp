#include "controls/model/FontFaceFilter.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <map>
#include <memory>

bool FaceFilteredOut(const FontFaceInfo& face, unsigned filter)
{
    return ((filter & kFaceKeepSymbolOnly) && !face.symbol) || ((filter & kFaceNoSymbol) && face.symbol) ||
           ((filter & kFaceKeepFixedOnly) && !face.fixedPitch) || ((filter & kFaceNoFixed) && face.fixedPitch);
}

std::vector<FontFaceInfo> FilterFaces(const std::vector<FontFaceInfo>& faces, unsigned filter)
{
    std::vector<FontFaceInfo> kept;
    std::copy_if(faces.begin(), faces.end(), std::back_inserter(kept),
                 [filter](const FontFaceInfo& face) { return !FaceFilteredOut(face, filter); });
    return kept;
}

std::vector<FontFaceInfo> SystemFontFaces()
{
    std::vector<FontFaceInfo> faces;
    // A configuration of our own, released afterwards: the process-wide one would stay
    // allocated for the toolkit's sake.
    std::unique_ptr<FcConfig, decltype(&FcConfigDestroy)> config(FcInitLoadConfigAndFonts(), FcConfigDestroy);
    if (!config)
        return faces;
    std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(FcPatternCreate(), FcPatternDestroy);
    std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)> objects(
        FcObjectSetBuild(FC_FAMILY, FC_SPACING, FC_SYMBOL, nullptr), FcObjectSetDestroy);
    if (!pattern || !objects)
        return faces;
    std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> set(FcFontList(config.get(), pattern.get(), objects.get()),
                                                                FcFontSetDestroy);
    if (!set)
        return faces;
    std::map<std::string, FontFaceInfo> byName;
    for (int i = 0; i < set->nfont; ++i) {
        FcPattern* font = set->fonts[i];
        FcChar8* family = nullptr;
        if (FcPatternGetString(font, FC_FAMILY, 0, &family) != FcResultMatch || !family || !*family)
            continue;
        const std::string name(reinterpret_cast<const char*>(family));
        FontFaceInfo& face = byName.try_emplace(name, FontFaceInfo{name}).first->second;
        int spacing = FC_PROPORTIONAL;
        if (FcPatternGetInteger(font, FC_SPACING, 0, &spacing) == FcResultMatch && spacing >= FC_MONO)
            face.fixedPitch = true;
        FcBool symbol = FcFalse;
        if (FcPatternGetBool(font, FC_SYMBOL, 0, &symbol) == FcResultMatch && symbol)
            face.symbol = true;
    }
    for (auto& [name, face] : byName)
        faces.push_back(face);
    return faces;
}
