#pragma once
// The batch resize job: each ticked image is loaded, scaled to a percentage of its size or
// to a width or height (the other side in proportion), given a JPEG quality and saved over
// itself or under its name into an output folder. Saves go through a temporary file that
// replaces the target only when complete, so a failure never damages an image. The images
// are shared out over several threads; a cancel stops each of them before its next image.

#include "batch/model/BatchMessages.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace batch {

enum ResizeMode : int { kResizePercentage = 0, kResizeWidth = 1, kResizeHeight = 2 };

struct ResizeSettings {
    int mode = kResizePercentage;
    int percentage = 50;
    int width = 800;
    int height = 600;
    bool replace = false;  // save over the source; else into outputFolder
    std::string outputFolder;  // a full path
    // The output folder is the pictures' own and the user agreed to replace them there.
    bool replaceInOutputFolder = false;
    bool qualityOn = true;
    int quality = 7;  // 1 to 10; the JPEG quality is ten times it, 10 keeps the loaded one
};

struct ResizeItem {
    std::string path;  // full path
    std::string name;  // file name
    int width = 0;     // as the folder record knows it; 0 while not measured
    int height = 0;
    bool ticked = true;
};

struct NewSize {
    int width = 0;
    int height = 0;
};

// Larger sides than this are not made: such an image is reported and not written.
inline constexpr int kMaxResizeSide = 4095;

// The new size of a width x height image (both above 0), truncating toward zero.
NewSize ComputeNewSize(const ResizeSettings& settings, int width, int height);

// The message that stops a job before it starts ("" when it may run): an output folder
// that is not a full path.
std::string CheckOutputFolder(const ResizeSettings& settings);
// True when a ticked item lies in the output folder itself (its original would be
// written over) while replace is off.
bool WritesIntoSourceFolder(const std::vector<ResizeItem>& items, const ResizeSettings& settings);
// The question asked before such a job.
std::string ReplaceOriginalsQuestion(const std::string& folder);

struct ResizeResult {
    int saved = 0;
    int failed = 0;  // images that could not be read, scaled or saved
    bool cancelled = false;
    bool Complete() const { return failed == 0 && !cancelled; }
};

class BatchResizeJob {
public:
    BatchResizeJob(std::vector<ResizeItem> items, ResizeSettings settings, MessageSink messages);

    // progress receives the number of listed images dealt with so far, from any thread.
    // threads: how many images are worked on at once (at least 1).
    ResizeResult Run(const std::atomic<bool>& cancel, int threads, const std::function<void(int)>& progress = {});

    // Resizes one image; false when it was not saved as asked.
    bool ResizeOne(const ResizeItem& item) const;

    // Threads worth using on this machine.
    static int DefaultThreads();

private:
    void Report(const std::string& text, MessageKind kind) const;
    void ReportTooLarge(const ResizeItem& item, NewSize size) const;

    std::vector<ResizeItem> m_items;
    ResizeSettings m_settings;
    MessageSink m_messages;
};

}  // namespace batch
