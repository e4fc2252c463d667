#pragma once
// The list-filling thread: one pass over the current folder that makes the rows of a
// list view. In the thumbnails-and-details mode one row per image with its framed
// thumbnail (taken from the record, else made as the thumbnail pass makes it: from the
// cache or by decoding); in the details-and-folders mode also the subfolders (first)
// and the other files (last) when the document shows them. Entries that vanished from
// the disk get no row. The status totals start from zero and count every row.
//
// The thread never touches the list: it hands rows over in batches through the sink,
// which must only post them to the user-interface thread; that thread owns them from
// then on. Each image row is made under mutex A (the thumbnail pass) and then mutex B
// (the search), and the stop is tested before every entry.

#include "manager/model/CMainThread.h"
#include "manager/model/ListRowItem.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CFolderItem;
class CQuorixState;

class CImageShow : public CMainThread {
public:
    struct Batch {
        uint64_t fill = 0;  // which fill the rows belong to
        std::vector<std::unique_ptr<ListRowItem>> rows;
        bool last = false;  // the fill has ended (completed or stopped)
    };
    using Sink = std::function<void(Batch)>;

    struct Settings {
        int viewMode = 0;             // a ViewMode; the thumbnails mode fills nothing
        bool showOtherFiles = true;   // details mode: subfolders and other files too
        std::string cacheFolder;      // the folder's thumbnail cache folder; empty: none
        std::string placeholderPath;  // picture for images no codec reads
        uint64_t fill = 0;
        size_t firstBatchRows = 40;   // about a screenful, so the list shows at once
        size_t batchRows = 500;
    };

    // folder must stay (with its records) until the thread has ended: the document
    // stops the loaders before it frees or refills a folder.
    CImageShow(CQuorixState& state, CFolderItem& folder, Settings settings, Sink sink);

    // The whole fill; false, so the thread ends after it.
    bool InitInstance() override;

private:
    void AddRow(std::unique_ptr<ListRowItem> row);
    void Flush(bool last);
    void AddSubfolders();
    void AddImages();
    void AddOtherFiles();
    std::shared_ptr<const ThumbnailPixels> Placeholder();

    CQuorixState& m_state;
    CFolderItem& m_folder;
    Settings m_settings;
    Sink m_sink;
    std::vector<std::unique_ptr<ListRowItem>> m_pending;
    bool m_bFlushedOnce = false;
    int64_t m_lastFlush = 0;
    std::shared_ptr<const ThumbnailPixels> m_placeholder;
    bool m_bPlaceholderLoaded = false;
};
