#include "editor/model/CImageThread.h"

#include "editor/model/CImageFolderList.h"
#include "image/CLfImage.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <mutex>

namespace pixoro {

CImageThread::CImageThread(CImageFolderList& files, PreloadState& state, std::string placeholderPath)
    : m_files(files), m_state(state), m_placeholderPath(std::move(placeholderPath))
{
}

CImageThread::~CImageThread()
{
    Stop();
    Join();
}

bool CImageThread::Start()
{
    if (m_thread.joinable())
        return false;
    m_finished = false;
    m_thread = std::thread([this] { Run(); });
    return true;
}

void CImageThread::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}

int CImageThread::TypeForExtension(const std::string& extension)
{
    std::string e = extension;
    std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    struct Row { const char* ext; int type; };
    static const Row rows[] = {{"bmp", 1}, {"jpg", 3},  {"jpeg", 3}, {"gif", 2}, {"png", 4}, {"ico", 5},
                               {"tiff", 6}, {"tif", 6}, {"tga", 7},  {"pcx", 8}, {"wbmp", 9}};
    for (const Row& row : rows)
        if (e == row.ext)
            return row.type;
    return 0;
}

void CImageThread::Run()
{
    m_state.preloading = true;
    bool stopped = false;
    int visited = 0;
    const int count = [this] {
        std::lock_guard lock(m_files.PreloadMutex());
        return m_files.Count();
    }();
    for (int i = 0; i < count && !m_stop; ++i) {
        // Earlier entries whose slot was emptied meanwhile are loaded again first: one
        // pass over them (a loop until all were done would never end).
        for (int j = 0; j < i && !m_stop; ++j)
            LoadEntry(j);
        if (m_stop)
            break;
        LoadEntry(i);
        visited = i + 1;
    }
    stopped = m_stop;
    m_state.done = !stopped && visited == count;
    m_state.stopped = stopped || visited != count;
    m_state.preloading = false;
    m_finished = true;
}

void CImageThread::LoadEntry(int index)
{
    std::string path;
    {
        std::lock_guard lock(m_files.PreloadMutex());
        CImageFileEntry& entry = m_files.Entry(index);
        if (entry.m_pImage)
            return;
        entry.m_bQueued = true;
        path = entry.m_strPath;
    }
    const size_t dot = path.rfind('.');
    const size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return;
    const int type = TypeForExtension(path.substr(dot + 1));
    if (type == 0)
        return;
    auto image = std::make_unique<CLfImage>(path.c_str(), static_cast<uint32_t>(type));
    if (!image->IsValid()) {
        image = std::make_unique<CLfImage>();
        if (m_placeholderPath.empty() || !image->Load(m_placeholderPath.c_str(), 1))
            return;
    }
    std::lock_guard lock(m_files.PreloadMutex());
    CImageFileEntry& entry = m_files.Entry(index);
    if (!entry.m_pImage)
        entry.m_pImage = std::move(image);
}

}  // namespace pixoro
