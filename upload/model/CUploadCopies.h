#pragma once
// The copies an upload sends: every ticked image re-encoded (reduced to a given height
// when it is taller) as "resized_" + its name beside the source, or in a private
// temporary folder when that name is taken or the source's folder is not writable.
// Only copies made here are ever deleted: a user's own "resized_a.jpg" survives.

#include "upload/model/CUploadProtocol.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class CUploadCopies {
public:
    static constexpr const char* kPrefix = "resized_";
    static constexpr int kReducedHeight = 600;

    CUploadCopies() = default;
    ~CUploadCopies();
    CUploadCopies(const CUploadCopies&) = delete;
    CUploadCopies& operator=(const CUploadCopies&) = delete;

    // The copy of the image at sourcePath, reduced to reduceHeight pixels high (width
    // in proportion) when reduceHeight > 0 and the image is taller; nothing when the
    // file is gone, has no extension, does not load or the copy cannot be written.
    std::optional<UploadFile> Make(const std::string& sourcePath, int reduceHeight);
    // Deletes every copy made here (and the private folder).
    void RemoveAll();
    const std::vector<std::string>& Paths() const { return m_paths; }

private:
    // Creates target exclusively; false when the name is taken or the folder refuses.
    static bool Reserve(const std::filesystem::path& target);
    std::filesystem::path PrivateFolder();

    std::vector<std::string> m_paths;
    std::filesystem::path m_private;
};
