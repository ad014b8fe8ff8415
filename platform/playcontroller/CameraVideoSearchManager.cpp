#include "CameraVideoSearchManager.h"

#include "playcontroller/SearchWorker_p.h"

#include "mirelog/Log.h"

#include <mutex>
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

    // Its mutex guards the fields below too.
    CSearchWorker<Job> worker{"camera search manager"};
    // True from an accepted SearchCameraFiles until the final answer is about to go out, so
    // that a caller reacting to that answer may start the next search at once.
    bool searching = false;
    std::string running_guid;
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
    std::lock_guard<std::mutex> lock(d_->worker.Mutex());
    d_->worker.Start(
        [this](Private::Job &job) { RunSearch(job.condition, *job.source, *job.cancelled); });
    return true;
}

void CCameraVideoSearchManager::UninitManager()
{
    std::thread worker;
    {
        std::lock_guard<std::mutex> lock(d_->worker.Mutex());
        if (!d_->worker.IsRunning())
            return;
        if (d_->current_cancel)
            d_->current_cancel->store(true);
        worker = d_->worker.RequestStop();
    }
    d_->worker.Join(std::move(worker));
    std::lock_guard<std::mutex> lock(d_->worker.Mutex());
    d_->searching = false;
    d_->current_cancel.reset();
}

bool CCameraVideoSearchManager::SearchCameraFiles(const CameraVideoSearchCondition &condition)
{
    std::lock_guard<std::mutex> lock(d_->worker.Mutex());
    if (!d_->worker.IsRunning()) {
        TESK_LOG_ERROR("Camera search refused: the manager is not initialised");
        return false;
    }
    if (d_->searching) {
        TESK_LOG_ERROR("Camera search refused: search %s is still running",
                       d_->running_guid.c_str());
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
    d_->running_guid = condition.search_guid;
    d_->searching = true;
    d_->worker.Post(std::move(job));
    return true;
}

bool CCameraVideoSearchManager::IsSearching() const
{
    std::lock_guard<std::mutex> lock(d_->worker.Mutex());
    return d_->searching;
}

void CCameraVideoSearchManager::CancelSearching()
{
    std::lock_guard<std::mutex> lock(d_->worker.Mutex());
    if (d_->searching && d_->current_cancel)
        d_->current_cancel->store(true);
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
        CCameraVideoSearchObserver::Param param = make_param(CameraStateDone);
        param.pair_storage_info = camera.pair_storage_info;
        if (!camera.ptr_camera_for_play) {
            param.state_type = CameraStateFailed;
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
            param.state_type = CameraStateFailed;
        else
            param.vc_data_result = std::move(answer.files);
        NotifyObservers([&](CCameraVideoSearchObserver *o) { o->UpdateCameraSearchState(param); });
    }

    // Decided together with leaving the searching state, so a cancel either turns this search's
    // end into an interruption or finds the search already over.
    bool interrupted = false;
    {
        std::lock_guard<std::mutex> lock(d_->worker.Mutex());
        interrupted = cancelled.load();
        d_->searching = false;
        d_->current_cancel.reset();
    }
    const CCameraVideoSearchObserver::Param final_param =
        make_param(interrupted ? CameraStateInterrupted : CameraStateFinished);
    NotifyObservers(
        [&](CCameraVideoSearchObserver *o) { o->UpdateCameraSearchState(final_param); });
}

} // namespace teskplaycontroller
