#include "manager/model/ToolPanelRules.h"

#include "image/LfCodecTable.h"
#include "manager/model/CFolderItem.h"
#include "platform/FolderPaths.h"

#include <cstddef>

namespace toolpanel {

SortState SortByKey(SortState current, int key)
{
    if (current.key == key)
        return {key, current.order == 1 ? 0 : 1};
    return {key, 0};
}

SelectionKinds CountSelection(const CFolderItem& folder)
{
    SelectionKinds kinds;
    for (const auto& image : folder.m_arrImages) {
        if (!image->m_bSelected)
            continue;
        const std::string extension = LowerExtension(image->m_strName);
        const bool jpeg = extension == "jpg" || extension == "jpeg";
        const bool gif = extension == "gif";
        const bool textable = jpeg || extension == "bmp" || extension == "png";
        kinds.batchable += (textable || gif) ? 1 : 0;
        kinds.textable += textable ? 1 : 0;
        kinds.gif += gif ? 1 : 0;
        kinds.jpeg += jpeg ? 1 : 0;
        if (!image->m_strKeywords.empty() || !image->m_strDescription.empty())
            kinds.hasNotes = true;
    }
    return kinds;
}

namespace {

constexpr char kBatchCaption[] = "Batch Process";
constexpr char kSelectFirst[] = "Select images to batch process first.";

}  // namespace

PanelMessage BatchRefusal(const SelectionKinds& kinds)
{
    if (kinds.batchable > 0)
        return {};
    return {kSelectFirst, kBatchCaption, MessageIcon::Information};
}

PanelMessage GraphicTextRefusal(const SelectionKinds& kinds)
{
    if (kinds.gif > 0 && kinds.textable == 0)
        return {"Sorry GIF files not supported.", kBatchCaption, MessageIcon::Stop};
    if (kinds.textable == 0)
        return {kSelectFirst, kBatchCaption, MessageIcon::Information};
    return {};
}

PanelMessage NotesMessage(const SelectionKinds& kinds)
{
    if (kinds.jpeg == 0)
        return {"Please Select a jpg picture.", "Notes & Keywords", MessageIcon::Information};
    if (kinds.jpeg > 1 && kinds.hasNotes)
        return {"Sorry,because one or more of files you have selected already has notes or keywords,you will have "
                "to select one file at a time",
                "", MessageIcon::None};
    return {};
}

std::string TextSamplePath(const CFolderItem& folder, const std::string& chosenSample)
{
    if (!chosenSample.empty())
        return chosenSample;
    return folder.ImageCount() > 0 ? folder.Image(0)->m_strPath : std::string();
}

int SampleImageType(std::string_view path)
{
    const std::string extension = LowerExtension(path);
    return extension.empty() ? 0 : int(lfimg::ImageTypeFromExtension(extension, lfimg::kTypeWBMP));
}

int RecentIndexOfAddress(const std::vector<std::string>& recentPaths, const std::string& currentPath,
                         const std::string& address)
{
    if (address == currentPath)
        return -1;
    for (size_t i = 0; i < recentPaths.size(); ++i)
        if (recentPaths[i] == address)
            return int(i);
    return -1;
}

}  // namespace toolpanel
