#pragma once
// How the thumbnail thread hands a finished thumbnail to the user-interface side.
//
// The thread calls the sink on one of its worker threads, once per image, right after
// it stored the thumbnails in the image record. A sink must only post (for example
// CallAfter to the grid view) and return: it must not draw, wait for the user-interface
// thread or touch a window. On the user-interface side the handler:
//   - drops the notice unless `folder` is still the folder shown and its path is still
//     `folderPath` (the pass may have been stopped and the records freed since);
//   - makes bitmaps from `fitted` / `framed` (the pixels stay valid while the notice
//     holds them, whatever happens to the record) and repaints cell `index` only.

#include "manager/model/ThumbnailPixels.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

class CFolderItem;
class CImageItem;

struct ThumbnailReady {
    const CFolderItem* folder = nullptr;  // identity only: never dereference it in the handler
    std::string folderPath;
    size_t index = 0;                      // position of the image in the folder
    const CImageItem* image = nullptr;     // identity only, like folder
    std::shared_ptr<const ThumbnailPixels> fitted;
    std::shared_ptr<const ThumbnailPixels> framed;
    int width = 0;  // the image's pixel size
    int height = 0;
    // The notes kept with a cached thumbnail, for the handler to give the record.
    std::string description;
    std::string keywords;
};

using ThumbnailSink = std::function<void(ThumbnailReady)>;
