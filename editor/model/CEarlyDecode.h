#pragma once
// The image named on the command line, decoded on a worker from the moment the path is
// known, so that the decode overlaps the toolkit's start-up. The open road then takes
// the decoded image instead of decoding the file again; the decode is the same.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

class CLfImage;

class CEarlyDecode {
public:
    // Starts decoding path with the type of its extension; nothing starts for a path the
    // editor does not open.
    explicit CEarlyDecode(std::string path);
    ~CEarlyDecode();  // waits for the worker
    CEarlyDecode(const CEarlyDecode&) = delete;
    CEarlyDecode& operator=(const CEarlyDecode&) = delete;

    bool Started() const { return m_worker.joinable(); }
    // True once the worker has finished (then Take does not wait).
    bool Done() const { return m_done.load(std::memory_order_acquire); }
    // Called by Take, on the taking thread, when it would have to wait for the worker:
    // what can be done meanwhile, returning when Done() (or earlier).
    void SetWhileWaiting(std::function<void()> whileWaiting) { m_whileWaiting = std::move(whileWaiting); }
    // The decoded image of path (waiting for the worker), once; null for another path,
    // a second call, or when nothing was started.
    std::unique_ptr<CLfImage> Take(const std::string& path);

private:
    std::string m_path;
    std::function<void()> m_whileWaiting;
    std::unique_ptr<CLfImage> m_image;
    std::atomic<bool> m_done{false};
    std::jthread m_worker;
};
