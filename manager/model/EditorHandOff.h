#pragma once
// Handing one image of the current folder to the editor: choosing the image, the
// parameter file "qkparam.dat" ("<sort key>|<sort direction>", no line break), the GIF
// refusal and the start of the editor program with the image's path as its only
// argument. No window: the outcome is the one message to show, if any.

#include "manager/model/ManagerModes.h"
#include "platform/ProgramStart.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class CFolderItem;

class EditorHandOff {
public:
    // The index that stands for "the one selected image of the current folder".
    static constexpr int kSelectedImage = kSelectedImageIndex;

    using Launcher = std::function<int(const std::string& program, const std::vector<std::string>& args,
                                       const std::string& workingFolder)>;

    enum class Icon { Information, Plain, Stop };
    struct Message {
        std::string text;
        Icon icon = Icon::Plain;
    };

    // program: the editor's full path; parameterFile: "qkparam.dat" in the working
    // folder, where the editor is started too.
    EditorHandOff(std::string program, std::string parameterFile, std::string workingFolder,
                  Launcher launcher = &lfplat::StartProgram);

    // index: a position in folder's images, or kSelectedImage. noImageText: what to say
    // when no image is chosen. Returns the message to show, or nothing after a start.
    std::optional<Message> EditImage(const CFolderItem* folder, int index, int sortKey, int sortOrder,
                                     const std::string& noImageText) const;

    // The path chosen, or the message that ends the hand-off before anything is written.
    struct Choice {
        std::string path;
        std::optional<Message> refusal;
    };
    static Choice ChooseImage(const CFolderItem* folder, int index);
    // The one rule of every road to the editor (toolbar, menus, double clicks): the
    // image's own extension is .bmp, .jpg, .jpeg, .gif or .png in any letter case.
    static bool IsEditableName(const std::string& name);
    // True when the image's own extension is .gif in any letter case; folder names do not count.
    static bool IsGifPath(const std::string& path);
    static std::string ParameterText(int sortKey, int sortOrder);
    // Starts the program; the "System Error: ..." text of a failure that has one.
    static std::optional<std::string> StartEditor(const Launcher& launcher, const std::string& program,
                                                  const std::string& path, const std::string& workingFolder);

    static const char* const kUnsupportedText;
    static const char* const kSeveralSelectedText;
    static const char* const kGifText;

private:
    std::string m_program;
    std::string m_parameterFile;
    std::string m_workingFolder;
    Launcher m_launcher;
};
