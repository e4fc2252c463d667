#pragma once
// The one worker thread of a graphical-text dialog. The job runs on its own thread and
// never touches a window: the raster it needs is drawn on the user-interface thread
// through a queued call that it waits for, and its end reaches the owner as a queued
// call too. RequestStop (user-interface thread) stops the job at its next test and
// answers a raster request in hand with a refusal, so the job never waits for a
// user-interface thread that is itself waiting. The destructor stops and joins.

#include "graphictext/model/TextRaster.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class wxEvtHandler;

class CTextWorker {
public:
    using Job = std::function<void(TextLineRasterizer& rasterizer, const std::atomic<bool>& stop)>;

    // Makes the rasterizer that draws on the user-interface thread (the toolkit's fonts
    // when not given).
    using RasterizerFactory = std::function<std::unique_ptr<TextLineRasterizer>()>;

    // owner: the window whose queue carries the raster requests and the end notice (a
    // dialog holding its worker as a member).
    explicit CTextWorker(wxEvtHandler& owner, RasterizerFactory uiRasterizer = {});
    ~CTextWorker();
    CTextWorker(const CTextWorker&) = delete;
    CTextWorker& operator=(const CTextWorker&) = delete;

    // Starts job; done runs on the user-interface thread once the job has returned and
    // the thread is joined. False while a job runs.
    bool Start(Job job, std::function<void()> done);
    // The job stops at its next test; a raster request in hand is refused.
    void RequestStop();
    // RequestStop, then waits for the thread (a dialog does it before its members go).
    void StopAndJoin();
    bool IsRunning() const { return m_thread.joinable(); }
    bool StopRequested() const { return m_stop.load(); }

    // Progress of the job, written by it and read by the owner's timer.
    std::atomic<int> m_progressRange{0};
    std::atomic<int> m_progressPos{0};

private:
    struct Request;
    class Marshalled;

    void Join();

    wxEvtHandler& m_owner;
    RasterizerFactory m_uiRasterizer;
    // Queued calls hold it weakly: once the worker is gone they do nothing.
    std::shared_ptr<CTextWorker*> m_alive;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::condition_variable m_answered;
    std::shared_ptr<Request> m_pending;  // the raster request in hand, under m_mutex
    std::unique_ptr<Marshalled> m_rasterizer;
};
