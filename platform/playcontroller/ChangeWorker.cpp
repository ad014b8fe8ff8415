#include "ChangeWorker_p.h"

#include "mirelog/Log.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace teskplaycontroller {

using Clock = std::chrono::steady_clock;

struct CChangeWorker::Private
{
    struct Job
    {
        Run run;
        Report report;
        std::shared_ptr<CChangeClaim> claim;
        Clock::time_point deadline;
    };

    std::string name;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::shared_ptr<Job>> queue;
    // The request in the recorder's hands; it and the queued ones are watched by the watchdog.
    std::shared_ptr<Job> current;
    bool stopping = false;
    std::chrono::milliseconds timeout = kDefaultTimeout;
    std::thread worker;
    std::thread watchdog;

    void RunWorker();
    void RunWatchdog();
};

CChangeWorker::CChangeWorker(std::string name)
    : d_(std::make_shared<Private>())
{
    d_->name = std::move(name);
    d_->worker = std::thread([d = d_.get()] { d->RunWorker(); });
    d_->watchdog = std::thread([d = d_.get()] { d->RunWatchdog(); });
}

CChangeWorker::~CChangeWorker()
{
    {
        std::lock_guard<std::mutex> lock(d_->mutex);
        d_->stopping = true;
        d_->queue.clear();
        if (d_->current)
            d_->current->claim->Expire();
    }
    d_->wake.notify_all();
    d_->worker.join();
    d_->watchdog.join();
}

void CChangeWorker::SetTimeout(std::chrono::milliseconds timeout)
{
    std::lock_guard<std::mutex> lock(d_->mutex);
    d_->timeout = timeout;
}

void CChangeWorker::Submit(Run run, Report report)
{
    {
        std::lock_guard<std::mutex> lock(d_->mutex);
        if (d_->stopping)
            return;
        // The deadline runs from the request, so that requests queued behind a recorder that
        // hangs are answered in time as well.
        d_->queue.push_back(std::make_shared<Private::Job>(
            Private::Job{std::move(run), std::move(report), std::make_shared<CChangeClaim>(),
                         Clock::now() + d_->timeout}));
    }
    d_->wake.notify_all();
}

void CChangeWorker::Private::RunWorker()
{
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock<std::mutex> lock(mutex);
            wake.wait(lock, [&] { return stopping || !queue.empty(); });
            if (stopping)
                return;
            job = queue.front();
            queue.pop_front();
            // Answered by the watchdog while it waited.
            if (job->claim->HasExpired())
                continue;
            current = job;
        }

        std::string error;
        bool ok = false;
        if (auto source = CRecordingSourceRegistry::GetSource()) {
            ok = job->run(*source, *job->claim, error);
        } else {
            error = "No recorder is connected.";
        }
        {
            std::lock_guard<std::mutex> lock(mutex);
            current.reset();
        }
        wake.notify_all();
        // A source that failed before claiming still has to beat the deadline to be heard.
        if (!job->claim->ClaimCommit()) {
            TESK_LOG_ERROR("%s: the recorder answered after the deadline (%s); answer dropped",
                           name.c_str(), ok ? "success" : error.c_str());
            continue;
        }
        if (!ok)
            TESK_LOG_ERROR("%s: request failed: %s", name.c_str(), error.c_str());
        job->report(ok, error);
    }
}

void CChangeWorker::Private::RunWatchdog()
{
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping) {
        std::vector<std::shared_ptr<Job>> watched(queue.begin(), queue.end());
        if (current)
            watched.push_back(current);
        watched.erase(std::remove_if(watched.begin(), watched.end(),
                                     [](const auto &job) { return !job->claim->IsOpen(); }),
                      watched.end());
        if (watched.empty()) {
            wake.wait(lock);
            continue;
        }
        const auto earliest =
            std::min_element(watched.begin(), watched.end(), [](const auto &a, const auto &b) {
                return a->deadline < b->deadline;
            });
        if (Clock::now() < (*earliest)->deadline) {
            wake.wait_until(lock, (*earliest)->deadline);
            continue;
        }
        std::vector<std::shared_ptr<Job>> expired;
        for (const auto &job : watched) {
            if (job->deadline <= Clock::now() && job->claim->Expire())
                expired.push_back(job);
        }
        lock.unlock();
        for (const auto &job : expired) {
            TESK_LOG_ERROR("%s: the recorder did not answer in time", name.c_str());
            job->report(false, "The recorder did not answer in time.");
        }
        lock.lock();
    }
}

} // namespace teskplaycontroller
