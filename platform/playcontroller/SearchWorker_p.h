#pragma once

#include "mirelog/Log.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace teskplaycontroller {

// The one long-lived thread of a search service. It runs the posted jobs in order, so that the
// final answer of a search always precedes every answer of the next one; a job posted before
// the thread took the previous one replaces it.
//
// Mutex() guards the worker and whatever the service keeps beside it, so that a service decides
// about its own state and the worker's under one lock. Stopping has two halves: RequestStop
// under that lock (together with the service's own cancelling), Join without it, since the
// job being joined may need the lock to finish.
template<class Job>
class CSearchWorker
{
public:
    explicit CSearchWorker(const char *service)
        : service_(service)
        , state_(std::make_shared<State>())
    {}
    ~CSearchWorker() { Join(RequestStopUnlocked()); }
    CSearchWorker(const CSearchWorker &) = delete;
    CSearchWorker &operator=(const CSearchWorker &) = delete;

    std::mutex &Mutex() const { return state_->mutex; }

    // The calls below expect Mutex() held.
    bool IsRunning() const { return state_->running; }
    const Job *Pending() const { return state_->pending ? &*state_->pending : nullptr; }

    void Start(std::function<void(Job &)> run)
    {
        if (state_->running)
            return;
        state_->running = true;
        state_->stopping = false;
        // The thread holds the state it waits on, so that one left to end on its own (see
        // Join) never touches a worker that is gone.
        thread_ = std::thread(&CSearchWorker::Loop, state_, std::move(run));
    }

    void Post(Job job)
    {
        state_->pending = std::move(job);
        state_->wake.notify_all();
    }

    void DropPending() { state_->pending.reset(); }

    // Drops what is not yet taken and tells the thread to end after its current job; hand the
    // returned thread to Join once the lock is released.
    std::thread RequestStop()
    {
        state_->running = false;
        state_->stopping = true;
        state_->pending.reset();
        state_->wake.notify_all();
        return std::move(thread_);
    }

    // Waits for the thread that RequestStop returned. Called from an observer on the worker's
    // own thread it cannot wait for itself: the thread is left to end on its own, and the
    // service must then outlive that notification.
    void Join(std::thread thread)
    {
        if (!thread.joinable())
            return;
        if (thread.get_id() == std::this_thread::get_id()) {
            TESK_LOG_ERROR("The %s was stopped from its own thread", service_);
            thread.detach();
            return;
        }
        thread.join();
    }

private:
    struct State
    {
        std::mutex mutex;
        std::condition_variable wake;
        bool running = false;
        bool stopping = false;
        std::optional<Job> pending;
    };

    std::thread RequestStopUnlocked()
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        return RequestStop();
    }

    static void Loop(std::shared_ptr<State> state, std::function<void(Job &)> run)
    {
        for (;;) {
            Job job;
            {
                std::unique_lock<std::mutex> lock(state->mutex);
                state->wake.wait(lock,
                                 [&] { return state->stopping || state->pending.has_value(); });
                if (state->stopping)
                    return;
                job = std::move(*state->pending);
                state->pending.reset();
            }
            run(job);
        }
    }

    const char *service_;
    std::shared_ptr<State> state_;
    std::thread thread_;
};

} // namespace teskplaycontroller
