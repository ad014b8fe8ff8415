#pragma once

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace Quor::Base {

class IBaseObserver
{
public:
    virtual ~IBaseObserver() = default;
};

// Observer list of a service whose notifications run on the service's own threads.
// SyncUnregisterObserver returns only when no notification to that observer is still running
// and none will start, so an observer may be destroyed right after it returns.
template<class TObserver>
class CObserverableWrap
{
public:
    virtual ~CObserverableWrap() = default;

    void RegisterObserver(TObserver *observer)
    {
        if (!observer)
            return;
        std::lock_guard<std::mutex> lock(mutex_);
        if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
            observers_.push_back(observer);
    }

    void SyncUnregisterObserver(TObserver *observer)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        observers_.erase(std::remove(observers_.begin(), observers_.end(), observer),
                         observers_.end());
        // An observer that unregisters itself from inside its own notification must not wait
        // for that very call.
        const auto self = std::this_thread::get_id();
        idle_.wait(lock, [&] {
            return std::none_of(running_.begin(), running_.end(), [&](const Running &r) {
                return r.observer == observer && r.thread != self;
            });
        });
    }

    bool HasObservers() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return !observers_.empty();
    }

protected:
    // Calls `notify` for every registered observer, outside the list's lock.
    void NotifyObservers(const std::function<void(TObserver *)> &notify)
    {
        std::vector<TObserver *> snapshot;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            snapshot = observers_;
        }
        const auto self = std::this_thread::get_id();
        for (TObserver *observer : snapshot) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                // Unregistered since the snapshot: the caller may already be destroying it.
                if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
                    continue;
                running_.push_back({observer, self});
            }
            notify(observer);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                auto it = std::find_if(running_.begin(), running_.end(), [&](const Running &r) {
                    return r.observer == observer && r.thread == self;
                });
                if (it != running_.end())
                    running_.erase(it);
            }
            idle_.notify_all();
        }
    }

private:
    struct Running
    {
        TObserver *observer;
        std::thread::id thread;
    };

    mutable std::mutex mutex_;
    std::condition_variable idle_;
    std::vector<TObserver *> observers_;
    std::vector<Running> running_;
};

} // namespace Quor::Base
