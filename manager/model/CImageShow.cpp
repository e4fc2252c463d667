#include "manager/model/CImageShow.h"

#include "manager/model/CFolderItem.h"
#include "manager/model/CImageThread.h"
#include "manager/model/CQuorixState.h"
#include "platform/FolderPaths.h"
#include "manager/model/ManagerModes.h"

#include <sys/stat.h>

#include <chrono>
#include <mutex>

namespace {

// A batch also goes when rows have waited this long, so a slow fill still shows.
constexpr int64_t kFlushAfterMs = 100;

int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The entry's last write (nanoseconds since 1970), or nothing when it is gone.
bool LastWrite(const std::string& path, int64_t& lastWrite)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    lastWrite = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

}  // namespace

CImageShow::CImageShow(CQuorixState& state, CFolderItem& folder, Settings settings, Sink sink)
    : m_state(state), m_folder(folder), m_settings(std::move(settings)), m_sink(std::move(sink))
{
}

bool CImageShow::InitInstance()
{
    m_state.ResetTotals();
    m_bStopRequested = false;
    m_lastFlush = NowMs();
    const int mode = m_settings.viewMode;
    if (mode == kViewThumbnailsAndDetails || mode == kViewDetailsAndFolders) {
        const bool everything = mode == kViewDetailsAndFolders && m_settings.showOtherFiles;
        if (everything)
            AddSubfolders();
        AddImages();
        if (everything)
            AddOtherFiles();
    }
    Flush(true);
    return false;
}

void CImageShow::AddRow(std::unique_ptr<ListRowItem> row)
{
    // The status bar counts image files: folders (".." too) and other files are rows, not images.
    if (row->kind == ListRowItem::Kind::Image)
        m_state.AddToTotals(1, row->sizeKB);
    m_pending.push_back(std::move(row));
    const size_t limit = m_bFlushedOnce ? m_settings.batchRows : m_settings.firstBatchRows;
    if (m_pending.size() >= limit || NowMs() - m_lastFlush >= kFlushAfterMs)
        Flush(false);
}

void CImageShow::Flush(bool last)
{
    if (m_pending.empty() && !last)
        return;
    m_bFlushedOnce = true;
    m_lastFlush = NowMs();
    Batch batch;
    batch.fill = m_settings.fill;
    batch.rows = std::move(m_pending);
    batch.last = last;
    m_pending.clear();
    if (m_sink)
        m_sink(std::move(batch));
}

void CImageShow::AddSubfolders()
{
    // The loaders fill these lists before any fill starts and nobody changes them
    // while one runs.
    const std::vector<std::string> names = m_folder.m_arrSubfolders;
    for (const std::string& name : names) {
        if (StopWanted())
            return;
        const bool parent = name == "..";
        int64_t lastWrite = 0;
        if (!LastWrite(parent ? m_folder.m_strPath : JoinPath(m_folder.m_strPath, name), lastWrite))
            continue;
        auto row = std::make_unique<ListRowItem>();
        row->name = name;
        row->sizeKB = 0.0;
        row->lastWrite = lastWrite;
        row->kind = parent ? ListRowItem::Kind::ParentFolder : ListRowItem::Kind::Folder;
        AddRow(std::move(row));
    }
}

std::shared_ptr<const ThumbnailPixels> CImageShow::Placeholder()
{
    if (!m_bPlaceholderLoaded) {
        m_bPlaceholderLoaded = true;
        m_placeholder = CImageThread::PlaceholderThumbnail(m_settings.placeholderPath).thumbnails.framed;
    }
    return m_placeholder;
}

void CImageShow::AddImages()
{
    const bool thumbnails = m_settings.viewMode == kViewThumbnailsAndDetails;
    bool allMade = true;
    for (size_t i = 0;; ++i) {
        if (StopWanted())
            return;
        std::unique_lock lockA(m_state.m_mutexA);
        std::unique_lock lockB(m_state.m_mutexB);
        if (i >= m_folder.ImageCount())
            break;
        CImageItem* image = m_folder.Image(i);
        int64_t lastWrite = 0;
        if (!LastWrite(image->m_strPath, lastWrite))
            continue;
        auto row = std::make_unique<ListRowItem>();
        row->name = image->m_strName;
        row->sizeKB = static_cast<double>(image->m_nSize) / 1024.0;
        row->lastWrite = lastWrite;
        row->description = image->m_strDescription;
        row->kind = ListRowItem::Kind::Image;
        row->image = image;
        row->selected = image->m_bSelected;
        if (thumbnails) {
            if (!image->HasThumbnail()) {
                const int type = CImageThread::ThumbnailType(CImageThread::GetExtension(image->m_strPath));
                CImageThread::Made made =
                    CImageThread::MakeThumbnail(image->m_strPath, image->m_strName, type, m_settings.cacheFolder);
                if (made.thumbnails.fitted) {
                    CImageThread::StoreInRecord(*image, made, type);
                    row->cachedDescription = made.description;
                    row->cachedKeywords = made.keywords;
                    if (row->description.empty() && image->m_strKeywords.empty())
                        row->description = made.description;
                }
                else if (made.decoded)
                    row->thumbnail = Placeholder();
            }
            if (StopWanted())
                return;  // the row of the image in hand is dropped
            if (!row->thumbnail)
                row->thumbnail = image->GetFramedThumbnail();
            allMade = allMade && image->HasThumbnail();
        }
        AddRow(std::move(row));
    }
    if (thumbnails && allMade) {
        std::lock_guard lockA(m_state.m_mutexA);
        m_folder.m_bThumbsComplete = true;
        m_folder.m_bThumbsNeeded = false;
    }
}

void CImageShow::AddOtherFiles()
{
    const std::vector<std::string> names = m_folder.m_arrOtherFiles;
    for (const std::string& name : names) {
        if (StopWanted())
            return;
        int64_t lastWrite = 0;
        if (!LastWrite(JoinPath(m_folder.m_strPath, name), lastWrite))
            continue;
        auto row = std::make_unique<ListRowItem>();
        row->name = name;
        row->sizeKB = 1.0;
        row->lastWrite = lastWrite;
        row->kind = ListRowItem::Kind::OtherFile;
        AddRow(std::move(row));
    }
}
