#pragma once

#include "TeskVideoSearchExport.h"
#include "pluginmanager/TimeLapseService.h"
#include "quorbase/Error.h"
#include "timelapse/TimeLapseTypes.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

namespace TeskVideoSearch {

class CPictureCompressionVideo;
class DeviceGenerateTimeLapse;

struct TimeLapsePhotoControllerData
{
    CPictureCompressionVideo *ptr_picture_compression_ = nullptr;
    DeviceGenerateTimeLapse *ptr_device_generate_ = nullptr;
    std::atomic<int> generate_mode_{0};
    OrlPluginManager::TimeLapsePhotoReponseParam response_param_;
    OrlPluginManager::TimeLapsePhotoRequestParam request_param_;
    std::atomic<bool> is_paused_{false};
    std::atomic<bool> is_task_wrong_{false};
    std::atomic<bool> is_step_done_{false};
    std::atomic<int> task_state_{TaskWaiting};
    std::atomic<bool> is_worker_done_{false};
    // Set when the manager dropped the task (a resubmission of its guid): it reports nothing.
    std::atomic<bool> is_released_{false};
    // Guards response_param_, which the worker fills and the host's error query reads.
    std::mutex response_mutex_;
};

// Carries out one time-lapse task: capture-plan pictures compressed into an MP4 (mode 0), or a
// device-built video downloaded (mode 1). Steps run on Qt's global thread pool; pausing blocks
// the caller until the worker has acknowledged through the atomic flags. Held by
// std::shared_ptr: a running step keeps its controller alive.
class TESKVIDEOSEARCH_EXPORT CTimeLapsePhotoController
    : public QObject,
      public std::enable_shared_from_this<CTimeLapsePhotoController>
{
    Q_OBJECT
public:
    explicit CTimeLapsePhotoController(
        const OrlPluginManager::CTimeLapsePhotoRequestParam &request);
    ~CTimeLapsePhotoController() override;

    void StartTask();
    void PauseTask(bool is_pause);
    void SetPaused(bool is_paused);
    bool IsPaused() const;
    TimeLapseTaskState GetTaskState() const;
    int64_t GetFileSize() const;
    int GetPercentage() const;
    Quor::Base::Error::ErrorCode GetErrorCode() const;
    OrlPluginManager::CTimeLapsePhotoRequestParam GetRequestParam() const;
    // Stops the task for good, as a pause does, and keeps it from reporting anything after;
    // a failure held back by an earlier pause is dropped.
    void Release();

signals:
    void SignalTimeLapseGenerate(bool is_continue_task);

public slots:
    void OnSetTaskResult(bool is_result);

private:
    void CapturePlanTaskStart();
    void DeviceGenerateTaskStart();
    void CapturePlanPause(bool is_pause);
    void DeviceGeneratePause(bool is_pause);
    bool TaskPauseStartJudge();
    void TaskFaliedIsPaused();
    void WaitStepDone(bool is_pause);
    void CapturePlanStep();
    void ConversionRerun();
    // False when the task was released and nothing was reported.
    bool ReportResult(bool is_success);
    void DeleteVideoFile(const char *extension) const;
    void SetResponse(const OrlPluginManager::TimeLapsePhotoReponseParam &response);
    OrlPluginManager::TimeLapsePhotoReponseParam Response() const;
    template<class Step>
    void RunOnPool(Step step);

    std::shared_ptr<TimeLapsePhotoControllerData> d_;
};

} // namespace TeskVideoSearch
