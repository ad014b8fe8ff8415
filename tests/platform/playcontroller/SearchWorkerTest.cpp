#include "playcontroller/SearchWorker_p.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <vector>

using teskplaycontroller::CSearchWorker;

namespace {

// Jobs that record themselves; a job numbered `hold` waits until released.
class WorkerTest : public ::testing::Test
{
protected:
    void Run(int &job)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (job == hold_) {
            held_ = true;
            changed_.notify_all();
            changed_.wait(lock, [this] { return released_; });
        }
        done_.push_back(job);
        threads_.push_back(std::this_thread::get_id());
        changed_.notify_all();
    }

    bool WaitFor(const std::function<bool()> &condition)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), condition);
    }

    void Release()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

    void Post(CSearchWorker<int> &worker, int job)
    {
        std::lock_guard<std::mutex> lock(worker.Mutex());
        worker.Post(job);
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    int hold_ = -1;
    bool held_ = false;
    bool released_ = false;
    std::vector<int> done_;
    std::vector<std::thread::id> threads_;
};

TEST_F(WorkerTest, RunsJobsInOrderOnOneThreadAndReplacesAnUntakenOne)
{
    CSearchWorker<int> worker("test worker");
    {
        std::lock_guard<std::mutex> lock(worker.Mutex());
        worker.Start([this](int &job) { Run(job); });
        worker.Start([](int &) { FAIL() << "a second start must not replace the first"; });
        EXPECT_TRUE(worker.IsRunning());
    }
    hold_ = 1;
    Post(worker, 1);
    ASSERT_TRUE(WaitFor([this] { return held_; }));
    Post(worker, 2);
    Post(worker, 3); // replaces 2, which the busy thread has not taken
    {
        std::lock_guard<std::mutex> lock(worker.Mutex());
        ASSERT_NE(worker.Pending(), nullptr);
        EXPECT_EQ(*worker.Pending(), 3);
    }
    Release();
    ASSERT_TRUE(WaitFor([this] { return done_.size() == 2; }));
    EXPECT_EQ(done_, (std::vector<int>{1, 3}));
    EXPECT_EQ(threads_[0], threads_[1]);
    EXPECT_NE(threads_[0], std::this_thread::get_id());
}

TEST_F(WorkerTest, StopWaitsForTheRunningJobAndDropsThePendingOne)
{
    CSearchWorker<int> worker("test worker");
    {
        std::lock_guard<std::mutex> lock(worker.Mutex());
        worker.Start([this](int &job) { Run(job); });
    }
    hold_ = 1;
    Post(worker, 1);
    ASSERT_TRUE(WaitFor([this] { return held_; }));
    Post(worker, 2);
    std::thread thread;
    {
        std::lock_guard<std::mutex> lock(worker.Mutex());
        thread = worker.RequestStop();
        EXPECT_FALSE(worker.IsRunning());
        EXPECT_EQ(worker.Pending(), nullptr);
    }
    auto joined = std::async(std::launch::async, [&] { worker.Join(std::move(thread)); });
    Release();
    ASSERT_EQ(joined.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(done_, std::vector<int>{1});
}

TEST_F(WorkerTest, StoppedFromItsOwnThreadReturnsAndTheThreadEnds)
{
    auto worker = std::make_unique<CSearchWorker<int>>("test worker");
    auto stopped = std::make_shared<std::promise<void>>();
    auto done = stopped->get_future();
    {
        std::lock_guard<std::mutex> lock(worker->Mutex());
        worker->Start([stopped, raw = worker.get()](int &) {
            std::thread self;
            {
                std::lock_guard<std::mutex> inner(raw->Mutex());
                self = raw->RequestStop();
            }
            raw->Join(std::move(self));
            stopped->set_value();
        });
    }
    Post(*worker, 1);
    ASSERT_EQ(done.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    {
        std::lock_guard<std::mutex> lock(worker->Mutex());
        EXPECT_FALSE(worker->IsRunning());
    }
    // The thread left behind may still be on its way out: it holds the state it waits on.
    worker.reset();
}

} // namespace
