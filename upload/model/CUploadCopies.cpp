#include "upload/model/CUploadCopies.h"

#include "image/CLfImage.h"
#include "image/LfCodecTable.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

namespace fs = std::filesystem;

CUploadCopies::~CUploadCopies()
{
    RemoveAll();
}

bool CUploadCopies::Reserve(const fs::path& target)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

fs::path CUploadCopies::PrivateFolder()
{
    if (m_private.empty()) {
        std::string pattern = (fs::temp_directory_path() / "lf-upload-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_private = pattern;
    }
    return m_private;
}

std::optional<UploadFile> CUploadCopies::Make(const std::string& sourcePath, int reduceHeight)
{
    const fs::path source(sourcePath);
    std::error_code error;
    const std::string name = source.filename().string();
    const size_t dot = sourcePath.rfind('.');
    if (dot == std::string::npos || sourcePath.find('/', dot) != std::string::npos || !fs::is_regular_file(source, error))
        return std::nullopt;
    const uint32_t type = lfimg::ImageTypeFromExtension(sourcePath.substr(dot + 1), 9);
    if (type == 0)
        return std::nullopt;
    CLfImage image;
    if (!image.Load(sourcePath.c_str(), type))
        return std::nullopt;
    const int height = image.GetHeight() < 0 ? -image.GetHeight() : image.GetHeight();
    if (reduceHeight > 0 && height > reduceHeight) {
        const int width = static_cast<int>(static_cast<int64_t>(image.GetWidth()) * reduceHeight / height);
        if (!image.Resample(width > 0 ? width : 1, reduceHeight, 3))
            return std::nullopt;
    }
    fs::path target = source.parent_path() / (kPrefix + name);
    if (!Reserve(target)) {
        const fs::path folder = PrivateFolder();
        if (folder.empty())
            return std::nullopt;
        target = folder / (kPrefix + name);
        if (!Reserve(target))
            return std::nullopt;
    }
    m_paths.push_back(target.string());
    if (!image.Save(target.c_str(), type))
        return std::nullopt;  // RemoveAll deletes what was reserved
    UploadFile file;
    file.path = target.string();
    file.source = sourcePath;
    file.name = name;
    file.size = static_cast<int64_t>(fs::file_size(target, error));
    file.preCopySize = static_cast<int64_t>(fs::file_size(source, error));
    if (error)
        return std::nullopt;
    return file;
}

void CUploadCopies::RemoveAll()
{
    std::error_code error;
    for (const std::string& path : m_paths)
        fs::remove(path, error);
    m_paths.clear();
    if (!m_private.empty()) {
        fs::remove_all(m_private, error);
        m_private.clear();
    }
}
