#include "manager/model/EditorHandOff.h"

#include "manager/model/CFolderItem.h"
#include "platform/FolderPaths.h"
#include "platform/StringSort.h"
#include "platform/AtomicFile.h"

const char* const EditorHandOff::kUnsupportedText =
    "Sorry, the file you have selected to edit is not supported by the photo editor. It may be supported in "
    "future versions";
const char* const EditorHandOff::kSeveralSelectedText =
    "You have more than one image selected. Please select a single image to Edit";
const char* const EditorHandOff::kGifText = "Gif images are not supported by Editor.";


EditorHandOff::EditorHandOff(std::string program, std::string parameterFile, std::string workingFolder,
                             Launcher launcher)
    : m_program(std::move(program)),
      m_parameterFile(std::move(parameterFile)),
      m_workingFolder(std::move(workingFolder)),
      m_launcher(std::move(launcher))
{
}

EditorHandOff::Choice EditorHandOff::ChooseImage(const CFolderItem* folder, int index)
{
    Choice choice;
    if (!folder)
        return choice;
    if (index != kSelectedImage) {
        if (index < 0 || size_t(index) >= folder->ImageCount())
            return choice;
        if (!IsEditableName(folder->Image(size_t(index))->m_strName))
            choice.refusal = Message{kUnsupportedText, Icon::Plain};
        else
            choice.path = folder->Image(size_t(index))->m_strPath;
        return choice;
    }
    int counted = 0;
    for (const auto& image : folder->m_arrImages) {
        if (!image->m_bSelected)
            continue;
        if (!IsEditableName(image->m_strName)) {
            choice.refusal = Message{kUnsupportedText, Icon::Plain};
            return choice;
        }
        choice.path = image->m_strPath;
        ++counted;
    }
    if (counted > 1) {
        choice.path.clear();
        choice.refusal = Message{kSeveralSelectedText, Icon::Plain};
    }
    return choice;
}

bool EditorHandOff::IsEditableName(const std::string& name) { return IsImageFileName(name); }

bool EditorHandOff::IsGifPath(const std::string& path) { return CompareNoCase(PathExtension(path), ".gif") == 0; }

std::string EditorHandOff::ParameterText(int sortKey, int sortOrder)
{
    return std::to_string(sortKey) + "|" + std::to_string(sortOrder);
}

std::optional<std::string> EditorHandOff::StartEditor(const Launcher& launcher, const std::string& program,
                                                      const std::string& path, const std::string& workingFolder)
{
    const int result = launcher(program, {path}, workingFolder);
    if (result > 32)
        return std::nullopt;
    if (const char* text = lfplat::StartFailureText(result))
        return std::string(text);
    return std::nullopt;
}

std::optional<EditorHandOff::Message> EditorHandOff::EditImage(const CFolderItem* folder, int index, int sortKey,
                                                               int sortOrder, const std::string& noImageText) const
{
    const Choice choice = ChooseImage(folder, index);
    if (choice.refusal)
        return choice.refusal;
    if (choice.path.empty())
        return Message{noImageText, Icon::Information};

    // A parameter file that cannot be written does not stop the hand-off.
    lfplat::WriteFileAtomically(m_parameterFile, ParameterText(sortKey, sortOrder));
    if (IsGifPath(choice.path))
        return Message{kGifText, Icon::Stop};
    // The path travels as one argument as it stands: no quoting is needed or wanted.
    if (auto failure = StartEditor(m_launcher, m_program, choice.path, m_workingFolder))
        return Message{*failure, Icon::Stop};
    return std::nullopt;
}
