#include "ScriptedRecordingSource.h"

namespace teskplaycontroller {

namespace {
// How often a hold looks at the caller's cancel flag, which cannot wake a condition variable.
constexpr auto kCancelPoll = std::chrono::milliseconds(2);
} // namespace

std::string CScriptedRecordingSource::CameraHoldPoint(const std::string &site_id,
                                                      const std::string &camera_id)
{
    return "camera:" + site_id + "/" + camera_id;
}

void CScriptedRecordingSource::SetCameraFiles(const std::string &site_id,
                                              const std::string &camera_id,
                                              const PlaybackFileList &files)
{
    CameraScript script;
    script.answer.files = files;
    std::lock_guard<std::mutex> lock(mutex_);
    answers_[{site_id, camera_id}] = std::move(script);
}

void CScriptedRecordingSource::SetCameraAnswer(const std::string &site_id,
                                               const std::string &camera_id,
                                               const CameraSearchAnswer &answer)
{
    std::lock_guard<std::mutex> lock(mutex_);
    answers_[{site_id, camera_id}] = CameraScript{answer, false};
}

void CScriptedRecordingSource::ClearScripts()
{
    std::lock_guard<std::mutex> lock(mutex_);
    answers_.clear();
    vca_script_ = VCAScript();
    searched_.clear();
    vca_searches_ = 0;
    change_ok_ = true;
    change_error_.clear();
    committed_changes_ = 0;
}

void CScriptedRecordingSource::SetVCAScript(const VCAScript &script)
{
    std::lock_guard<std::mutex> lock(mutex_);
    vca_script_ = script;
}

void CScriptedRecordingSource::AddHold(const std::string &point, bool survives_cancel)
{
    std::lock_guard<std::mutex> lock(mutex_);
    Hold &hold = holds_[point];
    hold = Hold();
    hold.armed = true;
    hold.survives_cancel = survives_cancel;
}

bool CScriptedRecordingSource::WaitUntilHeld(const std::string &point,
                                             std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] {
        auto it = holds_.find(point);
        return it != holds_.end() && it->second.reached;
    });
}

void CScriptedRecordingSource::Release(const std::string &point)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = holds_.find(point);
        if (it == holds_.end())
            return;
        it->second.released = true;
        it->second.armed = false;
    }
    changed_.notify_all();
}

void CScriptedRecordingSource::ReleaseAll()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto &entry : holds_) {
            entry.second.released = true;
            entry.second.armed = false;
        }
    }
    changed_.notify_all();
}

std::vector<std::pair<std::string, std::string>> CScriptedRecordingSource::SearchedCameras() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return searched_;
}

int CScriptedRecordingSource::VCASearchCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return vca_searches_;
}

void CScriptedRecordingSource::SetFrameColour(const QColor &colour)
{
    std::lock_guard<std::mutex> lock(mutex_);
    colour_ = colour;
}

void CScriptedRecordingSource::SetChangeAnswer(bool ok, const std::string &error)
{
    std::lock_guard<std::mutex> lock(mutex_);
    change_ok_ = ok;
    change_error_ = error;
}

int CScriptedRecordingSource::CommittedChangeCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return committed_changes_;
}

bool CScriptedRecordingSource::OperateLabel(const OperatLabelParam &, CChangeClaim &claim,
                                            std::string &error)
{
    return AnswerChange(kLabelChange, claim, error);
}

bool CScriptedRecordingSource::LockAndUnlockRecord(const LockRecordFileParam &, CChangeClaim &claim,
                                                   std::string &error)
{
    return AnswerChange(kLockChange, claim, error);
}

bool CScriptedRecordingSource::AnswerChange(const char *hold_point, CChangeClaim &claim,
                                            std::string &error)
{
    static const std::atomic<bool> never{false};
    PassHold(hold_point, never);
    std::lock_guard<std::mutex> lock(mutex_);
    if (!change_ok_) {
        error = change_error_;
        return false;
    }
    if (!claim.ClaimCommit()) {
        error = "abandoned after the deadline";
        return false;
    }
    ++committed_changes_;
    return true;
}

bool CScriptedRecordingSource::PassHold(const std::string &point,
                                        const std::atomic<bool> &cancelled)
{
    std::unique_lock<std::mutex> lock(mutex_);
    auto it = holds_.find(point);
    if (it == holds_.end() || !it->second.armed)
        return true;
    it->second.reached = true;
    changed_.notify_all();
    for (;;) {
        Hold &hold = holds_[point];
        if (hold.released) {
            hold = Hold();
            return true;
        }
        if (!hold.survives_cancel && cancelled.load()) {
            hold = Hold();
            return false;
        }
        changed_.wait_for(lock, kCancelPoll);
    }
}

CameraSearchAnswer
CScriptedRecordingSource::SearchCamera(const CameraVideoSearchCondition &condition,
                                       const TeskCameraInfo &camera,
                                       const std::atomic<bool> &cancelled)
{
    const std::string camera_id =
        camera.ptr_camera_for_play ? camera.ptr_camera_for_play->GetCameraID() : std::string();
    const std::string site_id =
        camera.ptr_camera_for_play ? camera.ptr_camera_for_play->GetSiteID() : std::string();
    CameraSearchAnswer answer;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        searched_.emplace_back(condition.search_guid, camera_id);
        auto it = answers_.find({site_id, camera_id});
        if (it != answers_.end())
            answer = it->second.answer;
        if (it == answers_.end() || it->second.storage_from_search)
            answer.pair_storage_info = camera.pair_storage_info;
    }
    if (!PassHold(CameraHoldPoint(site_id, camera_id), cancelled)) {
        CameraSearchAnswer interrupted;
        interrupted.interrupted = true;
        return interrupted;
    }
    return answer;
}

void CScriptedRecordingSource::SearchVCA(const VCAIncrementalCondition &condition,
                                         IVCAResultSink &sink, const std::atomic<bool> &cancelled)
{
    VCAScript script;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++vca_searches_;
        script = vca_script_;
    }
    for (const auto &foreign : script.foreign_states) {
        if (cancelled.load())
            return;
        sink.ReportState(foreign);
    }
    if (!PassHold(kVCABeforeFirstPush, cancelled))
        return;
    for (const PlaybackFileList &push : script.pushes) {
        if (cancelled.load())
            return;
        sink.PushResults(push);
    }
    if (!PassHold(kVCABeforeFinal, cancelled) || cancelled.load())
        return;
    if (script.final_param.state_type != 0) {
        CVCAIncrementalObserver::Param final_param = script.final_param;
        if (final_param.search_guid.empty())
            final_param.search_guid = condition.search_guid;
        sink.ReportState(final_param);
    }
}

bool CScriptedRecordingSource::DecodeFrame(const ResourceKey &camera, int64_t t, QImage &out,
                                           std::string &error)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = answers_.find({camera.site_id, camera.resource_id});
    if (it != answers_.end() && !it->second.answer.failed) {
        for (const auto &file : it->second.answer.files) {
            if (file && t >= file->GetFileBegTime() && t <= file->GetFileEndTime()) {
                out = QImage(320, 180, QImage::Format_RGB32);
                out.fill(colour_);
                return true;
            }
        }
    }
    error = "No recording of camera " + camera.resource_id + " covers time " + std::to_string(t);
    return false;
}

} // namespace teskplaycontroller
