#pragma once
// The Notes & Keywords dialog's work apart from its window: what the dialog shows for
// the selected images of a folder, and OK, which gives the selected images the notes
// and keywords. The notes live in the image records and in the thumbnail cache's .dat
// files beside the thumbnails; the images themselves are not rewritten.

#include <functional>
#include <string>

class CFolderItem;

namespace noteskeywords {

// What the dialog shows: the one selected image's texts, or nothing for several.
struct Shown {
    std::string label;  // "Filename: ..." (control 1015)
    std::string keywords;
    std::string notes;
    std::string path;   // the last image looked at
    int type = 0;
};
Shown ForSelection(const CFolderItem& folder);

// The type of a lower-cased extension (bmp 1 ... wbmp 9); 0 for any other.
int TypeOfExtension(const std::string& extension);
// The text the notes and keywords make for a BMP (1) or JPEG (3) image, which must stay
// below the limit.
std::string StoredText(int type, const std::string& notes, const std::string& keywords);
inline constexpr size_t kTextLimit = 255;

inline constexpr const char* kTooLargeText = "Nots & KeyWord are too large.. ";
std::string MissingFileText(const std::string& path);

// OK: for each selected image of folder in order, a missing file is reported and
// passed over, a read-only, hidden or special file and one of an unknown type are
// passed over, and any other gets the notes and keywords, in its record and in the
// cache's .dat under cacheDir. A text over the limit is reported and stops the walk
// before that image: the images handled before it keep their new texts. True when the
// walk reached the end (the dialog then closes).
bool Apply(CFolderItem& folder, const std::string& notes, const std::string& keywords, const std::string& cacheDir,
           const std::function<void(const std::string&)>& message);

}  // namespace noteskeywords
