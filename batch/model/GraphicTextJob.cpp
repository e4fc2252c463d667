#include "batch/model/GraphicTextJob.h"

#include "image/CLfImage.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

GraphicTextJob::GraphicTextJob(GraphicTextSettings settings, TextPosition position, int reducedHeight,
                               std::string outputFolder, std::vector<GraphicTextJobItem> items,
                               std::string templatePath)
    : m_settings(std::move(settings)), m_position(position), m_reducedHeight(reducedHeight),
      m_outputFolder(std::move(outputFolder)), m_items(std::move(items)), m_templatePath(std::move(templatePath))
{
}

uint32_t GraphicTextJob::TypeOfPath(const std::string& path)
{
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos)
        return 0;
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (ext == "bmp")
        return lfimg::kTypeBMP;
    if (ext == "jpg" || ext == "jpeg")
        return lfimg::kTypeJPG;
    if (ext == "png")
        return lfimg::kTypePNG;
    return 0;
}

bool GraphicTextJob::WriteImage(CLfImage& image, const std::string& path, uint32_t type, std::string& error)
{
    if (type == 0) {
        error = "no format is known for this file name";
        return false;
    }
    if (image.Save(path.c_str(), type))
        return true;
    error = image.GetLastError();
    return false;
}

std::string GraphicTextJob::NotFoundMessage(const std::string& path)
{
    return "' " + path + " '\n Was not found, it has been Removed Or Renamed.";
}

std::string GraphicTextJob::NotReadMessage(const std::string& path)
{
    return "' " + path + " '\n could not be read as an image; it was not saved.";
}

std::string GraphicTextJob::NotSavedMessage(const std::string& path, const std::string& reason)
{
    std::string text = "' " + path + " '\n could not be saved";
    if (!reason.empty())
        text += ": " + reason;
    return text + ".";
}

GraphicTextJobResult GraphicTextJob::Run(TextLineRasterizer& rasterizer, const std::atomic<bool>& stop,
                                         const Callbacks& callbacks)
{
    GraphicTextJobResult result;
    std::error_code ec;
    fs::create_directories(m_outputFolder, ec);
    if (!fs::is_directory(m_outputFolder, ec)) {
        result.messages.push_back(NotSavedMessage(m_outputFolder, "the folder cannot be made"));
        return result;
    }
    for (const GraphicTextJobItem& item : m_items) {
        if (stop.load()) {
            result.stopped = true;
            return result;
        }
        if (!item.ticked)
            continue;
        const uint32_t type = TypeOfPath(item.path);
        if (!fs::exists(item.path, ec)) {
            result.messages.push_back(NotFoundMessage(item.path));
            continue;
        }
        const std::string name = fs::path(item.path).filename().string();
        if (callbacks.processing)
            callbacks.processing(name);
        CLfImage image;
        if (!image.Load(item.path.c_str(), type) || !image.IsValid()) {
            result.messages.push_back(NotReadMessage(item.path));
            continue;
        }
        if (image.IsGrayScale() && !image.IncreaseBpp(24)) {
            result.messages.push_back(NotReadMessage(item.path));
            continue;
        }
        if (RenderFullSize(image, m_settings, m_position, m_reducedHeight, rasterizer, kManagerTextStyle, &stop,
                           callbacks.progress) == RenderOutcome::Stopped) {
            result.stopped = true;
            return result;
        }
        const std::string output = (fs::path(m_outputFolder) / name).string();
        std::string error;
        if (!WriteImage(image, output, type, error)) {
            result.messages.push_back(NotSavedMessage(output, error));
            continue;
        }
        result.written.push_back(output);
        if (item.path == m_templatePath)
            result.templateImage = std::make_unique<CLfImage>(image);
    }
    return result;
}
