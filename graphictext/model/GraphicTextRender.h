#pragma once
// The three renderings of graphical text into pixels: the free-position and centred
// previews on the reduced image, and the full-size rendering on the image itself. They
// take their raster from a TextLineRasterizer, so they need no window.

#include "graphictext/model/GraphicTextSettings.h"
#include "graphictext/model/TextRaster.h"

#include <atomic>
#include <functional>

class CLfImage;

// Where the text block sits: origin x is the columns from the reduced image's left edge
// to the block's left edge, origin y the rows from its bottom row up to the block's
// bottom row; the percentages are what the full-size rendering reads.
struct TextPosition {
    int originX = -1;
    int originY = -1;
    // Before any preview or drag the block stands where the first preview puts it.
    float leftPercent = 10.0f;
    float bottomPercent = 90.0f;

    // Both 0 or less counts as unset (the bottom-left corner itself too).
    bool IsUnset() const { return originX <= 0 && originY <= 0; }
    // A tenth of the width from the left, a tenth of the height from the bottom.
    void SetDefault(int width, int height);
    // The percentages after a drag left the origin where it is.
    void TakePercentages(int width, int height);
};

// What differs between the two programs.
struct TextStyle {
    int weight;
    BlendRule rule;
    int resampleMode;  // of the reduced preview image
};
inline constexpr TextStyle kManagerTextStyle{400, BlendRule::Manager, 3};
inline constexpr TextStyle kEditorTextStyle{600, BlendRule::Editor, 2};

struct PreviewRendering {
    bool drawn = false;  // false when the rasterizer refused a line
    TextRaster raster;   // what the pane overlays: the whole block, or the last line when centred
    int blockWidth = 0;
    int blockHeight = 0;
};

// The reduced image's size as drawn in the pane is the reference height of the previews.
// working becomes a full copy of reduced with the text blended in.
PreviewRendering RenderFreePreview(const CLfImage& reduced, CLfImage& working, GraphicTextSettings& settings,
                                   TextPosition& position, TextLineRasterizer& rasterizer, const TextStyle& style);
// Every line centred on its own; an unset position gets its default first, so the block
// lies where the full-size rendering will put it.
PreviewRendering RenderCentredPreview(const CLfImage& reduced, CLfImage& working, GraphicTextSettings& settings,
                                      TextPosition& position, TextLineRasterizer& rasterizer, const TextStyle& style);

// Start row of the full-size rendering (rows from the top, truncated): H x bottom / 100
// less hp / H for one line, less the font height f for more.
int FullSizeStartRow(int imageHeight, float bottomPercent, int reducedHeight, double fontHeight, size_t lineCount,
                     BlendRule rule);
// Row counted from the bottom where raster row k of a line starting at row y lands.
inline long long FullSizeRow(int imageHeight, int k, int y, double fontHeight)
{
    return static_cast<long long>(static_cast<double>(imageHeight) - k - y + fontHeight);
}

struct FullSizeProgress {
    // Called with the range (lines x block height) before the first line...
    std::function<void(int range)> start;
    // ...and with the position after every raster column.
    std::function<void(int position)> step;
};

enum class RenderOutcome { Done, Stopped };

// Renders the text into image at full size. reducedHeight: the height of the reduced
// preview image. Stops (leaving what was drawn) when stop becomes true or the
// rasterizer refuses a line.
RenderOutcome RenderFullSize(CLfImage& image, GraphicTextSettings& settings, const TextPosition& position,
                             int reducedHeight, TextLineRasterizer& rasterizer, const TextStyle& style,
                             const std::atomic<bool>* stop = nullptr, const FullSizeProgress& progress = {});
