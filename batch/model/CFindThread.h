#pragma once
// The file-name search: walks folders (depth first, subfolders before the folder's own
// files), and for every image file whose name matches a term makes an image record with
// its size, date, pixel size and thumbnails, and hands it to the found sink. The records
// go to the user-interface thread, which appends them to the "Search" folder; the thread
// itself changes no document. It runs as one of the manager's loader threads, so their
// stop requests end it too, within one image.

#include "manager/model/CImageItem.h"
#include "manager/model/CMainThread.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

class CLfImage;

inline constexpr char kSearchEverywhere[] = "My Computer";

class CFindThread : public CMainThread {
public:
    struct Request {
        std::string root;  // a folder, or kSearchEverywhere for every mounted volume
        bool includeSubfolders = true;
        std::vector<std::string> terms;  // as BuildNameTerms makes them
        std::string placeholderPath;     // the picture shown for an image that does not load
        // Folders never entered below a root: the kernel's pseudo file systems by default.
        std::vector<std::string> skipFolders = PseudoMountPoints();
    };
    struct Summary {
        int found = 0;
        bool stopped = false;        // a stop request ended the walk
        bool listingFailed = false;  // a root could not be listed (or no volume was found)
    };
    // Called on the thread for each found image; it must only hand the record on.
    using FoundSink = std::function<void(std::unique_ptr<CImageItem> record)>;
    // Called on the thread once, when the walk is over.
    using DoneSink = std::function<void(const Summary& summary)>;

    // mutex: held while an image's thumbnails are made (the application's second mutex);
    // may be null. stop: a flag the dialog may set later, besides the thread's own.
    CFindThread(Request request, std::recursive_timed_mutex* mutex, std::shared_ptr<std::atomic<bool>> stop,
                FoundSink found, DoneSink done);

    bool InitInstance() override;

    // Walks folder (the walk's own folders need no trailing "/").
    void SearchFolder(const std::string& folder, bool includeSubfolders);

    // The mount points of the pseudo file systems of the running system.
    static std::vector<std::string> PseudoMountPoints();

private:
    bool Stopping();
    // One matching file; false when a stop came while it was read.
    bool AddFile(const std::string& path, int type);
    std::unique_ptr<CLfImage> LoadPlaceholder() const;

    Request m_request;
    std::recursive_timed_mutex* m_pMutex;
    std::shared_ptr<std::atomic<bool>> m_stop;
    FoundSink m_found;
    DoneSink m_done;
    Summary m_summary;
    std::set<std::pair<uint64_t, uint64_t>> m_seenFolders;  // device and inode
};
