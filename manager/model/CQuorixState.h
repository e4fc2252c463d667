#pragma once
// The manager's process-wide state that the frame, the views, the document and the
// loader threads share. The application object owns the one instance and hands it to
// the others; nothing here touches a window, so it can live in tests without an app.

#include "manager/model/CThreadList.h"
#include "manager/model/ManagerServices.h"
#include "platform/StateFileReport.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <utility>

class CQuorixState {
public:
    // settingsPath: the settings file that stands in for the registry key.
    explicit CQuorixState(std::string settingsPath);
    CQuorixState(const CQuorixState&) = delete;
    CQuorixState& operator=(const CQuorixState&) = delete;

    // Status totals: image entries counted and their size in KB (bytes / 1024).
    void AddToTotals(int files, double kb);
    void ResetTotals();
    std::pair<int, double> GetTotals() const;

    // Reads "LeftViewWidth", "LeftViewHeigth", "WindowHeight", "MaxNewsID" and
    // "UploadType" and writes the defaults of the three that have one when absent.
    void ReadSettings();
    // Writes one value under the manager's settings key; an empty name writes nothing.
    void WriteRegString(const std::string& value, const std::string& name);
    const std::string& GetSettingsPath() const { return m_settingsPath; }
    static const char* const kSettingsKey;

    // Taken by the thumbnail thread per image (A), by the list filler per row (A then B)
    // and by the search thread per found image (B). The user-interface thread takes neither.
    std::recursive_timed_mutex m_mutexA;
    std::recursive_timed_mutex m_mutexB;

    std::string m_strTextImagePath;         // picture previewed by the graphical-text job
    std::atomic<int> m_nThumbColumns{5};    // cells per row of the thumbnail grid
    std::string m_strAppFolder;             // folder of the suite's programs, trailing "/"

    // Settings (read by ReadSettings).
    int m_nUploadType = 0;
    int m_nLeftViewWidth = 0;
    int m_nLeftViewHeight = 220;
    int m_nWindowHeight = 0;
    int m_nMaxNewsID = 0;
    int m_nNewsID = 0;

    // Runs now and then while the user-interface thread waits for loaders to end, so
    // that it keeps handling what they post (the application sets it).
    std::function<void()> m_pumpWhileWaiting;
    bool m_bDragging = false;  // a list view drags rows: the folder tree's selection opens nothing
    // The dialogs of the neighbouring libraries (set by the program or by a test).
    ManagerServices m_services;

    // State files that could not be read or written in this run, told to the user once.
    lfplat::StateFileReport m_stateFiles;

private:
    std::string m_settingsPath;
    mutable std::mutex m_csTotals;
    int m_nImageFiles = 0;
    double m_dTotalKB = 0.0;

public:
    // Declared last: the threads are stopped and joined before anything they use goes.
    CThreadList m_threads;
};
