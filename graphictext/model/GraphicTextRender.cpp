#include "graphictext/model/GraphicTextRender.h"

#include "image/CLfImage.h"

#include <algorithm>

void TextPosition::SetDefault(int width, int height)
{
    originX = width / 10;
    originY = height / 10;
    leftPercent = 10.0f;
    bottomPercent = 90.0f;
}

void TextPosition::TakePercentages(int width, int height)
{
    if (width > 0)
        leftPercent = static_cast<float>(originX * 100.0 / width);
    if (height > 0)
        bottomPercent = static_cast<float>(100.0 - originY * 100.0 / height);
}

namespace {

bool Stopped(const std::atomic<bool>* stop) { return stop && stop->load(std::memory_order_relaxed); }

TextFont FontOf(const GraphicTextSettings& settings, int fontHeight, const TextStyle& style)
{
    return TextFont{settings.fontFace, fontHeight, style.weight, settings.underline};
}

// Blends the raster's block into working at the origin, reading the clean pixels of
// source: raster row r lands blockHeight - 1 - r rows above the origin row. Only the
// columns and rows that land on the picture and on the raster's stored points are
// walked: spacing can make a block far larger than the picture.
void BlendBlock(const TextRaster& raster, int blockWidth, int blockHeight, int originX, int originY,
                const CLfImage& source, CLfImage& working, const GraphicTextSettings& settings, BlendRule rule)
{
    const IndexSpan columns = ClipIndices(std::min(blockWidth, raster.Width()), originX, 1, 0, source.GetWidth());
    const IndexSpan rows = ClipIndices(std::min(blockHeight, raster.StoredRows()),
                                       static_cast<long long>(originY) + blockHeight - 1, -1, 0, source.GetHeight());
    for (int x = columns.begin; x < columns.end; ++x) {
        for (int r = rows.begin; r < rows.end; ++r) {
            if (!raster.IsText(x, r))
                continue;
            const long long px = static_cast<long long>(originX) + x;
            const long long py = static_cast<long long>(originY) + (blockHeight - 1 - r);
            working.SetPixelColor(px, py, BlendColor(settings.colour, source.GetPixelColor(px, py), settings.visibility, rule));
        }
    }
}

// What both previews start with: a clean working copy, the lines and the block's sizes,
// measured on the reduced image.
struct PreviewFrame {
    int width, height, fontHeight, lineSpacing, blockHeight;
};

PreviewFrame StartPreview(const CLfImage& reduced, CLfImage& working, GraphicTextSettings& settings)
{
    working.Copy(reduced);
    settings.CutLines();
    PreviewFrame frame{};
    frame.width = reduced.GetWidth();
    frame.height = reduced.GetHeight();
    frame.fontHeight = IntegerFontHeight(settings.FontHeight(frame.height));
    frame.lineSpacing = settings.LineSpacing();
    frame.blockHeight = BlockHeight(static_cast<int>(settings.lines.size()), frame.fontHeight, frame.lineSpacing);
    return frame;
}

}  // namespace

PreviewRendering RenderFreePreview(const CLfImage& reduced, CLfImage& working, GraphicTextSettings& settings,
                                   TextPosition& position, TextLineRasterizer& rasterizer, const TextStyle& style)
{
    PreviewRendering out;
    const PreviewFrame frame = StartPreview(reduced, working, settings);
    const int w = frame.width;
    const int h = frame.height;
    const int fi = frame.fontHeight;
    const int lineSpacing = frame.lineSpacing;
    const int blockHeight = frame.blockHeight;
    out.raster = TextRaster(w, h, blockHeight);
    const TextFont font = FontOf(settings, fi, style);
    int y0 = 0;
    for (const std::string& line : settings.lines) {
        const int width = rasterizer.DrawLine(out.raster, y0, line, font, settings.CharSpacing());
        if (width < 0)
            return out;
        out.blockWidth = std::max(out.blockWidth, width);
        y0 += lineSpacing + fi;
    }
    if (position.IsUnset())
        position.SetDefault(w, h);
    out.blockHeight = blockHeight;
    BlendBlock(out.raster, out.blockWidth, blockHeight, position.originX, position.originY, reduced, working, settings,
               style.rule);
    out.drawn = true;
    return out;
}

