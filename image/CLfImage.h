#pragma once
// CLfImage: the one image type of both programs. A single device-independent bitmap
// (header, palette and bottom-up pixel rows in one heap block, so it can go to the
// clipboard or into a BMP file unchanged) with its information block, and optionally
// a selection mask, an alpha plane and a layer list.
//
// Conventions every member follows: results are booleans (or null pointers); a
// failure with a message leaves it in info.lastError (at most 255 characters);
// nothing throws across the interface. Long operations write info.progress and stop
// at the next row when info.escape is non-zero. Operations that replace the pixels
// build the result in a temporary image and move it in with Transfer, so a failure
// leaves the old pixels in place. An image is used by one thread at a time.
//
// Coordinates count x from the left and y from the bottom row (row 0 is the bottom
// row of the picture) unless a member says otherwise.

#include "image/CLfImageInfo.h"
#include "image/LfImageSize.h"
#include "platform/Dib.h"
#include "platform/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

class CLfStream;
class wxBitmap;
class wxDC;
class wxIcon;
class wxRect;
namespace lfimg {
struct Resource;
}

namespace lfimg {

// ImageType ids: CLfImageInfo::type and the type argument of Load, Save, Decode, Encode.
enum ImageType : uint32_t {
    kTypeUnknown = 0,  // decoding tries every format
    kTypeBMP = 1,
    kTypeGIF = 2,
    kTypeJPG = 3,
    kTypePNG = 4,
    kTypeICO = 5,
    kTypeTIF = 6,
    kTypeTGA = 7,
    kTypePCX = 8,
    kTypeWBMP = 9,
    kTypeWMF = 10,  // WMF and EMF, decode only
    kTypeJP2 = 11,
    kTypeJPC = 12,
    kTypePGX = 13,
    kTypePNM = 14,
    kTypeRAS = 15,
    kTypeCount = 16,
};

}  // namespace lfimg

// One packed red-green-blue palette triple, as some formats store their palettes.
struct LfRgbColor {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
};

// Luminance of the first palette entry minus that of the second.
int CompareLuminance(const RGBQUAD& a, const RGBQUAD& b);

class CLfImage {
public:
    // ---- Construction and lifetime -------------------------------------------------
    explicit CLfImage(uint32_t type = 0);
    CLfImage(int64_t width, int64_t height, uint32_t bpp, uint32_t type = 0);
    // A copy of src (Copy with the three flags).
    CLfImage(const CLfImage& src, bool copyPixels = true, bool copySelection = true, bool copyAlpha = true);
    // Init(type), then Load or Decode from the source (see Load, save and dispatch).
    CLfImage(const char* fileName, uint32_t type);
    CLfImage(FILE* file, uint32_t type);
    CLfImage(CLfStream* stream, uint32_t type);
    CLfImage(const uint8_t* buffer, int64_t size, uint32_t type);
    virtual ~CLfImage();
    CLfImage& operator=(const CLfImage& src);

    // ---- Object: allocation, copying, moving, ghosts -------------------------------
    void Init(uint32_t type = 0);
    // Width and height above 0; bpp rounds up to 1, 4, 8 or 24. The pixel bytes start
    // at zero. Null (with lastError) when the size gate or the allocation refuses.
    uint8_t* Create(int64_t width, int64_t height, uint32_t bpp, uint32_t type = 0);
    void Destroy();
    bool Copy(const CLfImage& src, bool copyPixels = true, bool copySelection = true, bool copyAlpha = true);
    // Takes over src's header, information and buffers; src is left empty (Init(0)).
    void Transfer(CLfImage& src);
    // Aliases src's buffers without owning them; for lending an image to a codec.
    void Ghost(const CLfImage* src);
    void CopyInfo(const CLfImage& src);
    // The size gate for a buffer of width x height at bitsPerPixel (rows rounded to
    // rowAlign bytes): false with lastError when refused ("LFIMAGE_MAX_MEMORY
    // exceeded" above the ceiling). Decoders call it before allocating.
    bool CheckSize(int64_t width, int64_t height, uint32_t bitsPerPixel, uint32_t rowAlign = 1);

