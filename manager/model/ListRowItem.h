#pragma once
// One row of the list views; the document's list-row array owns it. The list-filling
// thread makes rows and hands them over whole: from then on only the user-interface
// thread reads or changes them.

#include "manager/model/ThumbnailPixels.h"

#include <cstdint>
#include <memory>
#include <string>

class CImageItem;

struct ListRowItem {
    // What the row stands for; the details list picks its icon by it.
    enum class Kind { Image, OtherFile, Folder, ParentFolder };

    std::string name;
    double sizeKB = 0.0;     // bytes / 1024; 1.0 for another file, 0.0 for a folder
    int64_t lastWrite = 0;   // nanoseconds since 1970-01-01 UTC
    std::string description;
    // Notes kept with the image's cached thumbnail, for the record (given on insertion).
    std::string cachedDescription;
    std::string cachedKeywords;

    Kind kind = Kind::Image;
    // The image record of an image row, for identity only: the user-interface thread
    // compares it with the records of the current folder and never follows it blindly.
    const CImageItem* image = nullptr;
    // The record was selected when the row was made: the row starts selected.
    bool selected = false;
    // The framed 88 x 66 thumbnail of an image row in the thumbnails-and-details list.
    std::shared_ptr<const ThumbnailPixels> thumbnail;
    int imageIndex = -1;  // the row's icon in the list's image list, set on insertion
};
