#pragma once
// TIFF codec (ImageType 6) over libtiff on a CLfStream: decodes one page (the
// image's frame) and writes one page per image, or several images as the pages of
// one file.

#include "image/CLfImage.h"

#include <cstdint>

struct tiff;

class CLfImageTIF : public CLfImage {
public:
    CLfImageTIF();
    ~CLfImageTIF() override;
    CLfImageTIF(const CLfImageTIF&) = delete;
    CLfImageTIF& operator=(const CLfImageTIF&) = delete;

    // Decodes page info.frame; info.frameCount tells the pages found, also when the
    // asked page is missing.
    bool Decode(CLfStream* stream);
    // Writes this image as a page. With append the handle stays open for further
    // pages; without, the file is finished here.
    bool Encode(CLfStream* stream, bool append = false);
    // Writes every image as one page of a single file.
    bool Encode(CLfStream* stream, CLfImage** images, int32_t count);

    // Copies rows of a tile into a band: per row, columns bytes from source to
    // destination, then each advances by its own skip.
    static void TileToStrip(uint8_t* destination, const uint8_t* source, uint32_t rows, uint32_t columns,
                            uint32_t destinationSkip, uint32_t sourceSkip);

    // The page state of a multipage write.
    struct tiff* tiffHandle = nullptr;
    int32_t multipage = 0;
    int32_t pageCount = 0;
    int32_t totalPages = 0;  // pages a multipage write will hold, 0 when unknown

private:
    bool EncodeBody(struct tiff* handle, bool asPage, int32_t page, int32_t pages);
    bool WritePages(CLfStream* stream, CLfImage** images, int32_t count);
    void ClosePages();
};
