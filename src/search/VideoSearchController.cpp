#include "search/VideoSearchController.h"

#include "search/VideoSearchCommonPort.h"
#include "search/VideoSearchController_p.h"

#include "mirelog/Log.h"
#include "plexacontrol/StringConvert.h"
#include "pluginmanager/PluginManager.h"

#include <QDateTime>
#include <QLatin1Char>
#include <QWidget>

#include <algorithm>
#include <map>
#include <vector>

namespace TeskVideoSearch {

namespace {

using teskplaycontroller::ResourceKey;

// Non-regular searches keep at most this many files; more would make the pages unusable.
constexpr int kMaxStoredFiles = 5000;
// VCA results are pulled in small batches until this many are stored, then all at once.
constexpr int kVCASmallBatchLimit = 150;
constexpr int kVCASmallBatch = 50;
// Camera answers handled in one turn of the event loop stop after this long; a service that
// answers many cameras at once would otherwise freeze the interface until all are split.
constexpr int64_t kAnswerTurnBudgetNs = 1'000'000;

bool IsHandledSearchType(int type)
{
    switch (type) {
    case teskplaycontroller::VideoSearchRecord:
    case teskplaycontroller::VideoSearchTag:
    case teskplaycontroller::VideoSearchLock:
    case teskplaycontroller::VideoSearchPOS:
    case teskplaycontroller::VideoSearchATM:
    case teskplaycontroller::VideoSearchPersonVehicle:
        return true;
    default:
        return false;
    }
}

// An event of the given kind whose QEvent type is the search event's own.
ClipSearchEvent MakeEvent(ClipSearchEventType type)
{
    teskplaycontroller::CCameraVideoSearchObserver::Param param;
    param.state_type = type >= ClipSearchFailed && type <= ClipSearchInterrupted ? type : 0;
    ClipSearchEvent event(param);
    event.SetEventType(type);
    return event;
}

QString ToQString(const std::string &text)
{
    return PlexaControl::StringToQString(text, nullptr);
}

} // namespace

CVideoSearchController::CVideoSearchController(QWidget *parent)
    : QObject(parent)
    , data_(std::make_shared<VideoSearchControllerData>())
{
    data_->ptr_parent_ = parent;
    RegisterSearchMetaTypes();
    qRegisterMetaType<teskplaycontroller::CCameraVideoSearchObserver::Param>(
        "teskplaycontroller::CCameraVideoSearchObserver::Param");
    qRegisterMetaType<teskplaycontroller::CVCAIncrementalObserver::Param>(
        "teskplaycontroller::CVCAIncrementalObserver::Param");
    connect(this, &CVideoSearchController::SignalUpdateCameraSearchState, this,
            &CVideoSearchController::OnUpdateCameraSearchState, Qt::AutoConnection);
    connect(this, &CVideoSearchController::SignalUpdateVCASearchState, this,
            &CVideoSearchController::OnUpdateVCASearchState, Qt::AutoConnection);
}

CVideoSearchController::~CVideoSearchController()
{
    // A re-split worker emits from this object when it ends.
    for (QFuture<void> &worker : data_->split_workers_)
        worker.waitForFinished();
    if (data_->ptr_vca_timer_)
        data_->ptr_vca_timer_->stop();
    // Unregistering waits for a notification still running on a service thread, so none can
    // reach this object once it is gone.
    if (auto *manager = data_->ptr_camera_search_manager_) {
        manager->SyncUnregisterObserver(
            static_cast<teskplaycontroller::CCameraVideoSearchObserver *>(this));
        manager->UninitManager();
        delete manager;
        data_->ptr_camera_search_manager_ = nullptr;
    }
    if (auto *manager = data_->ptr_vca_manager_) {
        manager->SyncUnregisterObserver(
            static_cast<teskplaycontroller::CVCAIncrementalObserver *>(this));
        manager->UninitManager();
        delete manager;
        data_->ptr_vca_manager_ = nullptr;
    }
}

bool CVideoSearchController::SearchCameraFiles(
    teskplaycontroller::CCameraVideoSearchCondition &condition, const int &split_duration)
{
    if (!data_->ptr_camera_search_manager_) {
        data_->ptr_camera_search_manager_ = new teskplaycontroller::CCameraVideoSearchManager();
        data_->ptr_camera_search_manager_->InitManager();
        data_->ptr_camera_search_manager_->RegisterObserver(this);
    }
    data_->search_condition_ = condition.GetData();
    data_->camera_files_.Clear();
    data_->segment_files_.Clear();
    data_->split_time_duration_ = split_duration;

    if (data_->ptr_camera_search_manager_->IsSearching()) {
        data_->is_restart_search_ = true;
        data_->ptr_camera_search_manager_->CancelSearching();
        return true;
    }
    data_->is_restart_search_ = false;
    TESK_LOG_INFO("Clip search:searche type:%d, event_type:%d",
                  static_cast<int>(data_->search_condition_.search_type),
                  data_->search_condition_.event_type);
    return data_->ptr_camera_search_manager_->SearchCameraFiles(data_->search_condition_);
}

bool CVideoSearchController::SearchVCAFiles(teskplaycontroller::CVCAIncrementalCondition &condition)
{
    if (!data_->ptr_vca_manager_) {
        data_->ptr_vca_manager_ = new teskplaycontroller::CVCAIncrementalManager();
        data_->ptr_vca_manager_->InitManager();
        data_->ptr_vca_manager_->RegisterObserver(this);
    }
    data_->vca_condition_ = condition.GetData();
    // The end of an earlier search must not end this one's polling.
    data_->is_vca_search_end_ = false;
    StopVCATimer();
    data_->camera_files_.Clear();
    TESK_LOG_INFO("VCA search:searche type");
    if (!data_->ptr_vca_manager_->StartSearching(data_->vca_condition_)) {
        // Nothing will answer: the pages must still leave their busy state.
        TESK_LOG_ERROR("VCA search of camera %s was not started",
                       data_->vca_condition_.camera_id.c_str());
        emit SignalSearchResult(MakeEvent(ClipSearchFinished));
    }
    return true;
}

void CVideoSearchController::CancelSearch(bool restart)
{
    data_->search_condition_ = teskplaycontroller::CameraVideoSearchCondition();
    data_->vca_condition_ = teskplaycontroller::VCAIncrementalCondition();
    data_->is_vca_search_end_ = false;
    StopVCATimer();
    data_->camera_files_.Clear();
    data_->segment_files_.Clear();
    data_->split_time_duration_ = -1;
    if (data_->ptr_camera_search_manager_ && data_->ptr_camera_search_manager_->IsSearching()) {
        data_->is_restart_search_ = restart;
        data_->ptr_camera_search_manager_->CancelSearching();
    }
    if (data_->ptr_vca_manager_)
        data_->ptr_vca_manager_->CancelSearching();
}

bool CVideoSearchController::IsSearching()
{
    return data_->ptr_camera_search_manager_ && data_->ptr_camera_search_manager_->IsSearching();
}

void CVideoSearchController::OpenVCAConfig(const std::string &first, const std::string &second)
{
    if (data_->ptr_vca_manager_)
        data_->ptr_vca_manager_->OpenVCAConfig(first, second);
}

void CVideoSearchController::GetCurrentSearchParam(
    teskplaycontroller::CCameraVideoSearchCondition &out)
{
    out = teskplaycontroller::CCameraVideoSearchCondition(data_->search_condition_);
}

void CVideoSearchController::GetCurrentVCASearchParam(
    teskplaycontroller::CVCAIncrementalCondition &out)
{
    out = teskplaycontroller::CVCAIncrementalCondition(data_->vca_condition_);
}

QVector<CCameraBaseInfo> CVideoSearchController::GetSearchSuccessCameraInfo()
{
    const StoreSnapshot store = data_->camera_files_.Snapshot();
    QVector<CCameraBaseInfo> cameras;
    cameras.reserve(store.rows.size());
    for (const CameraFilesEntry &entry : store.rows)
        cameras.append(entry.first);
    return cameras;
}

void CVideoSearchController::UpdateCameraSearchState(const CameraParam &param)
{
    emit SignalUpdateCameraSearchState(param);
}

void CVideoSearchController::UpdateSearchVideoSearchState(const VCAParam &param)
{
    emit SignalUpdateVCASearchState(param);
}

void CVideoSearchController::OnUpdateCameraSearchState(
    teskplaycontroller::CCameraVideoSearchObserver::Param param)
{
    data_->pending_camera_answers_.push_back(std::move(param));
    TakeCameraAnswers();
}

// Answers are handled in arrival order; once a turn has spent its budget the rest wait for the
// next turn, so that timers, input and painting get the thread in between.
void CVideoSearchController::TakeCameraAnswers()
{
    // A handler may run a nested event loop; the outer call goes on with what arrives meanwhile.
    if (data_->is_taking_answers_)
        return;
    data_->is_taking_answers_ = true;
    // Whatever else ran in this turn since the first answer (a page built, a view painted)
    // counts against the budget too.
    QElapsedTimer &turn = data_->answer_turn_clock_;
    if (!turn.isValid())
        turn.start();
    auto &pending = data_->pending_camera_answers_;
    while (!pending.empty() && turn.nsecsElapsed() < kAnswerTurnBudgetNs) {
        const CameraParam param = std::move(pending.front());
        pending.pop_front();
        DealCameraSearchState(param);
    }
    data_->is_taking_answers_ = false;
    if (!data_->ptr_answer_turn_timer_) {
        data_->ptr_answer_turn_timer_ = new QTimer(this);
        data_->ptr_answer_turn_timer_->setSingleShot(true);
        data_->ptr_answer_turn_timer_->setInterval(0);
        connect(data_->ptr_answer_turn_timer_, &QTimer::timeout, this, [this] {
            data_->answer_turn_clock_.invalidate();
            if (!data_->pending_camera_answers_.empty())
                TakeCameraAnswers();
        });
    }
    if (!data_->ptr_answer_turn_timer_->isActive())
        data_->ptr_answer_turn_timer_->start();
}

void CVideoSearchController::DealCameraSearchState(const CameraParam &param)
{
    if (param.search_guid != data_->search_condition_.search_guid) {
        // Only the end of the search that a restart waits for matters from an older search. It
        // is normally its interruption; a search that finished just as the restart cancelled it
        // ends with "finished" instead, and the restart must not wait for an answer that never
        // comes.
        if (param.state_type == teskplaycontroller::CameraStateInterrupted ||
            (param.state_type == teskplaycontroller::CameraStateFinished &&
             data_->is_restart_search_))
            DealSearchInterrupted(param);
        return;
    }
    switch (param.state_type) {
    case teskplaycontroller::CameraStateFailed:
        DealSingleCameraSearchFailed(param);
        break;
    case teskplaycontroller::CameraStateDone:
        DealSingleCameraSearchSuccessed(param);
        break;
    case teskplaycontroller::CameraStateFinished:
        DealAllSearchFinished(param);
        break;
    case teskplaycontroller::CameraStateInterrupted:
        DealSearchInterrupted(param);
        break;
    default:
        break;
    }
}

void CVideoSearchController::OnUpdateVCASearchState(
    teskplaycontroller::CVCAIncrementalObserver::Param param)
{
    if (param.search_guid != data_->vca_condition_.search_guid) {
        if (param.state_type == teskplaycontroller::VCAStateNoticeA)
            emit SignalSearchResult(MakeEvent(ClipSearchOtherVcaNoticeA));
        else if (param.state_type == teskplaycontroller::VCAStateNoticeB)
            emit SignalSearchResult(MakeEvent(ClipSearchOtherVcaNoticeB));
        return;
    }
    switch (param.state_type) {
    case teskplaycontroller::VCAStateData:
        DealVCASearchSuccessed(param);
        break;
    case teskplaycontroller::VCAStateFailed:
        DealVCASearchFailed(param);
        break;
    case teskplaycontroller::VCAStateOverMaximum:
        DealVCAResultMoreThanMax(param);
        break;
    case teskplaycontroller::VCAStateFinished:
        DealVCASearchFinished(param);
        break;
    default:
        break;
    }
}

void CVideoSearchController::DealSingleCameraSearchSuccessed(const CameraParam &param)
{
    WriteOperationLog(param);
    const int search_type = static_cast<int>(param.search_type);
    if (!IsHandledSearchType(search_type))
        return;
    ClipSearchEvent event(param);
    SaveCommonVideoFiles(param);
    int count = 0;
    if (search_type == teskplaycontroller::VideoSearchRecord) {
        CCameraBaseInfo camera;
        camera.SetVal_camera_key(CResourceKey(param.resource_key));
        SplitOriginalFile(camera);
        count = data_->segment_files_.EntryCount();
    } else {
        count = GetSourceFileCount();
    }
    auto event_data = event.GetEventData();
    event_data.SetVal_current_data_num_(count);
    emit SignalSearchResult(event);
}

void CVideoSearchController::SaveCommonVideoFiles(const CameraParam &param)
{
    const auto &files = param.vc_data_result;
    if (files.empty())
        return;
    CResourceKey camera(param.resource_key);
    if (param.search_type == teskplaycontroller::VideoSearchRecord) {
        AddFileData(camera, PlaybackFileVector(files.begin(), files.end()));
        return;
    }
    int count = GetSourceFileCount();
    if (count >= kMaxStoredFiles)
        return;
    PlaybackFileVector taken;
    taken.reserve(std::min<int>(static_cast<int>(files.size()), kMaxStoredFiles - count));
    for (const auto &file : files) {
        if (count >= kMaxStoredFiles)
            break;
        taken.append(file);
        ++count;
    }
    AddFileData(camera, taken);
    if (static_cast<size_t>(taken.size()) == files.size())
        return;
    TESK_LOG_INFO("Clip search:stored files reached the limit %d, search cancelled",
                  kMaxStoredFiles);
    if (data_->ptr_camera_search_manager_)
        data_->ptr_camera_search_manager_->CancelSearching();
    ClipSearchEvent finished = MakeEvent(ClipSearchFinished);
    auto finished_data = finished.GetEventData();
    finished_data.SetVal_max_data(true);
    emit SignalSearchResult(finished);
}

void CVideoSearchController::AddFileData(CResourceKey &camera, const PlaybackFileVector &files)
{
    if (files.isEmpty())
        return;
    const ResourceKey &key = camera.GetData();
    const auto host_camera = CVideoSearchCommonPort::GetCameraInfo(key.site_id, key.resource_id);
    CCameraBaseInfo info;
    info.SetVal_camera_key(camera);
    info.SetVal_camera_name(ToQString(host_camera.GetName()));
    data_->camera_files_.Append(info, files);
}

int CVideoSearchController::GetSourceFileCount()
{
    return data_->camera_files_.FileCount();
}

void CVideoSearchController::DealAllSearchFinished(const CameraParam &)
{
    emit SignalSearchResult(MakeEvent(ClipSearchFinished));
}

void CVideoSearchController::DealSearchInterrupted(const CameraParam &)
{
    if (!data_->is_restart_search_.exchange(false))
        return;
    TESK_LOG_INFO("Clip search: search type:%d, event_type:%d",
                  static_cast<int>(data_->search_condition_.search_type),
                  data_->search_condition_.event_type);
    if (!data_->ptr_camera_search_manager_ ||
        !data_->ptr_camera_search_manager_->SearchCameraFiles(data_->search_condition_)) {
        TESK_LOG_ERROR("Clip search:restart of search %s refused",
                       data_->search_condition_.search_guid.c_str());
        emit SignalSearchResult(MakeEvent(ClipSearchFinished));
    }
}

void CVideoSearchController::DealVCASearchSuccessed(const VCAParam &param)
{
    WriteVCAOperationLog(param);
    CResourceKey camera(param.resource_key);
    AddFileData(camera,
                PlaybackFileVector(param.vc_data_result.begin(), param.vc_data_result.end()));
    ClipSearchEvent event(param);
    auto event_data = event.GetEventData();
    event_data.SetVal_current_data_num_(GetSourceFileCount());
    event_data.SetVal_vca_currentsearch_mediatype(
        static_cast<ResourceData::StorageMediaType>(param.vca_storage_mediatype));
    emit SignalSearchResult(event);

    if (!data_->ptr_vca_timer_) {
        data_->ptr_vca_timer_ = new QTimer(this);
        data_->ptr_vca_timer_->setSingleShot(false);
        data_->ptr_vca_timer_->setInterval(0);
        connect(data_->ptr_vca_timer_, &QTimer::timeout, this,
                &CVideoSearchController::OnTimerCircleGetSearchData);
    }
    data_->ptr_vca_timer_->start();
}

bool CVideoSearchController::PullVCABatch(int batch_size)
{
    teskplaycontroller::VCAIncrementalCondition condition;
    teskplaycontroller::PlaybackFileList files;
    data_->ptr_vca_manager_->GetManagerSearchData(condition, files, batch_size);
    if (files.empty() || condition.camera_id.empty() ||
        condition.search_number != data_->vca_condition_.search_number)
        return false;
    CResourceKey camera;
    camera.SetVal_resource_id(condition.camera_id);
    camera.SetVal_site_id(condition.site_id);
    AddFileData(camera, PlaybackFileVector(files.begin(), files.end()));
    ClipSearchEvent event = MakeEvent(ClipSearchDataArrived);
    auto event_data = event.GetEventData();
    event_data.SetVal_current_data_num_(GetSourceFileCount());
    emit SignalSearchResult(event);
    return true;
}

void CVideoSearchController::OnTimerCircleGetSearchData()
{
    if (!data_->ptr_vca_manager_)
        return;
    auto batch_size = [this] {
        return GetSourceFileCount() < kVCASmallBatchLimit ? kVCASmallBatch : -1;
    };
    if (!data_->is_vca_search_end_) {
        PullVCABatch(batch_size());
        return;
    }
    for (;;) {
        const int size = batch_size();
        if (!PullVCABatch(size) || size == -1)
            break;
    }
    StopVCATimer();
    ClipSearchEvent finished = MakeEvent(ClipSearchFinished);
    auto finished_data = finished.GetEventData();
    finished_data.SetVal_vca_config(data_->is_vca_config_);
    finished_data.SetVal_support_vca_config(data_->is_support_vca_config_);
    emit SignalSearchResult(finished);
}

void CVideoSearchController::StopVCATimer()
{
    if (data_->ptr_vca_timer_ && data_->ptr_vca_timer_->isActive())
        data_->ptr_vca_timer_->stop();
}

void CVideoSearchController::DealVCASearchFinished(const VCAParam &param)
{
    if (data_->ptr_vca_timer_ && data_->ptr_vca_timer_->isActive()) {
        data_->is_vca_search_end_ = true;
        data_->is_support_vca_config_ = param.support_vca_configed;
        data_->is_vca_config_ = param.vca_configed;
        return;
    }
    ClipSearchEvent finished(param);
    auto finished_data = finished.GetEventData();
    finished_data.SetVal_vca_config(param.vca_configed);
    finished_data.SetVal_support_vca_config(param.support_vca_configed);
    emit SignalSearchResult(finished);
}

void CVideoSearchController::DealVCAResultMoreThanMax(const VCAParam &param)
{
    if (!data_->ptr_vca_timer_ || !data_->ptr_vca_timer_->isActive())
        return;
    data_->ptr_vca_timer_->stop();
    CResourceKey camera(param.resource_key);
    AddFileData(camera,
                PlaybackFileVector(param.vc_data_result.begin(), param.vc_data_result.end()));
    ClipSearchEvent progress = MakeEvent(ClipSearchDataArrived);
    auto progress_data = progress.GetEventData();
    progress_data.SetVal_current_data_num_(GetSourceFileCount());
    emit SignalSearchResult(progress);

    ClipSearchEvent finished = MakeEvent(ClipSearchFinished);
    auto finished_data = finished.GetEventData();
    finished_data.SetVal_max_data(true);
    emit SignalSearchResult(finished);
}

void CVideoSearchController::DealVCASearchFailed(const VCAParam &param)
{
    StopVCATimer();
    ClipSearchEvent event(param);
    auto event_data = event.GetEventData();
    if (param.vca_event_type == teskplaycontroller::InteligentEventNone)
        event_data.SetVal_current_data_num_(GetSourceFileCount());
    if (ReportVCASearchFailure(param, event_data))
        emit SignalSearchResult(event);
}

int CVideoSearchController::GetTotalFileNum(const VideoDataType &type,
                                            const QVector<CResourceKey> &cameras)
{
    if (cameras.isEmpty() || type < RegularVideo || type > VcaSearchVideo)
        return 0;
    // The pages name their cameras as a request's plain keys; so do the queries.
    QVector<ResourceKey> keys;
    keys.reserve(cameras.size());
    for (const CResourceKey &camera : cameras)
        keys.append(camera.GetData());
    const CKindRule rule = CKindRule::UnderCondition(type, data_->search_condition_);
    if (type == RegularVideo) {
        return data_->store_queries_.Count(CStoreQueries::SegmentStore,
                                           data_->segment_files_.Snapshot(), rule, keys);
    }
    return data_->store_queries_.Count(CStoreQueries::FileStore, data_->camera_files_.Snapshot(),
                                       rule, keys);
}

int CVideoSearchController::GetSingleCameraFilesNum(const VideoDataType &type, CResourceKey &camera)
{
    if (!data_->custom_split_info_.qvc_playback_files.isEmpty())
        return data_->qvc_custom_split_files_.size();
    return GetTotalFileNum(type, QVector<CResourceKey>{camera});
}

void CVideoSearchController::GetVCAPersonOrVehicleFileNum(int &person, int &vehicle)
{
    person = 0;
    vehicle = 0;
    const StoreSnapshot store = data_->camera_files_.Snapshot();
    for (const CameraFilesEntry &entry : store.rows) {
        for (const PlaybackFilePtr &file : entry.second) {
            if (!file)
                continue;
            switch (file->GetEventType()) {
            case CPlaybackFile::EventPerson:
                ++person;
                break;
            case CPlaybackFile::EventVehicle:
                ++vehicle;
                break;
            case CPlaybackFile::EventPersonVehicle:
                ++person;
                ++vehicle;
                break;
            default:
                break;
            }
        }
    }
}

void CVideoSearchController::GetVCAIsPersonIsVehicleFileNum(int &both)
{
    both = 0;
    const StoreSnapshot store = data_->camera_files_.Snapshot();
    for (const CameraFilesEntry &entry : store.rows) {
        for (const PlaybackFilePtr &file : entry.second)
            both += file && file->GetEventType() == CPlaybackFile::EventPersonVehicle ? 1 : 0;
    }
}

void CVideoSearchController::DeleteUnLabelFile(CResourceKey &camera, const int64_t &begin,
                                               const int64_t &end)
{
    data_->camera_files_.RemoveFiles(camera.GetData(), [&](const PlaybackFilePtr &file) {
        return file && file->GetFileBegTime() == begin && file->GetFileEndTime() == end;
    });
}

void CVideoSearchController::DeleteUnlockFile(CResourceKey &camera, const int64_t &begin,
                                              const int64_t &end)
{
    data_->camera_files_.RemoveFiles(camera.GetData(), [&](const PlaybackFilePtr &file) {
        return IsOverlapTime(file, begin, end);
    });
}

ResourceData::OrlVideoSearchType
CVideoSearchController::SwitchSearchType(const teskplaycontroller::VideoSearchType &type)
{
    switch (type) {
    case teskplaycontroller::VideoSearchTag:
        return ResourceData::OrlVideoSearchTag;
    case teskplaycontroller::VideoSearchLock:
        return ResourceData::OrlVideoSearchLock;
    default:
        return ResourceData::OrlVideoSearchNormal;
    }
}

} // namespace TeskVideoSearch
