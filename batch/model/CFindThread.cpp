#include "batch/model/CFindThread.h"

#include "batch/model/FindTerms.h"
#include "batch/model/ImageTypeOfName.h"
#include "image/CLfImage.h"
#include "platform/FolderPaths.h"
#include "manager/model/ThumbnailMaker.h"
#include "platform/MountedVolumes.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

CFindThread::CFindThread(Request request, std::recursive_timed_mutex* mutex, std::shared_ptr<std::atomic<bool>> stop,
                         FoundSink found, DoneSink done)
    : m_request(std::move(request)), m_pMutex(mutex), m_stop(std::move(stop)), m_found(std::move(found)),
      m_done(std::move(done))
{
}

std::vector<std::string> CFindThread::PseudoMountPoints()
{
    std::ifstream in("/proc/self/mounts");
    std::stringstream text;
    text << in.rdbuf();
    std::vector<std::string> points;
    for (const lfplat::MountEntry& entry : lfplat::ParseMountTable(text.str()))
        if (lfplat::IsPseudoFileSystem(entry.type) && entry.mountPoint != "/")
            points.push_back(entry.mountPoint);
    return points;
}

bool CFindThread::Stopping() { return StopWanted() || (m_stop && m_stop->load()); }

bool CFindThread::InitInstance()
{
    std::vector<std::string> roots;
    if (m_request.root == kSearchEverywhere)
        roots = lfplat::MountedVolumes();
    else
        roots.push_back(m_request.root);
    if (roots.empty())
        m_summary.listingFailed = true;
    for (const std::string& root : roots) {
        if (Stopping())
            break;
        struct stat st {};
        if (::stat(root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || ::access(root.c_str(), R_OK | X_OK) != 0) {
            m_summary.listingFailed = true;
            continue;
        }
        SearchFolder(root, m_request.includeSubfolders);
    }
    m_summary.stopped = m_summary.stopped || Stopping();
    if (m_done)
        m_done(m_summary);
    return false;
}

void CFindThread::SearchFolder(const std::string& folder, bool includeSubfolders)
{
    if (Stopping()) {
        m_summary.stopped = true;
        return;
    }
    struct stat self {};
    if (::stat(folder.c_str(), &self) != 0)
        return;
    // A folder met twice (through a symbolic link, or a volume mounted inside another)
    // is walked once, which also ends link loops.
    if (!m_seenFolders.insert({uint64_t(self.st_dev), uint64_t(self.st_ino)}).second)
        return;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;  // an unreadable subfolder is passed over
    std::vector<std::string> folders;
    std::vector<std::pair<std::string, int>> files;  // name and image type
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        if (::stat(JoinPath(folder, name).c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            folders.push_back(name);
        } else if (S_ISREG(st.st_mode)) {
            // Only regular files: opening a pipe or a device could block the walk.
            if (const uint32_t type = batch::ImageTypeOfName(name); type != 0)
                files.emplace_back(name, int(type));
        }
    }
    ::closedir(dir);
    std::sort(folders.begin(), folders.end());
    std::sort(files.begin(), files.end());

    if (includeSubfolders) {
        for (const std::string& name : folders) {
            const std::string path = JoinPath(folder, name);
            const auto& skip = m_request.skipFolders;
            if (std::find(skip.begin(), skip.end(), path) != skip.end())
                continue;
            SearchFolder(path, true);
            if (m_summary.stopped)
                return;
        }
    }
    // A file that matches several terms is found once per term.
    for (const std::string& term : m_request.terms) {
        if (Stopping()) {
            m_summary.stopped = true;
            return;
        }
        for (const auto& [name, type] : files) {
            if (!batch::MatchesTerm(term, name))
                continue;
            if (!AddFile(JoinPath(folder, name), type)) {
                m_summary.stopped = true;
                return;
            }
        }
    }
}

std::unique_ptr<CLfImage> CFindThread::LoadPlaceholder() const
{
    auto placeholder = std::make_unique<CLfImage>();
    if (!m_request.placeholderPath.empty())
        placeholder->Load(m_request.placeholderPath.c_str(), lfimg::kTypeBMP);
    return placeholder;
}

bool CFindThread::AddFile(const std::string& path, int type)
{
    int64_t size = 0;
    int64_t lastWrite = 0;
    if (const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); fd >= 0) {
        struct stat st {};
        if (::fstat(fd, &st) == 0) {
            size = st.st_size;
            lastWrite = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        }
        ::close(fd);
    }
    auto record = std::make_unique<CImageItem>(path, path, size, 0, 0);
    record->m_nImageType = type;
    record->m_tLastWrite = lastWrite;

    // Decoded just large enough for the thumbnails; the pixel size is the file's.
    auto image = std::make_unique<CLfImage>();
    image->info.neededSide = thumbs::kDecodeSide;
    image->Load(path.c_str(), uint32_t(type));
    if (Stopping())
        return false;
    if (image->IsValid()) {
        record->m_nWidth = image->info.fullWidth > 0 ? image->info.fullWidth : image->GetWidth();
        record->m_nHeight = image->info.fullHeight > 0 ? image->info.fullHeight : image->GetHeight();
    } else {
        image = LoadPlaceholder();
    }
    {
        std::unique_lock<std::recursive_timed_mutex> lock;
        if (m_pMutex)
            lock = std::unique_lock(*m_pMutex);
        thumbs::ThumbnailPair pair = thumbs::MakeThumbnails(image.get());
        record->SetThumbnails(std::move(pair.fitted), std::move(pair.framed));
    }
    ++m_summary.found;
    if (m_found)
        m_found(std::move(record));
    return true;
}
