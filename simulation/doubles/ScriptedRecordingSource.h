#pragma once

#include "playcontroller/RecordingSource.h"

#include <QColor>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace teskplaycontroller {

// A recording source that answers from scripts, for tests and benchmarks. Each camera has a
// scripted answer (files or a failure); a hold point makes a call wait until the test releases
// it, and the test can wait until a call has reached it. Thread-safe.
class CScriptedRecordingSource : public IRecordingSource
{
public:
    // A VCA search: the pushes in order, then the final state (6 finished, 5 more than the
    // maximum, 2 failed; 0 ends without one). `foreign_states` (7, 8 of another search, with
    // their own guid) are reported before the first push.
    struct VCAScript
    {
        std::vector<PlaybackFileList> pushes;
        std::vector<CVCAIncrementalObserver::Param> foreign_states;
        CVCAIncrementalObserver::Param final_param = FinalParam(VCAStateFinished);

        static CVCAIncrementalObserver::Param FinalParam(int state)
        {
            CVCAIncrementalObserver::Param param;
            param.state_type = state;
            return param;
        }
    };

    // Hold points of the VCA search: before the first push and before the final state.
    static constexpr const char *kVCABeforeFirstPush = "vca:before-first-push";
    static constexpr const char *kVCABeforeFinal = "vca:before-final";
    static std::string CameraHoldPoint(const std::string &site_id, const std::string &camera_id);
    // Hold points of tag and lock requests, before they claim their commit.
    static constexpr const char *kLabelChange = "change:label";
    static constexpr const char *kLockChange = "change:lock";

    // Cameras without a script answer with no files. Files are answered from the storage the
    // search names for the camera.
    void SetCameraFiles(const std::string &site_id, const std::string &camera_id,
                        const PlaybackFileList &files);
    // Any answer, a failure in particular; its storage pair is taken as given.
    void SetCameraAnswer(const std::string &site_id, const std::string &camera_id,
                         const CameraSearchAnswer &answer);
    void ClearScripts();

    void SetVCAScript(const VCAScript &script);

    // How tag and lock requests are answered: success (the default), or a failure with `error`.
    void SetChangeAnswer(bool ok, const std::string &error = {});
    // Tag and lock requests that claimed their commit, in order.
    int CommittedChangeCount() const;

    // Makes the next call that reaches `point` wait until Release. A hold that `survives_cancel`
    // ignores the caller's cancel, so its answer arrives late, after the caller moved on.
    void AddHold(const std::string &point, bool survives_cancel = false);
    // True once a call waits at `point`.
    bool WaitUntilHeld(const std::string &point,
                       std::chrono::milliseconds timeout = std::chrono::seconds(10));
    void Release(const std::string &point);
    void ReleaseAll();

    // The cameras searched so far as (search guid, camera id), in call order.
    std::vector<std::pair<std::string, std::string>> SearchedCameras() const;
    int VCASearchCount() const;

    // The colour DecodeFrame paints for the camera's recordings.
    void SetFrameColour(const QColor &colour);

    CameraSearchAnswer SearchCamera(const CameraVideoSearchCondition &condition,
                                    const TeskCameraInfo &camera,
                                    const std::atomic<bool> &cancelled) override;
    void SearchVCA(const VCAIncrementalCondition &condition, IVCAResultSink &sink,
                   const std::atomic<bool> &cancelled) override;
    bool DecodeFrame(const ResourceKey &camera, int64_t t, QImage &out,
                     std::string &error) override;
    bool OperateLabel(const OperatLabelParam &param, CChangeClaim &claim,
                      std::string &error) override;
    bool LockAndUnlockRecord(const LockRecordFileParam &param, CChangeClaim &claim,
                             std::string &error) override;

private:
    bool AnswerChange(const char *hold_point, CChangeClaim &claim, std::string &error);

    struct Hold
    {
        bool armed = false;
        bool reached = false;
        bool released = false;
        bool survives_cancel = false;
    };

    // Waits at an armed hold; false when the wait ended by the caller's cancel.
    bool PassHold(const std::string &point, const std::atomic<bool> &cancelled);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    struct CameraScript
    {
        CameraSearchAnswer answer;
        bool storage_from_search = true;
    };
    std::map<std::pair<std::string, std::string>, CameraScript> answers_;
    std::map<std::string, Hold> holds_;
    VCAScript vca_script_;
    std::vector<std::pair<std::string, std::string>> searched_;
    int vca_searches_ = 0;
    bool change_ok_ = true;
    std::string change_error_;
    int committed_changes_ = 0;
    QColor colour_ = QColor(40, 120, 200);
};

} // namespace teskplaycontroller
