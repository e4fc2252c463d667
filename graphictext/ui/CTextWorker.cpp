#include "graphictext/ui/CTextWorker.h"

#include "graphictext/ui/CWxTextRasterizer.h"

#include <wx/event.h>
#include <wx/thread.h>

struct CTextWorker::Request {
    TextRaster* raster;
    int y0;
    std::string line;
    TextFont font;
    int charSpacing;
    bool answered = false;
    int width = -1;
};

// The rasterizer the job sees: on the user-interface thread it draws at once, from the
// worker it queues the drawing there and waits for the answer or a refusal.
class CTextWorker::Marshalled : public TextLineRasterizer {
public:
    explicit Marshalled(CTextWorker& worker) : m_worker(worker) {}

    int DrawLine(TextRaster& raster, int y0, const std::string& line, const TextFont& font, int charSpacing) override
    {
        if (wxThread::IsMain())
            return m_worker.m_uiRasterizer()->DrawLine(raster, y0, line, font, charSpacing);
        auto request = std::make_shared<Request>(Request{&raster, y0, line, font, charSpacing});
        std::unique_lock lock(m_worker.m_mutex);
        if (m_worker.m_stop.load())
            return -1;
        m_worker.m_pending = request;
        // A worker that went meanwhile refused the request before it was joined.
        m_worker.m_owner.CallAfter([alive = std::weak_ptr(m_worker.m_alive), request] {
            const auto self = alive.lock();
            if (!self)
                return;
            CTextWorker* worker = *self;
            {
                std::lock_guard guard(worker->m_mutex);
                if (request->answered)
                    return;  // refused meanwhile: the raster may be gone
            }
            // Only this thread answers, and the job waits until it does: the raster
            // is the job's, untouched by it until the answer.
            const int width = worker->m_uiRasterizer()->DrawLine(*request->raster, request->y0, request->line,
                                                                 request->font, request->charSpacing);
            std::lock_guard guard(worker->m_mutex);
            request->width = width;
            request->answered = true;
            worker->m_pending.reset();
            worker->m_answered.notify_all();
        });
        m_worker.m_answered.wait(lock, [&] { return request->answered; });
        return request->width;
    }

private:
    CTextWorker& m_worker;
};

CTextWorker::CTextWorker(wxEvtHandler& owner, RasterizerFactory uiRasterizer)
    : m_owner(owner), m_uiRasterizer(std::move(uiRasterizer)), m_alive(std::make_shared<CTextWorker*>(this)),
      m_rasterizer(std::make_unique<Marshalled>(*this))
{
    if (!m_uiRasterizer)
        m_uiRasterizer = [] { return std::make_unique<CWxTextRasterizer>(); };
}

CTextWorker::~CTextWorker()
{
    StopAndJoin();
    m_alive.reset();
}

void CTextWorker::StopAndJoin()
{
    RequestStop();
    Join();
}

bool CTextWorker::Start(Job job, std::function<void()> done)
{
    if (IsRunning())
        return false;
    m_stop = false;
    m_progressRange = 0;
    m_progressPos = 0;
    m_thread = std::thread([this, job = std::move(job), done = std::move(done)]() mutable {
        job(*m_rasterizer, m_stop);
        // The last act of the thread: the owner joins it before running done.
        m_owner.CallAfter([this, alive = std::weak_ptr(m_alive), done = std::move(done)] {
            if (alive.expired())
                return;
            Join();
            if (done)
                done();
        });
    });
    return true;
}

void CTextWorker::RequestStop()
{
    std::lock_guard guard(m_mutex);
    m_stop = true;
    if (m_pending) {
        m_pending->answered = true;
        m_pending->width = -1;
        m_pending.reset();
        m_answered.notify_all();
    }
}

void CTextWorker::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}
