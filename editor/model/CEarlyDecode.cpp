#include "editor/model/CEarlyDecode.h"

#include "editor/model/ImageFileTypes.h"
#include "image/CLfImage.h"

#include <utility>

CEarlyDecode::CEarlyDecode(std::string path) : m_path(std::move(path))
{
    const auto type = ImageFileTypes::OpenTypeFromExtension(ImageFileTypes::GetFileExtension(m_path));
    if (!type || m_path.empty())
        return;
    // The worker alone writes m_image until it is joined.
    m_worker = std::jthread([this, type = static_cast<uint32_t>(*type)] {
        struct Finished {
            std::atomic<bool>& done;
            ~Finished() { done.store(true, std::memory_order_release); }
        } finished{m_done};
        m_image = std::make_unique<CLfImage>(m_path.c_str(), type);
    });
}

CEarlyDecode::~CEarlyDecode() = default;

std::unique_ptr<CLfImage> CEarlyDecode::Take(const std::string& path)
{
    if (!m_worker.joinable() || path != m_path)
        return nullptr;
    if (m_whileWaiting && !Done())
        std::exchange(m_whileWaiting, nullptr)();
    m_worker.join();
    return std::move(m_image);
}
