#pragma once

#include "doubles/ScriptedRecordingSource.h"

#include <gtest/gtest.h>

#include "playcontroller/SearchCondition.h"
#include "testkit/TestKit.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace SearchServiceTest {

using namespace teskplaycontroller;

using TestKit::DeviceFiles;

// Collects what a service notifies, with the thread it came on.
template<class TObserver, class TParam>
class CCollector : public TObserver
{
public:
    std::vector<TParam> Params() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return params_;
    }

    std::vector<std::thread::id> Threads() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return threads_;
    }

    bool WaitFor(const std::function<bool(const std::vector<TParam> &)> &done,
                 std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return done(params_); });
    }

    bool WaitForState(int state)
    {
        return WaitFor([state](const std::vector<TParam> &params) {
            for (const auto &param : params) {
                if (param.state_type == state)
                    return true;
            }
            return false;
        });
    }

protected:
    void Record(const TParam &param)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            params_.push_back(param);
            threads_.push_back(std::this_thread::get_id());
        }
        changed_.notify_all();
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<TParam> params_;
    std::vector<std::thread::id> threads_;
};

class CCameraCollector
    : public CCollector<CCameraVideoSearchObserver, CCameraVideoSearchObserver::Param>
{
public:
    void UpdateCameraSearchState(const CCameraVideoSearchObserver::Param &param) override
    {
        Record(param);
    }
};

class CVCACollector : public CCollector<CVCAIncrementalObserver, CVCAIncrementalObserver::Param>
{
public:
    void UpdateSearchVideoSearchState(const CVCAIncrementalObserver::Param &param) override
    {
        Record(param);
    }
};

// A service on a scripted source with a collector registered; torn down so that no held answer
// outlives the test.
template<class TManager, class TCollector>
class ServiceFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        source_ = std::make_shared<CScriptedRecordingSource>();
        CRecordingSourceRegistry::SetSource(source_);
        manager_ = std::make_unique<TManager>();
        manager_->InitManager();
        manager_->RegisterObserver(&collector_);
    }

    void TearDown() override
    {
        source_->ReleaseAll();
        manager_.reset();
        CRecordingSourceRegistry::SetSource(nullptr);
    }

    std::shared_ptr<CScriptedRecordingSource> source_;
    std::unique_ptr<TManager> manager_;
    TCollector collector_;
};

} // namespace SearchServiceTest