    // ---- Object: accessors ---------------------------------------------------------
    bool IsValid() const { return dib != nullptr; }
    int32_t GetWidth() const { return header.biWidth; }
    int32_t GetHeight() const { return header.biHeight; }
    uint32_t GetBpp() const { return header.biBitCount; }
    uint32_t GetNumColors() const { return header.biClrUsed; }
    uint32_t GetRowBytes() const { return info.rowBytes; }
    uint32_t GetType() const { return info.type; }
    const char* GetLastError() const { return info.lastError; }
    // Copies text (cut at 255 characters) into lastError.
    void SetLastError(const char* text);
    void SetLastErrorF(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Row 0 (or row when 0 < row < height); null without DIB or when row >= height.
    uint8_t* GetBits(uint32_t row = 0) const;
    uint32_t GetSize() const;
    bool IsInside(int64_t x, int64_t y) const;
    void Clear(uint8_t value = 0);
    void SetXDPI(int32_t dpi);
    void SetYDPI(int32_t dpi);
    RGBQUAD GetTransColor() const;
    uint8_t GetColorType() const;
    void SetFlags(uint32_t flags, bool low16 = false);
    static const char* GetVersion();
    // 1-bit images from raw rows (other depths refused); rows are copied up to the
    // shorter of the two row lengths, flipped when flip is set.
    bool CreateFromArray(const uint8_t* pixels, int32_t width, int32_t height, uint32_t bpp,
                         uint32_t srcRowBytes, bool flip);
    bool CreateFromMatrix(uint8_t* const* rows, int32_t width, int32_t height, uint32_t bpp,
                          uint32_t srcRowBytes, bool flip);

    // ---- Load, save and format dispatch --------------------------------------------
    bool Decode(CLfStream* stream, uint32_t type);
    bool Decode(FILE* file, uint32_t type);
    bool Decode(const uint8_t* buffer, int64_t size, uint32_t type);
    bool Encode(CLfStream* stream, uint32_t type);
    bool Encode(FILE* file, uint32_t type);
    // Only when buffer is null on entry; the caller frees the result with std::free.
    bool Encode(uint8_t*& buffer, int64_t& size, uint32_t type);
    // Multipage: every image a page (TIFF) or a frame (GIF).
    bool Encode(CLfStream* stream, CLfImage** images, int32_t count, uint32_t type);
    bool Encode(FILE* file, CLfImage** images, int32_t count, uint32_t type);
    bool RefuseEncode(CLfStream* stream);
    bool Load(const char* fileName, uint32_t type = 0);
    // Replaces fileName only once the whole image is written; false with lastError on
    // every failure (the file's own, or the encoder's).
    bool Save(const char* fileName, uint32_t type);
    // Decodes a program resource (lfimg::FindResource); a null resource fails with
    // "Unable to load resource!", one without bytes with no message.
    bool LoadResource(const lfimg::Resource* resource, uint32_t type);

    // ---- Pixels and palette --------------------------------------------------------
    uint32_t GetPaletteSize() const;
    RGBQUAD* GetPalette() const;
    RGBQUAD GetPaletteColor(uint32_t index) const;
    bool GetPaletteColor(uint32_t index, uint8_t& red, uint8_t& green, uint8_t& blue) const;
    void SetPaletteColor(uint8_t index, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 0);
    void SetPaletteColor(uint8_t index, RGBQUAD color);
    void SetPaletteColor(uint8_t index, COLORREF color);
    void SetPalette(const RGBQUAD* entries, uint32_t count);
    void SetPalette(const LfRgbColor* entries, uint32_t count);
    void SetPalette(uint32_t count, const uint8_t* red, const uint8_t* green = nullptr,
                    const uint8_t* blue = nullptr);
    void SetGrayPalette();
    void SetStdPalette();
    void BlendPalette(COLORREF color, int32_t percent);
    void SetClrImportant(uint32_t count);
    bool IsGrayScale() const;
    void SwapIndex(uint8_t index1, uint8_t index2);
    uint8_t GetNearestIndex(RGBQUAD color);

    uint8_t GetPixelIndex(int64_t x, int64_t y) const;
    void SetPixelIndex(int64_t x, int64_t y, uint8_t index);
    RGBQUAD GetPixelColor(int64_t x, int64_t y) const;
    void SetPixelColor(int64_t x, int64_t y, RGBQUAD color, bool setAlpha = false);
    void SetPixelColor(int64_t x, int64_t y, COLORREF color);
    uint8_t GetPixelGray(int64_t x, int64_t y) const;
    bool IsTransparent(int64_t x, int64_t y) const;
    void DrawLine(int32_t startX, int32_t endX, int32_t startY, int32_t endY, RGBQUAD color,
                  bool setAlpha = false);
    void DrawLine(int32_t startX, int32_t endX, int32_t startY, int32_t endY, COLORREF color);
    // Fills this 24-bit image from 16-bit (masked) or 32-bit pixels; src holds
    // srcBytes bytes and may be this image's own pixel buffer. False (nothing
    // written) when the depths do not fit or src is shorter than the rows need.
    bool BitfieldsToRGB(const uint8_t* src, uint32_t redMask, uint32_t greenMask, uint32_t blueMask,
                        uint32_t srcBpp, uint64_t srcBytes);

    static RGBQUAD RGBtoRGBQUAD(COLORREF color);
    static COLORREF RGBtoBGR(COLORREF color);
    // Swaps the first and third byte of each 3-byte group (images without palette).
    void SwapRedBlue(uint8_t* row, int64_t length) const;

    // ---- Alpha channel ---------------------------------------------------------------
    // The plane holds width x height bytes, bottom-up, no row padding; 0 transparent.
    bool AlphaCreate();
    void AlphaDelete();
    void AlphaClear();
    void AlphaSet(uint8_t level);
    void AlphaSet(int64_t x, int64_t y, uint8_t level);
    uint8_t AlphaGet(int64_t x, int64_t y) const;
    // From an 8-bit grey image of the same size.
    bool AlphaSet(const CLfImage& grey);
    // From the plane of an image of the same size (with its alphaMax).
    bool AlphaCopy(const CLfImage& src);
    void AlphaInvert();
    bool AlphaFlip();
    bool AlphaMirror();
    bool AlphaSplit(CLfImage* dest) const;
    bool PaletteHasAlpha() const;
    void AlphaPaletteClear();
    bool AlphaPaletteSplit(CLfImage* dest) const;
    // Blends plane, palette alpha and alphaMax onto transColor and drops them.
    void AlphaStrip();

    // ---- Selection mask --------------------------------------------------------------
    // The mask holds width x height bytes, bottom-up; 0 = not selected, 255 written
    // by the building members. Rectangles are in pixel coordinates (y from the bottom),
    // right and top exclusive, in either order.
    bool SelectionCreate();
    bool SelectionDelete();
    bool SelectionClear();
    bool SelectionIsInside(int64_t x, int64_t y) const;
    bool SelectionAddRect(RECT rect);
    bool SelectionAddEllipse(RECT rect);
    // Points with x = -1 separate outlines.
    bool SelectionAddPolygon(const POINT* points, int32_t count);
    bool SelectionAddColor(RGBQUAD color);
    bool SelectionAddPixel(int64_t x, int64_t y);
    bool SelectionInvert();
    // From the mask of an image of the same size (with its box).
    bool SelectionCopy(const CLfImage& src);
    // Appends one rectangle (a, y, b, y + 1) per run of 255 bytes in DIB rows; the
    // region is the union of the rectangles.
    bool SelectionToHRGN(std::vector<RECT>* region) const;

    // ---- Colour adjustments, channels, filters, histograms (editor only) ------------
    // Point operations: palette images change through their palette; true-colour
    // images pixel by pixel over the selection walk.
    bool BrightnessContrast(int32_t brightness, int32_t contrast);
    // Refused (false) for a gamma of zero or below.
    bool Gamma(float gamma);
    bool ShiftRGB(int32_t red, int32_t green, int32_t blue);
    bool Colorize(uint8_t hue, uint8_t saturation);
    // Becomes a 1-bit image: white where the grey level exceeds level.
    bool Threshold(uint8_t level);

    // Colours of another space travel in an RGBQUAD: first component in rgbRed,
    // second in rgbGreen, third in rgbBlue, fourth byte 0. HSL scales all three to
    // 0..255 (hue 85 green, 170 blue); chroma carries an offset of 128.
    static RGBQUAD RGBtoHSL(RGBQUAD color);
    static RGBQUAD HSLtoRGB(RGBQUAD hsl);
    static RGBQUAD HSLtoRGB(COLORREF hsl);
    static float HueToRGB(float m1, float m2, float hue);
    static RGBQUAD RGBtoYUV(RGBQUAD color);
    static RGBQUAD YUVtoRGB(RGBQUAD yuv);
    static RGBQUAD RGBtoYIQ(RGBQUAD color);
    static RGBQUAD YIQtoRGB(RGBQUAD yiq);
    static RGBQUAD RGBtoXYZ(RGBQUAD color);
    static RGBQUAD XYZtoRGB(RGBQUAD xyz);
    // One 8-bit grey image per channel into each given destination (which may be
    // this image); false without DIB or without any destination.
    bool SplitRGB(CLfImage* red, CLfImage* green, CLfImage* blue);
    bool SplitYUV(CLfImage* y, CLfImage* u, CLfImage* v);
    bool SplitYIQ(CLfImage* y, CLfImage* i, CLfImage* q);
    bool SplitXYZ(CLfImage* x, CLfImage* y, CLfImage* z);
    bool SplitHSL(CLfImage* hue, CLfImage* saturation, CLfImage* lightness);
    bool SplitCMYK(CLfImage* cyan, CLfImage* magenta, CLfImage* yellow, CLfImage* black);
    // Colour-space codes of Combine, Histogram and Repair: 1 HSL, 2 YUV, 3 YIQ,
    // 4 XYZ, anything else RGB.
    // This image becomes a 24-bit image of first's size from the channel images
    // (read by index; true-colour channels by grey level; other sizes by nearest
    // pixel). The channel images are never changed and may include this image.
    bool Combine(const CLfImage* first, const CLfImage* second, const CLfImage* third,
                 const CLfImage* alphaImage, int32_t space);
    void HuePalette(float correction);

    // Window filters over size x size taps (offsets -(size/2) .. size - size/2 - 1),
    // read from the image as it was; taps outside read GetPixelColor's outside colour.
    bool Filter(const int32_t* kernel, int32_t size, int32_t divisor, int32_t offset);
    bool FilterSeparable(const int32_t* kernel, int32_t size, int32_t divisor, int32_t offset);
    bool Erode(int32_t size);
    bool Dilate(int32_t size);
    bool Median(int32_t size);
    bool Contour();
    bool Jitter(int32_t radius);
    bool Noise(int32_t level);
    // Operations 0 add, 1 and, 2 xor, 3 or, 4 black to transparent, 5 fill the
    // transparent, 6 other over this, 7 subtract, 8 soft fill; others do nothing.
    void Mix(const CLfImage& other, uint32_t operation, uint32_t xOffset, uint32_t yOffset);

    float Mean();
    int32_t Histogram(int32_t* red, int32_t* green, int32_t* blue, int32_t* grey, int32_t space = 0) const;
    bool HistogramStretch();
    bool HistogramEqualize();
    bool HistogramNormalize();
    bool HistogramLog();
    bool HistogramRoot();
    // Direction 1 forward, -1 inverse. The sources are never changed; results go to
    // the destinations given. A destination without its source is transformed in
    // place (its pixels are the input); a part with neither starts at zeros.
    bool FFT2(const CLfImage* srcReal, const CLfImage* srcImag, CLfImage* dstReal, CLfImage* dstImag,
              int32_t direction, bool forcePow2 = false, bool magnitude = false);
    static bool FFT(int32_t direction, int32_t m, double* x, double* y);
    static bool DFT(int32_t direction, int32_t n, double* x, double* y, double* x2, double* y2);
    static bool IsPowerOf2(int64_t n);
    bool Repair(float radius, int32_t iterations, int32_t space = 0);
    static bool RepairChannel(CLfImage* channel, float radius);

    // ---- Resampling, rotation, flips, cropping, canvas, grey and bit depth --------
    // Results replace this image, or go to destination when one is given.
    // Resample modes: 1 nearest pixel, 2 cubic B-spline, anything else automatic
    // (area averaging for a 24-bit image that shrinks both ways, else bilinear).
    bool Resample(int32_t newWidth, int32_t newHeight, int32_t mode = 0, CLfImage* destination = nullptr);
    static float KernelBSpline(float t);
    // Positive angles turn the picture clockwise as displayed.
    bool Rotate(float angle, CLfImage* destination = nullptr);
    bool RotateLeft(CLfImage* destination = nullptr);
    bool RotateRight(CLfImage* destination = nullptr);
    bool Rotate180(CLfImage* destination = nullptr);
    bool Flip();
    bool Mirror();
    // Edges counted from the top row; right and bottom exclusive; reversed pairs swap.
    bool Crop(int32_t left, int32_t top, int32_t right, int32_t bottom, CLfImage* destination = nullptr);
    bool Expand(int32_t left, int32_t top, int32_t right, int32_t bottom, RGBQUAD canvas,
                CLfImage* destination = nullptr);
    // Centres the image on a canvas of the new size (not smaller than the image).
    bool Expand(int32_t newWidth, int32_t newHeight, RGBQUAD canvas, CLfImage* destination = nullptr);
    // Scaled down to fit the box (never up), centred on a canvas of the box size.
    bool Thumbnail(int32_t boxWidth, int32_t boxHeight, RGBQUAD canvas, CLfImage* destination = nullptr);
    bool Skew(float xGain, float yGain, int32_t xPivot = 0, int32_t yPivot = 0);
    bool GrayScale();
    bool Negative();
    // To 4, 8 or 24 bits; false for a shallower target.
    bool IncreaseBpp(uint32_t bits);
    // To 1, 4 or 8 bits with the given palette (or a standard one).
    bool DecreaseBpp(uint32_t bits, bool errorDiffusion, const RGBQUAD* palette = nullptr, uint32_t important = 0);
    // To 1 bit: method 1 ordered, anything else error diffusion.
    bool Dither(int32_t method = 0);

    // ---- Packed DIB blocks ---------------------------------------------------------
    // A packed DIB (header, palette, bottom-up rows) of GetSize bytes with the current
    // header; empty without DIB. The clipboard's bitmap format and the editor's
    // copy use it.
    std::vector<uint8_t> CopyToHandle() const;
    // Replaces the image with a packed DIB of size bytes: 40-byte or longer (V4/V5)
    // headers, top-down rows, short palettes, 16/32-bit bit fields; compressed and
    // short blocks are refused (false with lastError). Never reads past size.
    bool CreateFromHANDLE(const uint8_t* block, size_t size);

    // ---- Window-system bridge (library lf_image_gui; see image/gui/) --------------
    // Link lf_image_gui to use these; the image library itself needs no toolkit.
    // Coordinates are the DC's logical units; pictures are composed at one pixel per
    // logical unit, so a DC scale enlarges them. The DC's clip box (GetClippingBox,
    // the whole DC when it has none) limits the work to the visible part; the DC's
    // own clipping is never changed. GUI thread only.

    // A 24-bit copy of the bitmap (no alpha); an invalid bitmap leaves no DIB.
    void CreateFromHBITMAP(const wxBitmap& bitmap);
    // The icon's colours, its mask or alpha as the alpha plane (0 where masked).
    void CreateFromHICON(const wxIcon& icon);
    // The whole image as a 24-bit bitmap (no alpha); invalid without DIB.
    wxBitmap MakeBitmap() const;
    // Paints at (x, y) with size cx x cy (negative: the image's width or height),
    // nearest pixel when scaled, inside the DC's clip box and clip (when given).
    // Transparent index, alpha plane, palette alpha and alphaMax blend: a pixel with
    // no opacity (or the transparent colour) leaves the target as it was; others
    // become (colour x a + background x (255 - a)) >> 8, the background being the
    // DC's background brush colour (SetBackground), or transColor when the DC has
    // no solid background brush. The target's pixels are never read back.
    // False without DIB or DC, for cx or cy 0, or when info.enabled is false.
    bool Draw(wxDC* dc, int32_t x = 0, int32_t y = 0, int32_t cx = -1, int32_t cy = -1,
              const wxRect* clip = nullptr) const;
    // Like Draw, but only the transparent colour (transColor for 24 bits, else the
    // palette entry of transIndex) is left out; alpha is ignored.
    bool Draw2(wxDC* dc, int32_t x = 0, int32_t y = 0, int32_t cx = -1, int32_t cy = -1) const;
    // The whole image into the rectangle, nearest pixel, ignoring all transparency.
    bool Stretch(wxDC* dc, int32_t x, int32_t y, int32_t cx, int32_t cy) const;
    // Covers the rectangle with natural-size copies from its top-left corner; the
    // last column and row are cut at the rectangle's edge.
    bool Tile(wxDC* dc, const wxRect* rect) const;
    // Renders text into the pixels (the DC is only the font's reference): the text's
    // bottom line on top-down row y, starting at column x. Face at most 31
    // characters; height in pixels (negative: character height); weight 100..900.
    bool DrawString(wxDC* dc, int32_t x, int32_t y, const char* text, RGBQUAD colour, const char* face,
                    int32_t height, int32_t weight, bool italic, bool underline, bool setAlpha = false);

    // ---- Data ----------------------------------------------------------------------
    // Public because codecs, transforms and both programs work on them directly.
    // The buffers are owned by the image (freed by Destroy) unless info.ghostOf is
    // set; only Create, Destroy, Copy, Transfer, Ghost and the alpha and selection
    // members allocate or free them.
    uint8_t* dib = nullptr;           // packed DIB; null = no image
    BITMAPINFOHEADER header{};        // authoritative; copied to the front of dib
    CLfImageInfo info;
    uint8_t* selection = nullptr;     // width x height bytes, bottom-up; null = all selected
    uint8_t* alpha = nullptr;         // width x height bytes, bottom-up; null = opaque
    CLfImage** layers = nullptr;      // info.layerCount owned layers

protected:
    // The selection box of an empty selection: left = width, top = 0, right = 0, bottom = height.
    void SelectionResetBox();
    // Widens the selection box to take in columns left..right-1, rows bottom..top-1.
    void SelectionGrowBox(int64_t left, int64_t bottom, int64_t right, int64_t top);
    // Forgets aliased buffers without freeing them and stops being a ghost.
    void DropGhost();
    void PaletteChanged() { info.lastColorValid = false; }

private:
    // fileName opened for reading when it is a regular file (null otherwise, with the
    // reason as the last error when it is there but not a regular file).
    FILE* OpenPictureFile(const char* fileName);
    bool AddPolygonToMask(const POINT* points, int32_t count);
    // Frees the current plane when this image owns it and installs plane.
    void ReplaceAlpha(uint8_t* plane);

    // A ghost owns none of the aliased buffers, but an encoder may give it a
    // temporary alpha plane of its own; this marks that plane as the ghost's.
    bool m_ghostOwnsAlpha = false;
};
