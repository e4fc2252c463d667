#include "manager/model/CImageThread.h"

#include "image/CLfImage.h"
#include "image/LfCodecTable.h"
#include "manager/model/CFolderItem.h"
#include "manager/model/CQuorixState.h"
#include "manager/model/ThumbGrid.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <unordered_set>

namespace {

constexpr int kMaxWorkers = 4;

using LockA = std::unique_lock<std::recursive_timed_mutex>;

}  // namespace

CImageThread::CImageThread(CQuorixState& state, CFolderItem& folder, Settings settings, ThumbnailSink sink,
                           std::atomic<bool>* running)
    : m_state(state), m_folder(folder), m_settings(std::move(settings)), m_sink(std::move(sink)), m_pRunning(running)
{
}

CImageThread::~CImageThread() = default;

int CImageThread::DefaultWorkers()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(int(cores), 1, kMaxWorkers);
}

RECT CImageThread::MakeCell(int k, int columns) { return thumbgrid::CellRect(k, columns); }

std::string CImageThread::GetExtension(const std::string& path)
{
    const size_t dot = path.rfind('.');
    return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

int CImageThread::ThumbnailType(const std::string& extension)
{
    return int(lfimg::ImageTypeFromExtension(extension, lfimg::kTypeWBMP));
}

bool CImageThread::InitInstance()
{
    m_bStopRequested = false;
    m_bStopped = false;
    m_nDecoded = 0;
    m_nFromCache = 0;
    size_t images = 0;
    {
        LockA lock(m_state.m_mutexA);
        m_nNext = 0;
        m_bLookedBack = false;
        m_claimedSet.clear();
        images = m_folder.ImageCount();
    }
    if (m_pRunning)
        *m_pRunning = true;

    // No more helpers than images: a small folder is not worth starting threads for.
    const int wanted = m_settings.workers > 0 ? m_settings.workers : DefaultWorkers();
    const int workers = int(std::clamp<size_t>(images, 1, size_t(wanted)));
    std::vector<std::jthread> helpers;
    for (int i = 1; i < workers; ++i) {
        try {
            helpers.emplace_back([this] { Worker(); });
        } catch (const std::system_error&) {
            break;  // fewer helpers; this thread still walks the whole folder
        }
    }
    Worker();
    helpers.clear();  // joins them

    const bool complete = !m_bStopped && !StopWanted();
    m_folder.m_bThumbsComplete = complete;
    m_folder.m_bThumbsNeeded = !complete;
    if (m_pRunning)
        *m_pRunning = false;
    return false;
}

void CImageThread::Worker()
{
    for (;;) {
        if (StopWanted()) {
            m_bStopped = true;
            return;
        }
        const std::optional<Job> job = NextJob();
        if (!job)
            return;
        Store(*job, Make(*job));
    }
}

std::optional<CImageThread::Job> CImageThread::NextJob()
{
    LockA lock(m_state.m_mutexA);
    if (m_folder.m_bThumbsComplete)
        return std::nullopt;
    for (;;) {
        while (m_nNext < m_folder.ImageCount()) {
            const size_t k = m_nNext++;
            CImageItem* image = m_folder.Image(k);
            if (image->HasThumbnail() || !m_claimedSet.insert(image).second)
                continue;
            Job job;
            job.image = image;
            job.index = k;
            job.path = image->m_strPath;
            job.name = image->m_strName;
            job.type = ThumbnailType(GetExtension(image->m_strPath));
            return job;
        }
        if (m_bLookedBack)
            return std::nullopt;
        // Images before the walk's position can still lack thumbnails when the folder
        // changed order meanwhile: one more walk from the start picks them up.
        m_bLookedBack = true;
        m_nNext = 0;
    }
}

CImageThread::Made CImageThread::MakeThumbnail(const std::string& path, const std::string& name, int type,
                                               const std::string& cacheFolder)
{
    Made result;
    if (auto cached = ThumbnailCache::Load(path, name, cacheFolder)) {
        result.thumbnails = std::move(cached->thumbnails);
        result.width = cached->width;
        result.height = cached->height;
        result.fromCache = true;
        result.keywords = std::move(cached->keywords);
        result.description = std::move(cached->description);
        return result;
    }
    if (type == 0)
        return result;  // no thumbnail for a type the library is not asked to read

    // One decode only: a file that failed once fails again. Codecs that can may
    // decode at a reduced scale.
    CLfImage image;
    image.info.neededSide = thumbs::kDecodeSide;
    image.Load(path.c_str(), uint32_t(type));
    result.decoded = true;
    if (!image.IsValid())
        return result;
    result.width = image.info.fullWidth > 0 ? image.info.fullWidth : image.GetWidth();
    result.height = image.info.fullHeight > 0 ? image.info.fullHeight : image.GetHeight();
    result.thumbnails = thumbs::MakeThumbnails(&image);
    return result;
}

CImageThread::Result CImageThread::Make(const Job& job)
{
    Result result = MakeThumbnail(job.path, job.name, job.type, m_settings.cacheFolder);
    if (result.fromCache)
        ++m_nFromCache;
    if (result.decoded)
        ++m_nDecoded;
    if (result.decoded && !result.thumbnails.fitted)
        result.thumbnails = PlaceholderThumbnails(result.width, result.height);
    return result;
}

CImageThread::Made CImageThread::PlaceholderThumbnail(const std::string& placeholderPath)
{
    Made made;
    CLfImage placeholder;
    if (!placeholderPath.empty())
        placeholder.Load(placeholderPath.c_str(), lfimg::kTypeBMP);
    made.width = placeholder.IsValid() ? placeholder.GetWidth() : 0;
    made.height = placeholder.IsValid() ? placeholder.GetHeight() : 0;
    made.thumbnails = thumbs::MakeThumbnails(&placeholder);
    return made;
}

const thumbs::ThumbnailPair& CImageThread::PlaceholderThumbnails(int& width, int& height)
{
    std::call_once(m_placeholderOnce, [this] {
        Made made = PlaceholderThumbnail(m_settings.placeholderPath);
        m_nPlaceholderWidth = made.width;
        m_nPlaceholderHeight = made.height;
        m_placeholder = std::move(made.thumbnails);
    });
    width = m_nPlaceholderWidth;
    height = m_nPlaceholderHeight;
    return m_placeholder;
}

void CImageThread::StoreInRecord(CImageItem& image, const Made& made, int type)
{
    image.m_bThumbnailMade = true;
    image.m_nWidth = made.width;
    image.m_nHeight = made.height;
    if (!made.fromCache)
        image.m_nImageType = type;
    image.m_bThumbFromCache = made.fromCache;
    image.SetThumbnails(made.thumbnails.fitted, made.thumbnails.framed);
}

void CImageThread::TakeCachedNotes(CImageItem& image, const std::string& description, const std::string& keywords)
{
    if ((!description.empty() || !keywords.empty()) && image.m_strDescription.empty() && image.m_strKeywords.empty()) {
        image.m_strDescription = description;
        image.m_strKeywords = keywords;
    }
}

void CImageThread::Store(const Job& job, Result result)
{
    if (!result.thumbnails.fitted)
        return;
    LockA lock(m_state.m_mutexA);
    if (StopWanted()) {
        m_bStopped = true;
        return;
    }
    CImageItem* image = job.image;
    if (image->HasThumbnail())
        return;
    StoreInRecord(*image, result, job.type);

    size_t index = job.index;
    if (index >= m_folder.ImageCount() || m_folder.Image(index) != image) {
        const auto& images = m_folder.m_arrImages;
        const auto it = std::find_if(images.begin(), images.end(), [image](const auto& p) { return p.get() == image; });
        index = size_t(it - images.begin());
    }
    if (!m_sink)
        return;
    ThumbnailReady notice;
    notice.folder = &m_folder;
    notice.folderPath = m_folder.m_strPath;
    notice.index = index;
    notice.image = image;
    notice.fitted = std::move(result.thumbnails.fitted);
    notice.framed = std::move(result.thumbnails.framed);
    notice.width = result.width;
    notice.height = result.height;
    if (result.fromCache) {
        notice.description = std::move(result.description);
        notice.keywords = std::move(result.keywords);
    }
    m_sink(std::move(notice));
}
