#pragma once
// The editor's image preload worker: decodes, one after the other, every image of the
// document's folder list into the entries' preload slots, so that stepping would not wait
// for decoding. Nothing in the editor starts it (the document's starter has no caller);
// it is kept working and tested for when one does.
//
// The worker only reads paths and fills slots under the list's preload lock; the list
// itself must not be replaced or freed until the worker was stopped and joined, which
// the destructor does.

#include <atomic>
#include <string>
#include <thread>

class CImageFolderList;

namespace pixoro {

// What the document can see of a preload pass.
struct PreloadState {
    std::atomic<bool> preloading{false};  // the pass runs
    std::atomic<bool> done{false};        // every entry was visited
    std::atomic<bool> stopped{false};     // the pass ended early
};

class CImageThread {
public:
    // placeholderPath: the picture an undecodable file gets in its slot (the program's
    // own "bitmap8.bmp"); empty: such a slot stays empty.
    CImageThread(CImageFolderList& files, PreloadState& state, std::string placeholderPath);
    ~CImageThread();
    CImageThread(const CImageThread&) = delete;
    CImageThread& operator=(const CImageThread&) = delete;

    // Runs the pass on a thread of its own; false when it already runs.
    bool Start();
    // Asks the pass to end after the entry it is loading.
    void Stop() { m_stop = true; }
    // Waits for the thread's end.
    void Join();
    // The pass has ended (the done signal).
    bool Finished() const { return m_finished; }

    // The pass itself (the thread's body).
    void Run();

    // The image type of an extension in any letter case ("bmp" 1 to "wbmp" 9), 0 for none.
    static int TypeForExtension(const std::string& extension);

private:
    void LoadEntry(int index);

    CImageFolderList& m_files;
    PreloadState& m_state;
    std::string m_placeholderPath;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
    std::thread m_thread;
};

}  // namespace pixoro
