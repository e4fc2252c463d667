#include "batch/model/BatchResizeJob.h"

#include "batch/model/FileAttributes.h"
#include "batch/model/FileTransfer.h"
#include "batch/model/ImageTypeOfName.h"
#include "batch/model/OutputFolder.h"
#include "image/CLfImage.h"
#include "platform/FolderPaths.h"

#include <algorithm>
#include <mutex>
#include <sys/stat.h>
#include <thread>

namespace batch {

NewSize ComputeNewSize(const ResizeSettings& s, int width, int height)
{
    // 64-bit products: 4096 * 65535 still fits, and a large picture cannot overflow.
    const int64_t w = width;
    const int64_t h = height;
    switch (s.mode) {
    case kResizeWidth: return {s.width, int(h * s.width / w)};
    case kResizeHeight: return {int(w * s.height / h), s.height};
    default: return {int(w * s.percentage / 100), int(h * s.percentage / 100)};
    }
}

std::string CheckOutputFolder(const ResizeSettings& settings)
{
    return settings.replace ? std::string() : OutputFolderError(settings.outputFolder);
}

bool WritesIntoSourceFolder(const std::vector<ResizeItem>& items, const ResizeSettings& settings)
{
    if (settings.replace)
        return false;
    for (const ResizeItem& item : items) {
        const auto slash = item.path.rfind('/');
        if (item.ticked && slash != std::string::npos &&
            SameFolder(slash == 0 ? "/" : item.path.substr(0, slash), settings.outputFolder))
            return true;
    }
    return false;
}

std::string ReplaceOriginalsQuestion(const std::string& folder)
{
    return "The resized images will be saved into their own folder:\n" + folder +
           "\nThe original images will be replaced by the resized images. Continue?";
}

BatchResizeJob::BatchResizeJob(std::vector<ResizeItem> items, ResizeSettings settings, MessageSink messages)
    : m_items(std::move(items)), m_settings(std::move(settings)), m_messages(std::move(messages))
{
}

void BatchResizeJob::Report(const std::string& text, MessageKind kind) const
{
    if (m_messages)
        m_messages(text, kind);
}

int BatchResizeJob::DefaultThreads() { return int(std::clamp(std::thread::hardware_concurrency(), 1u, 8u)); }

bool BatchResizeJob::ResizeOne(const ResizeItem& item) const
{
    const uint32_t type = ImageTypeOfName(item.name);
    struct stat st {};
    if (::stat(item.path.c_str(), &st) != 0) {
        Report(NotFoundText(item.path), MessageKind::Information);
        return false;
    }
    // Where the picture goes; an original is replaced only when the user asked for it.
    const std::string target = m_settings.replace ? item.path : JoinPath(m_settings.outputFolder, item.name);
    if (!m_settings.replace) {
        if (const std::string error = CheckOutputFolder(m_settings); !error.empty()) {
            Report(error, MessageKind::Error);
            return false;
        }
        if (!m_settings.replaceInOutputFolder && IsSameFile(item.path, target)) {
            Report("' " + item.path + " '\n was not resized: the output folder is its own folder.",
                   MessageKind::Error);
            return false;
        }
    }
    // A file the user may not write is never replaced, whoever runs the program.
    const FileAttributes existing = ReadFileAttributes(target);
    if (existing.exists && existing.readOnly) {
        Report("' " + target + " '\n is read-only and was not replaced.", MessageKind::Error);
        return false;
    }
    // A measured image can be decoded just large enough for its new size (JPEG decodes at
    // 1/2, 1/4 or 1/8 when that still covers it); an unmeasured one is read whole.
    const bool measured = item.width > 0 && item.height > 0;
    NewSize size;
    CLfImage image;
    if (measured) {
        size = ComputeNewSize(m_settings, item.width, item.height);
        const int side = std::max(size.width, size.height);
        if (side > kMaxResizeSide) {
            ReportTooLarge(item, size);
            return false;
        }
        if (side > 0 && side < std::max(item.width, item.height))
            image.info.neededSide = side;
    }
    image.Load(item.path.c_str(), type);
    if (!image.IsValid()) {
        Report("' " + item.path + " '\n could not be read: " + image.GetLastError(), MessageKind::Information);
        return false;
    }
    if (!measured) {
        // Without a measured size the picture itself gives it.
        size = ComputeNewSize(m_settings, image.GetWidth(), image.GetHeight());
    }
    // A picture that was not resized is not written: that would only re-encode it.
    if (size.width > kMaxResizeSide || size.height > kMaxResizeSide) {
        ReportTooLarge(item, size);
        return false;
    }
    if (size.width < 1 || size.height < 1 || !image.Resample(size.width, size.height, 3)) {
        Report("' " + item.path + " '\n could not be resized to " + std::to_string(size.width) + " X " +
                   std::to_string(size.height) + ".",
               MessageKind::Error);
        return false;
    }
    if (m_settings.qualityOn && type == lfimg::kTypeJPG && m_settings.quality < 10)
        image.info.quality = uint8_t(std::clamp(m_settings.quality, 1, 10) * 10);
    if (!image.Save(target.c_str(), type)) {
        const std::string reason = image.GetLastError();
        Report(std::string(m_settings.replace ? "Resize failed to as new file." : "Due to file attribute file resize failed.") +
                   "\n' " + target + " '" + (reason.empty() ? "" : "\n" + reason),
               MessageKind::Plain);
        return false;
    }
    return true;
}

void BatchResizeJob::ReportTooLarge(const ResizeItem& item, NewSize size) const
{
    Report("Unable to allocate memory for Resize Process\n' " + item.path + " '\n" + std::to_string(size.width) +
               " X " + std::to_string(size.height) + " is larger than " + std::to_string(kMaxResizeSide) +
               " pixels on a side: the picture was not written.",
           MessageKind::Error);
}

ResizeResult BatchResizeJob::Run(const std::atomic<bool>& cancel, int threads, const std::function<void(int)>& progress)
{
    std::atomic<size_t> next{0};
    std::atomic<int> done{0};
    std::atomic<int> saved{0};
    std::atomic<int> failed{0};
    std::atomic<bool> cancelled{false};
    auto work = [&] {
        for (;;) {
            // Tested before each image: a cancel lets the images in hand finish.
            if (cancel.load()) {
                cancelled = true;
                return;
            }
            const size_t index = next.fetch_add(1);
            if (index >= m_items.size())
                return;
            const ResizeItem& item = m_items[index];
            if (!item.ticked)
                continue;
            if (ResizeOne(item))
                ++saved;
            else
                ++failed;
            const int count = ++done;
            if (progress)
                progress(count);
        }
    };
    const int count = std::clamp(threads, 1, int(std::max<size_t>(m_items.size(), 1)));
    std::vector<std::thread> helpers;
    for (int i = 1; i < count; ++i)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
    return {saved.load(), failed.load(), cancelled.load() && next.load() < m_items.size()};
}

}  // namespace batch
