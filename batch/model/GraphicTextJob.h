#pragma once
// The manager's graphical-text job without any window: every ticked image is loaded,
// given the text at full size and written into the output folder in its own format.
// Only files that were completely written are listed; every other image is reported.

#include "graphictext/model/GraphicTextRender.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CLfImage;

struct GraphicTextJobItem {
    std::string path;
    bool ticked = true;
};

struct GraphicTextJobResult {
    std::vector<std::string> written;   // output paths, in list order
    std::vector<std::string> messages;  // one per image not written, for the user
    bool stopped = false;
    // The template image with the text, when the template was among the images.
    std::unique_ptr<CLfImage> templateImage;
};

class GraphicTextJob {
public:
    struct Callbacks {
        std::function<void(const std::string& fileName)> processing;  // an image is about to be drawn
        FullSizeProgress progress;
    };

    GraphicTextJob(GraphicTextSettings settings, TextPosition position, int reducedHeight, std::string outputFolder,
                   std::vector<GraphicTextJobItem> items, std::string templatePath);

    // Runs on a worker; everything it calls is the image library's or the rasterizer's.
    GraphicTextJobResult Run(TextLineRasterizer& rasterizer, const std::atomic<bool>& stop,
                             const Callbacks& callbacks = {});

    // The format an image is read and written in, from its extension: bmp, jpg/jpeg and
    // png; 0 for any other.
    static uint32_t TypeOfPath(const std::string& path);
    // Writes image to path so that path holds either its old bytes or the complete new
    // file; false with the reason in error.
    static bool WriteImage(CLfImage& image, const std::string& path, uint32_t type, std::string& error);
    // The texts of the reports.
    static std::string NotFoundMessage(const std::string& path);
    static std::string NotReadMessage(const std::string& path);
    static std::string NotSavedMessage(const std::string& path, const std::string& reason);

private:
    GraphicTextSettings m_settings;
    TextPosition m_position;
    int m_reducedHeight;
    std::string m_outputFolder;
    std::vector<GraphicTextJobItem> m_items;
    std::string m_templatePath;
};
