#include "VCAIncrementalManager.h"

#include "playcontroller/SearchWorker_p.h"

#include "mirelog/Log.h"

#include <deque>
#include <mutex>
#include <thread>

namespace teskplaycontroller {

struct CVCAIncrementalManager::Private
{
    struct Job
    {
        VCAIncrementalCondition condition;
        std::shared_ptr<IRecordingSource> source;
        std::shared_ptr<std::atomic<bool>> cancelled;
    };

    // Its mutex guards everything below except `notify_mutex`.
    CSearchWorker<Job> worker{"VCA search manager"};
    bool searching = false;
    std::shared_ptr<std::atomic<bool>> current_cancel;
    VCAIncrementalCondition current_condition;
    std::deque<std::shared_ptr<CPlaybackFile>> buffer;

    // Held while a notification goes out and while a search is cancelled, so that nothing of
    // a search is announced once CancelSearching has returned.
    std::mutex notify_mutex;
};

// Turns what the source produces for one search into buffered results and notifications.
// The first push is announced with its files (state 1) and not buffered, so that the first
// progress carries a count at once; later pushes are only buffered and pulled by the caller's
// poll, which the first announcement starts.
class CVCAIncrementalManager::Sink : public IVCAResultSink
{
public:
    Sink(CVCAIncrementalManager &manager, const Private::Job &job)
        : manager_(manager)
        , job_(job)
    {}

    void PushResults(const PlaybackFileList &files) override
    {
        if (files.empty())
            return;
        Private &d = *manager_.d_;
        if (!first_push_done_) {
            first_push_done_ = true;
            CVCAIncrementalObserver::Param param = MakeParam(VCAStateData);
            param.vc_data_result = files;
            Notify(param);
            return;
        }
        std::lock_guard<std::mutex> lock(d.worker.Mutex());
        if (finished_ || job_.cancelled->load())
            return;
        d.buffer.insert(d.buffer.end(), files.begin(), files.end());
    }

    void ReportState(const CVCAIncrementalObserver::Param &reported) override
    {
        if (finished_)
            return;
        CVCAIncrementalObserver::Param param = reported;
        const CVCAIncrementalObserver::Param defaults = MakeParam(param.state_type);
        if (param.search_guid.empty())
            param.search_guid = defaults.search_guid;
        if (param.resource_key.resource_id.empty())
            param.resource_key = defaults.resource_key;
        if (param.state_type == VCAStateData)
            first_push_done_ = true;
        if (param.state_type == VCAStateFailed || param.state_type == VCAStateOverMaximum ||
            param.state_type == VCAStateFinished)
            finished_ = true;
        Notify(param);
    }

private:
    CVCAIncrementalObserver::Param MakeParam(int state) const
    {
        CVCAIncrementalObserver::Param param;
        param.search_guid = job_.condition.search_guid;
        param.state_type = state;
        param.resource_key.resource_id = job_.condition.camera_id;
        param.resource_key.site_id = job_.condition.site_id;
        param.vca_type = job_.condition.vca_type;
        return param;
    }

    void Notify(const CVCAIncrementalObserver::Param &param)
    {
        std::lock_guard<std::mutex> lock(manager_.d_->notify_mutex);
        if (job_.cancelled->load())
            return;
        manager_.NotifyObservers(
            [&](CVCAIncrementalObserver *o) { o->UpdateSearchVideoSearchState(param); });
    }

    CVCAIncrementalManager &manager_;
    const Private::Job &job_;
    bool first_push_done_ = false;
    bool finished_ = false;
};

CVCAIncrementalManager::CVCAIncrementalManager()
    : d_(std::make_shared<Private>())
{}

CVCAIncrementalManager::~CVCAIncrementalManager()
{
    UninitManager();
}

bool CVCAIncrementalManager::InitManager()
{
    std::lock_guard<std::mutex> lock(d_->worker.Mutex());
    d_->worker.Start([this](Private::Job &job) {
        Sink sink(*this, job);
        job.source->SearchVCA(job.condition, sink, *job.cancelled);
        std::lock_guard<std::mutex> lock(d_->worker.Mutex());
        if (d_->current_cancel == job.cancelled)
            d_->searching = false;
    });
    return true;
}

void CVCAIncrementalManager::UninitManager()
{
    std::thread worker;
    {
        std::lock_guard<std::mutex> notify_lock(d_->notify_mutex);
        std::lock_guard<std::mutex> lock(d_->worker.Mutex());
        if (!d_->worker.IsRunning())
            return;
        if (d_->current_cancel)
            d_->current_cancel->store(true);
        d_->buffer.clear();
        worker = d_->worker.RequestStop();
    }
    d_->worker.Join(std::move(worker));
    std::lock_guard<std::mutex> lock(d_->worker.Mutex());
    d_->searching = false;
    d_->current_cancel.reset();
}

bool CVCAIncrementalManager::StartSearching(const VCAIncrementalCondition &condition)
{
    std::lock_guard<std::mutex> notify_lock(d_->notify_mutex);
    std::lock_guard<std::mutex> lock(d_->worker.Mutex());
    if (!d_->worker.IsRunning()) {
        TESK_LOG_ERROR("VCA search refused: the manager is not initialised");
        return false;
    }
    auto source = CRecordingSourceRegistry::GetSource();
    if (!source) {
        TESK_LOG_ERROR("VCA search refused: no recording source");
        return false;
    }
    // A new search replaces the running one and its buffered results.
    if (d_->current_cancel)
        d_->current_cancel->store(true);
    d_->buffer.clear();
    d_->current_condition = condition;
    Private::Job job{condition, std::move(source), std::make_shared<std::atomic<bool>>(false)};
    d_->current_cancel = job.cancelled;
    d_->searching = true;
    d_->worker.Post(std::move(job));
    return true;
}

bool CVCAIncrementalManager::IsSearching() const
{
    std::lock_guard<std::mutex> lock(d_->worker.Mutex());
    return d_->searching;
}

void CVCAIncrementalManager::CancelSearching()
{
    std::lock_guard<std::mutex> notify_lock(d_->notify_mutex);
    std::lock_guard<std::mutex> lock(d_->worker.Mutex());
    if (d_->current_cancel)
        d_->current_cancel->store(true);
    d_->worker.DropPending();
    d_->buffer.clear();
    d_->searching = false;
}

bool CVCAIncrementalManager::GetManagerSearchData(VCAIncrementalCondition &condition,
                                                  PlaybackFileList &files, const int &max)
{
    std::lock_guard<std::mutex> lock(d_->worker.Mutex());
    condition = d_->current_condition;
    files.clear();
    if (d_->buffer.empty() || max == 0)
        return false;
    const size_t take =
        max < 0 ? d_->buffer.size() : std::min(d_->buffer.size(), static_cast<size_t>(max));
    files.assign(std::make_move_iterator(d_->buffer.begin()),
                 std::make_move_iterator(d_->buffer.begin() + static_cast<long>(take)));
    d_->buffer.erase(d_->buffer.begin(), d_->buffer.begin() + static_cast<long>(take));
    return true;
}

void CVCAIncrementalManager::OpenVCAConfig(const std::string &first, const std::string &second)
{
    TESK_LOG_INFO("Open VCA configuration:%s, %s", first.c_str(), second.c_str());
}

} // namespace teskplaycontroller