PreviewRendering RenderCentredPreview(const CLfImage& reduced, CLfImage& working, GraphicTextSettings& settings,
                                      TextPosition& position, TextLineRasterizer& rasterizer, const TextStyle& style)
{
    PreviewRendering out;
    const PreviewFrame frame = StartPreview(reduced, working, settings);
    const int w = frame.width;
    const int h = frame.height;
    const int fi = frame.fontHeight;
    const int lineSpacing = frame.lineSpacing;
    const int blockHeight = frame.blockHeight;
    out.blockHeight = blockHeight;
    if (position.IsUnset())
        position.SetDefault(w, h);
    const TextFont font = FontOf(settings, fi, style);
    int y0 = 0;
    for (const std::string& line : settings.lines) {
        TextRaster raster(w, h, blockHeight);
        const int width = rasterizer.DrawLine(raster, y0, line, font, settings.CharSpacing());
        if (width < 0)
            return out;
        out.blockWidth = std::max(out.blockWidth, width);
        position.originX = (w - width) / 2;
        BlendBlock(raster, out.blockWidth, blockHeight, position.originX, position.originY, reduced, working, settings,
                   style.rule);
        y0 += lineSpacing + fi;
        out.raster = std::move(raster);
    }
    out.drawn = true;
    return out;
}

int FullSizeStartRow(int imageHeight, float bottomPercent, int reducedHeight, double fontHeight, size_t lineCount,
                     BlendRule rule)
{
    long double base = 0;
    if (rule == BlendRule::Manager) {
        constexpr float kPercent = 0.01f;
        base = static_cast<long double>(imageHeight) * bottomPercent * kPercent;
    } else {
        const float product = static_cast<float>(imageHeight) * bottomPercent;
        base = static_cast<long double>(product) / 100;
    }
    if (lineCount == 1)
        base -= imageHeight > 0 ? static_cast<long double>(reducedHeight) / imageHeight : 0;
    else
        base -= fontHeight;
    return static_cast<int>(base);
}

RenderOutcome RenderFullSize(CLfImage& image, GraphicTextSettings& settings, const TextPosition& position,
                             int reducedHeight, TextLineRasterizer& rasterizer, const TextStyle& style,
                             const std::atomic<bool>* stop, const FullSizeProgress& progress)
{
    const int W = image.GetWidth();
    const int H = image.GetHeight();
    settings.CutLines();
    const double f = settings.FontHeight(H);
    const int fi = IntegerFontHeight(f);
    const int lineSpacing = settings.LineSpacing();
    const int lineCount = static_cast<int>(settings.lines.size());
    const int blockHeight = BlockHeight(lineCount, fi, lineSpacing);
    int y = FullSizeStartRow(H, position.bottomPercent, reducedHeight, f, settings.lines.size(), style.rule);
    // Lines x block height can pass 16 bits on a tall image: the range is kept whole.
    const long long range = static_cast<long long>(lineCount) * std::max(0, blockHeight);
    if (progress.start)
        progress.start(static_cast<int>(std::min<long long>(range, 0x7fffffff)));
    const TextFont font = FontOf(settings, fi, style);
    const int rows = std::min(blockHeight, H);
    int blockWidth = 0;
    int steps = 0;
    for (const std::string& line : settings.lines) {
        if (Stopped(stop))
            return RenderOutcome::Stopped;
        TextRaster raster(W, H, rows);
        const int width = rasterizer.DrawLine(raster, 0, line, font, settings.CharSpacing());
        if (width < 0 || Stopped(stop))
            return RenderOutcome::Stopped;
        blockWidth = std::max(blockWidth, width);
        const int x0 = settings.centred ? (W - width) / 2 : static_cast<int>(W * position.leftPercent / 100);
        const int columns = std::min(blockWidth, W);
        for (int x = 0; x < columns; ++x) {
            if (Stopped(stop))
                return RenderOutcome::Stopped;
            for (int k = 0; k < rows; ++k) {
                if (!raster.IsText(x, k))
                    continue;
                const long long px = static_cast<long long>(x0) + x;
                const long long py = FullSizeRow(H, k, y, f);
                if (px < 0 || py < 0 || px >= W || py >= H)
                    continue;
                image.SetPixelColor(px, py, BlendColor(settings.colour, image.GetPixelColor(px, py), settings.visibility,
                                                       style.rule));
            }
            if (progress.step)
                progress.step(++steps);
        }
        y += lineSpacing + fi;
    }
    return RenderOutcome::Done;
}
