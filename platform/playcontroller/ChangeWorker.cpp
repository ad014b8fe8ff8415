#include "ChangeWorker_p.h"

#include "mirelog/Log.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace teskplaycontroller {

struct CChangeWorker::Private
{
    struct Job
    {
        Run run;
        Report report;
        std::shared_ptr<CChangeClaim> claim;
    };

    std::string name;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Job> queue;
    bool stopping = false;
    std::chrono::milliseconds timeout = kDefaultTimeout;
    // The request in the recorder's hands and when it expires; watched by the watchdog.
    std::shared_ptr<CChangeClaim> current_claim;
    Report current_report;
    std::chrono::steady_clock::time_point deadline;
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
        if (d_->current_claim)
            d_->current_claim->Expire();
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
        d_->queue.push_back({std::move(run), std::move(report), nullptr});
    }
    d_->wake.notify_all();
}

void CChangeWorker::Private::RunWorker()
{
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(mutex);
            wake.wait(lock, [&] { return stopping || !queue.empty(); });
            if (stopping)
                return;
            job = std::move(queue.front());
            queue.pop_front();
            job.claim = std::make_shared<CChangeClaim>();
            current_claim = job.claim;
            current_report = job.report;
            deadline = std::chrono::steady_clock::now() + timeout;
        }
        wake.notify_all();

        std::string error;
        bool ok = false;
        if (auto source = CRecordingSourceRegistry::GetSource()) {
            ok = job.run(*source, *job.claim, error);
        } else {
            error = "No recorder is connected.";
        }
        {
            std::lock_guard<std::mutex> lock(mutex);
            current_claim.reset();
            current_report = nullptr;
        }
        wake.notify_all();
        // A source that failed before claiming still has to beat the deadline to be heard.
        if (!job.claim->ClaimCommit()) {
            TESK_LOG_ERROR("%s: the recorder answered after the deadline (%s); answer dropped",
                           name.c_str(), ok ? "success" : error.c_str());
            continue;
        }
        if (!ok)
            TESK_LOG_ERROR("%s: request failed: %s", name.c_str(), error.c_str());
        job.report(ok, error);
    }
}

void CChangeWorker::Private::RunWatchdog()
{
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        wake.wait(lock, [&] { return stopping || current_claim != nullptr; });
        if (stopping)
            return;
        const auto claim = current_claim;
        if (wake.wait_until(lock, deadline, [&] { return stopping || current_claim != claim; }))
            continue;
        if (!claim->Expire())
            continue;
        const Report report = current_report;
        const long long waited = static_cast<long long>(timeout.count());
        lock.unlock();
        TESK_LOG_ERROR("%s: the recorder did not answer within %lld ms", name.c_str(), waited);
        report(false, "The recorder did not answer in time.");
        lock.lock();
        // Wait for the worker to let go of this request before watching the next one.
        wake.wait(lock, [&] { return stopping || current_claim != claim; });
    }
}

} // namespace teskplaycontroller
