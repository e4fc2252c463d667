#pragma once
// The editor's process-wide state that the document, the view and the dialogs share,
// and its stored settings. The application object owns the one instance; nothing here
// touches a window, so documents and dialogs are tested with a state of their own.

#include "platform/StateFileReport.h"
#include "platform/WinTypes.h"

#include <string>

class CEarlyDecode;

class CPixoroState {
public:
    // View fit modes.
    static constexpr int kFitNone = 50;    // full size
    static constexpr int kFitWidth = 51;   // fitted to the width, or best fit
    static constexpr int kFitHeight = 52;  // fitted to the height

    // settingsPath: the settings file that stands in for the registry key.
    explicit CPixoroState(std::string settingsPath);
    CPixoroState(const CPixoroState&) = delete;
    CPixoroState& operator=(const CPixoroState&) = delete;

    // Reads the view mode and the JPEG presets; a missing or empty view mode is written
    // as "1". Values that are not numbers keep their start values; the quality is kept
    // within 1..100.
    void ReadSettings();
    // Writes one value under the editor's settings key; an empty name writes nothing.
    // Failed reads and writes are noted in m_stateFiles for the application to tell.
    void WriteRegString(const std::string& value, const std::string& name);
    // Several values in one replacement of the settings file.
    void WriteRegStrings(const std::initializer_list<std::pair<std::string, std::string>>& values);
    const std::string& SettingsPath() const { return m_settingsPath; }

    // View state.
    int m_nFitMode = kFitNone;
    int m_nViewMode = 1;  // 1 best fit
    bool m_bSteppedImage = false;
    bool m_bBestFitSuspended = false;
    bool m_bImageLoaded = false;
    bool m_bRefitOnLoad = true;

    // The two digits of the manager's parameter file; kept, not used.
    int m_nParamSortKey = 0;
    int m_nParamSortOrder = 0;

    // Full path of the open image.
    std::string m_strCurrentPath;
    // The command line's image as decoded during start-up (owned by the application);
    // null when there is none.
    CEarlyDecode* m_pEarlyDecode = nullptr;
    // The manager's parameter file (in the working folder); empty: none is read.
    std::string m_strParamFilePath;

    // JPEG presets of the options dialog.
    float m_fJpegQuality = 85.0f;
    int m_nJpegEncoding = 0;  // 1 progressive, 2 optimised Huffman codes
    int m_nJpegColor = 0;     // 1 chroma halved horizontally, 2 vertically
    bool m_bJpegSaveSetting = false;

    // Red-eye picks shared by the red-eye dialog and its panes.
    struct Pick {
        POINT point{};
        bool picked = false;
    };
    RECT m_rcRedEye{};
    Pick m_redEyePick;
    Pick m_redEyeZoomPick;

    // The settings file when it could not be read or written, told once.
    lfplat::StateFileReport m_stateFiles;

private:
    std::string m_settingsPath;
};
