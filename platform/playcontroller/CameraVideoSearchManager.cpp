#include "CameraVideoSearchManager.h"

#include "mirelog/Log.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace teskplaycontroller {

namespace {
// Raised for a camera entry that carries no camera object.
constexpr Quor::Base::Error::ErrorCode kNoCameraObject{0x30, 0x3001};
} // namespace

struct CCameraVideoSearchManager::Private
{
    struct Job
    {
        CameraVideoSearchCondition condition;
        std::shared_ptr<IRecordingSource> source;
        std::shared_ptr<std::atomic<bool>> cancelled;
    };

    std::mutex mutex;
    std::condition_variable wake;
    std::thread worker;
    bool initialised = false;
    bool stopping = false;
    // True from an accepted SearchCameraFiles until the final answer is about to go out, so
    // that a caller reacting to that answer may start the next search at once.
    bool searching = false;
    std::optional<Job> pending;
    std::shared_ptr<std::atomic<bool>> current_cancel;
};

CCameraVideoSearchManager::CCameraVideoSearchManager()
    : d_(std::make_shared<Private>())
{}

CCameraVideoSearchManager::~CCameraVideoSearchManager()
{
    UninitManager();
}

bool CCameraVideoSearchManager::InitManager()
{
    std::lock_guard<std::mutex> lock(d_->mutex);
    if (d_->initialised)
        return true;
    d_->initialised = true;
    d_->stopping = false;
    // One long-lived worker runs the searches in order, so the final answer of a search always
    // precedes every answer of the next one.
    d_->worker = std::thread([this] { RunWorker(); });
    return true;
}

void CCameraVideoSearchManager::UninitManager()
{
    std::thread worker;
    {
        std::lock_guard<std::mutex> lock(d_->mutex);
        if (!d_->initialised)
            return;
        d_->initialised = false;
        d_->stopping = true;
        d_->pending.reset();
        if (d_->current_cancel)
            d_->current_cancel->store(true);
        worker = std::move(d_->worker);
    }
    d_->wake.notify_all();
    if (worker.joinable()) {
        if (worker.get_id() == std::this_thread::get_id()) {
            // Called from an observer on the service's own thread, which cannot join itself;
            // the manager must then outlive that notification.
            TESK_LOG_ERROR("The camera search manager was stopped from its own thread");
            worker.detach();
        } else {
            worker.join();
        }
    }
    std::lock_guard<std::mutex> lock(d_->mutex);
    d_->searching = false;
    d_->current_cancel.reset();
}

bool CCameraVideoSearchManager::SearchCameraFiles(const CameraVideoSearchCondition &condition)
{
    std::unique_lock<std::mutex> lock(d_->mutex);
    if (!d_->initialised) {
        TESK_LOG_ERROR("Camera search refused: the manager is not initialised");
        return false;
    }
    if (d_->searching) {
        TESK_LOG_ERROR("Camera search refused: search %s is still running",
                       d_->pending ? d_->pending->condition.search_guid.c_str() : "");
        return false;
    }
    if (condition.tesk_camera_info.isEmpty()) {
        TESK_LOG_ERROR("Camera search refused: no camera in search %s",
                       condition.search_guid.c_str());
        return false;
    }
    auto source = CRecordingSourceRegistry::GetSource();
    if (!source) {
        TESK_LOG_ERROR("Camera search refused: no recording source");
        return false;
    }
    Private::Job job{condition, std::move(source), std::make_shared<std::atomic<bool>>(false)};
    d_->current_cancel = job.cancelled;
    d_->pending = std::move(job);
    d_->searching = true;
    lock.unlock();
    d_->wake.notify_all();
    return true;
}

bool CCameraVideoSearchManager::IsSearching() const
{
    std::lock_guard<std::mutex> lock(d_->mutex);
    return d_->searching;
}

void CCameraVideoSearchManager::CancelSearching()
{
    std::lock_guard<std::mutex> lock(d_->mutex);
    if (d_->searching && d_->current_cancel)
        d_->current_cancel->store(true);
}

void CCameraVideoSearchManager::RunWorker()
{
    for (;;) {
        Private::Job job;
        {
            std::unique_lock<std::mutex> lock(d_->mutex);
            d_->wake.wait(lock, [&] { return d_->stopping || d_->pending.has_value(); });
            if (d_->stopping)
                return;
            job = std::move(*d_->pending);
            d_->pending.reset();
        }
        RunSearch(job.condition, *job.source, *job.cancelled);
    }
}

void CCameraVideoSearchManager::RunSearch(const CameraVideoSearchCondition &condition,
                                          IRecordingSource &source,
                                          const std::atomic<bool> &cancelled)
{
    auto make_param = [&](int state) {
        CCameraVideoSearchObserver::Param param;
        param.search_guid = condition.search_guid;
        param.state_type = state;
        param.search_type = condition.search_type;
        return param;
    };

    for (const TeskCameraInfo &camera : condition.tesk_camera_info) {
        if (cancelled.load())
            break;
        CCameraVideoSearchObserver::Param param = make_param(2);
        param.pair_storage_info = camera.pair_storage_info;
        if (!camera.ptr_camera_for_play) {
            param.state_type = 1;
            param.error_code = kNoCameraObject;
            param.str_error_info = "The search names no camera object.";
            NotifyObservers(
                [&](CCameraVideoSearchObserver *o) { o->UpdateCameraSearchState(param); });
            continue;
        }
        param.resource_key = *camera.ptr_camera_for_play->GetResourceKey().GetDataPtr();
        CameraSearchAnswer answer = source.SearchCamera(condition, camera, cancelled);
        // An answer the source completed is reported even when the cancel came meanwhile: it
        // was already on its way. One the source gave up on is not.
        if (answer.interrupted)
            break;
        static_cast<SearchAnswerDetails &>(param) = answer;
        if (answer.failed)
            param.state_type = 1;
        else
            param.vc_data_result = std::move(answer.files);
        NotifyObservers([&](CCameraVideoSearchObserver *o) { o->UpdateCameraSearchState(param); });
    }

    // Decided together with leaving the searching state, so a cancel either turns this search's
    // end into an interruption or finds the search already over.
    bool interrupted = false;
    {
        std::lock_guard<std::mutex> lock(d_->mutex);
        interrupted = cancelled.load();
        d_->searching = false;
        d_->current_cancel.reset();
    }
    const CCameraVideoSearchObserver::Param final_param = make_param(interrupted ? 4 : 3);
    NotifyObservers(
        [&](CCameraVideoSearchObserver *o) { o->UpdateCameraSearchState(final_param); });
}

} // namespace teskplaycontroller
