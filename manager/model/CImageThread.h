#pragma once
// The loader thread that makes the thumbnails of one folder's images. For each image
// without a thumbnail it takes the cached pair when the cache bitmap is newer than the
// image, else decodes the image (at reduced size where the codec can) and scales it into
// 88 x 66; unreadable images get the placeholder picture's thumbnails. Each finished
// image is stored in its record under the shared mutex A and announced to the sink.
//
// Up to `workers` images are made at once, but a pass still behaves as one walk over
// the folder: every image gets its thumbnail once, earlier images that still lack one
// are picked up again before the pass ends, and a stop ends the pass after at most the
// image each worker holds (its result is then dropped). The thread never touches a
// window; see ThumbnailSink.h for the other side.

#include "manager/model/CMainThread.h"
#include "manager/model/ThumbnailCache.h"
#include "manager/model/ThumbnailSink.h"
#include "platform/WinTypes.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

class CFolderItem;
class CImageItem;
class CQuorixState;

class CImageThread : public CMainThread {
public:
    struct Settings {
        std::string cacheFolder;      // the folder's cache folder; empty: no cache
        std::string placeholderPath;  // "bitmap8.bmp" beside the program
        int workers = 0;              // images made at once; 0: min(cores, 4)
    };

    // folder must stay (with its records) until the thread has ended: the document stops
    // the loaders before it frees or refills a folder. running, when given, is set while
    // the pass runs.
    CImageThread(CQuorixState& state, CFolderItem& folder, Settings settings, ThumbnailSink sink,
                 std::atomic<bool>* running = nullptr);
    ~CImageThread() override;

    // The whole pass; false, so the thread ends after it.
    bool InitInstance() override;

    // The grid cell of image k with the given number of columns: 100 x 114 on a
    // 105 x 119 pitch, 5 pixels from the top.
    static RECT MakeCell(int k, int columns);
    // The text after the path's last dot, or an empty text.
    static std::string GetExtension(const std::string& path);
    // The image type of an extension in any letter case (bmp 1 to wbmp 9); 0 for one
    // without thumbnails.
    static int ThumbnailType(const std::string& extension);

    // One image's thumbnails as a pass makes them: the cached pair when it is fresh,
    // else a decode of type (0: none, nothing is decoded). decoded tells a failed decode
    // (no fitted thumbnail) from a type without thumbnails.
    struct Made {
        thumbs::ThumbnailPair thumbnails;
        int width = 0;  // the image's pixel size
        int height = 0;
        bool fromCache = false;
        bool decoded = false;
        std::string keywords;  // the notes kept with a cached thumbnail
        std::string description;
    };
    static Made MakeThumbnail(const std::string& path, const std::string& name, int type,
                              const std::string& cacheFolder);
    // The thumbnails of the picture that stands for an image no codec reads.
    static Made PlaceholderThumbnail(const std::string& placeholderPath);
    // Puts what was made into the record (under mutex A); type: the decoded type. The
    // notes that came with a cached thumbnail are not among it: see TakeCachedNotes.
    static void StoreInRecord(CImageItem& image, const Made& made, int type);
    // Gives a record the notes kept with its cached thumbnail, unless it has notes of its
    // own (given in this run). User-interface thread only: it reads them unlocked.
    static void TakeCachedNotes(CImageItem& image, const std::string& description, const std::string& keywords);

    // What the last pass did, for the curious (tests, benchmarks).
    int DecodeCount() const { return m_nDecoded.load(); }
    int CacheHitCount() const { return m_nFromCache.load(); }
    static int DefaultWorkers();

private:
    struct Job {
        CImageItem* image = nullptr;
        size_t index = 0;
        std::string path;
        std::string name;
        int type = 0;
    };
    using Result = Made;

    void Worker();
    // Under mutex A: the next image without thumbnail that nobody is making; the first
    // walk goes in order, a second one looks back at the images before.
    std::optional<Job> NextJob();
    Result Make(const Job& job);
    void Store(const Job& job, Result result);
    const thumbs::ThumbnailPair& PlaceholderThumbnails(int& width, int& height);

    CQuorixState& m_state;
    CFolderItem& m_folder;
    Settings m_settings;
    ThumbnailSink m_sink;
    std::atomic<bool>* m_pRunning;

    // Guarded by m_state.m_mutexA.
    size_t m_nNext = 0;
    bool m_bLookedBack = false;
    std::unordered_set<const CImageItem*> m_claimedSet;

    std::atomic<bool> m_bStopped{false};
    std::atomic<int> m_nDecoded{0};
    std::atomic<int> m_nFromCache{0};

    std::once_flag m_placeholderOnce;
    thumbs::ThumbnailPair m_placeholder;
    int m_nPlaceholderWidth = 0;
    int m_nPlaceholderHeight = 0;
};
