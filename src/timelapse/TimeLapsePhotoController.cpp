#include "TimeLapsePhotoController.h"

#include "mirelog/Log.h"
#include "pluginmanager/PluginManager.h"
#include "quorbase/Util.h"
#include "timelapse/DeviceGenerateTimeLapse.h"
#include "timelapse/PictureCompressionVideo.h"
#include "timelapse/TimeLapsePhotoManager.h"
#include "timelapse/TimeLapsePool.h"

#include <chrono>
#include <thread>

namespace TeskVideoSearch {

using namespace OrlPluginManager;

namespace {

void WaitFor(const std::atomic<bool> &flag)
{
    while (!flag)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

} // namespace

CTimeLapsePhotoController::CTimeLapsePhotoController(const CTimeLapsePhotoRequestParam &request)
    : d_(std::make_shared<TimeLapsePhotoControllerData>())
{
    d_->request_param_ = request.GetData();
    d_->ptr_picture_compression_ = new CPictureCompressionVideo();
    d_->ptr_device_generate_ = new DeviceGenerateTimeLapse(this);
    connect(d_->ptr_device_generate_, &DeviceGenerateTimeLapse::SignalExportResult, this,
            &CTimeLapsePhotoController::OnSetTaskResult, Qt::DirectConnection);
}

CTimeLapsePhotoController::~CTimeLapsePhotoController()
{
    delete d_->ptr_device_generate_;
    d_->ptr_device_generate_ = nullptr;
    delete d_->ptr_picture_compression_;
    d_->ptr_picture_compression_ = nullptr;
    TESK_LOG_INFO("time-lapse controller of %s deleted", d_->request_param_.guid.c_str());
}

// Runs a step on the global pool; the step keeps the controller alive while it runs.
template<class Step>
void CTimeLapsePhotoController::RunOnPool(Step step)
{
    std::shared_ptr<CTimeLapsePhotoController> self = weak_from_this().lock();
    RunOnGlobalPool([self, step]() { step(); });
}

void CTimeLapsePhotoController::StartTask()
{
    d_->task_state_ = TaskRunning;
    const int mode = d_->request_param_.generate_mode;
    // Known before the step is queued, so that a pause arriving first takes the right branch
    // and waits for the worker.
    d_->generate_mode_ = mode;
    if (mode == 0) {
        d_->is_worker_done_ = false;
        RunOnPool([this]() { CapturePlanStep(); });
    } else if (mode == 1) {
        RunOnPool([this]() { DeviceGenerateTaskStart(); });
    }
}

// The capture-plan worker from the download on; a pause that came before the worker ran leaves
// the whole step to the resume.
void CTimeLapsePhotoController::CapturePlanStep()
{
    if (d_->is_paused_)
        d_->is_step_done_ = true;
    else
        CapturePlanTaskStart();
    d_->is_worker_done_ = true;
}

void CTimeLapsePhotoController::CapturePlanTaskStart()
{
    d_->is_step_done_ = false;
    d_->generate_mode_ = d_->request_param_.generate_mode;
    TimeLapsePhotoReponseParam response = Response();
    const bool downloaded =
        d_->ptr_picture_compression_->DownLoadImage(d_->request_param_, response);
    SetResponse(response);
    if (!downloaded) {
        d_->ptr_picture_compression_->DeletePictures();
        TaskFaliedIsPaused();
        d_->is_step_done_ = true;
        return;
    }
    d_->is_step_done_ = true;
    DeleteVideoFile(".mp4");
    if (d_->is_paused_)
        return;
    int error = 0;
    const bool converted = d_->ptr_picture_compression_->StartPicConver(
        d_->request_param_.file_path, d_->request_param_.file_name, error);
    response.error_code = error;
    SetResponse(response);
    if (!converted) {
        d_->ptr_picture_compression_->DeletePictures();
        TaskFaliedIsPaused();
        return;
    }
    TESK_LOG_INFO("CapturePlanTaskStart is_paused_ %d", d_->is_paused_.load());
    if (!d_->is_paused_ && ReportResult(true))
        TESK_LOG_INFO("CapturePlanTaskStart reports the task result, guid %s",
                      d_->request_param_.guid.c_str());
}

void CTimeLapsePhotoController::DeviceGenerateTaskStart()
{
    d_->is_step_done_ = false;
    d_->generate_mode_ = d_->request_param_.generate_mode;
    TimeLapsePhotoReponseParam response = Response();
    const bool ok = d_->ptr_device_generate_->SetDeviceGeneratFile(d_->request_param_, response);
    SetResponse(response);
    if (!ok)
        TaskFaliedIsPaused();
    d_->is_step_done_ = true;
}

void CTimeLapsePhotoController::OnSetTaskResult(bool is_result)
{
    const std::string &guid = d_->request_param_.guid;
    if (!ReportResult(is_result))
        return;
    if (is_result)
        TESK_LOG_INFO("successful task result reported, guid %s", guid.c_str());
    else
        TESK_LOG_INFO("failed task result reported, guid %s", guid.c_str());
}

bool CTimeLapsePhotoController::ReportResult(bool is_success)
{
    d_->task_state_ = TaskFinished;
    if (d_->is_released_) {
        TESK_LOG_INFO("released task ended without a report, guid %s",
                      d_->request_param_.guid.c_str());
        return false;
    }
    CTimeLapsePhotoManager::Instance().OnControllerResults(this, is_success,
                                                           d_->request_param_.guid);
    return true;
}

void CTimeLapsePhotoController::TaskFaliedIsPaused()
{
    if (d_->is_paused_) {
        TESK_LOG_INFO("is_task_wrong_ guid %s", d_->request_param_.guid.c_str());
        d_->is_task_wrong_ = true;
        return;
    }
    if (ReportResult(false))
        TESK_LOG_INFO("failed task result reported, guid %s", d_->request_param_.guid.c_str());
}

bool CTimeLapsePhotoController::TaskPauseStartJudge()
{
    if (!d_->is_task_wrong_)
        return true;
    RunOnPool([this]() {
        if (ReportResult(false))
            TESK_LOG_INFO("failed task result reported,  guid %s", d_->request_param_.guid.c_str());
    });
    return false;
}

void CTimeLapsePhotoController::PauseTask(bool is_pause)
{
    // A reported task stays finished: a pause racing with the result must not revive it.
    int state = d_->task_state_;
    do {
        if (state == TaskFinished)
            return;
    } while (!d_->task_state_.compare_exchange_weak(state, is_pause ? TaskPaused : TaskResumed));
    switch (d_->generate_mode_) {
    case 0:
        CapturePlanPause(is_pause);
        break;
    case 1:
        DeviceGeneratePause(is_pause);
        break;
    default:
        break;
    }
}

void CTimeLapsePhotoController::WaitStepDone(bool is_pause)
{
    if (d_->generate_mode_ == 0) {
        bool asked = false;
        while (!d_->is_step_done_) {
            if (!asked) {
                CResourceBusinessInterfaceMgr::Instance().SetTimeLapseTaskDelete(is_pause);
                asked = true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        d_->ptr_picture_compression_->SetKeepInfo(is_pause);
    } else if (d_->generate_mode_ == 1) {
        bool asked = false;
        while (!d_->is_step_done_) {
            if (!asked) {
                d_->ptr_device_generate_->SetStopPolling(is_pause);
                asked = true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
}

void CTimeLapsePhotoController::CapturePlanPause(bool is_pause)
{
    d_->is_paused_ = is_pause;
    d_->ptr_picture_compression_->SetStop(is_pause);
    TESK_LOG_INFO("CapturePlanPause start, is_pause %d, guid %s", is_pause,
                  d_->request_param_.guid.c_str());
    if (!TaskPauseStartJudge())
        return;
    if (is_pause) {
        if (!d_->is_step_done_)
            WaitStepDone(true);
        // Also after an aborted download: the worker reads is_paused_ once more after it, and a
        // resume deferred by the manager may clear the flag before it does. A worker left
        // running then would convert and report a task that the manager holds as paused.
        WaitFor(d_->is_worker_done_);
    } else {
        // Marked busy before the step is queued, so that a pause arriving first waits for it.
        d_->is_worker_done_ = false;
        if (!d_->ptr_picture_compression_->IsConvertBegun()) {
            d_->is_step_done_ = false;
            RunOnPool([this]() { CapturePlanStep(); });
        } else {
            RunOnPool([this]() { ConversionRerun(); });
        }
    }
    TESK_LOG_INFO("CapturePlanPause end is_pause %d, guid %s", is_pause,
                  d_->request_param_.guid.c_str());
}

void CTimeLapsePhotoController::ConversionRerun()
{
    d_->is_worker_done_ = false;
    DeleteVideoFile(".mp4");
    int error = 0;
    const bool converted = d_->ptr_picture_compression_->StartPicConver(
        d_->request_param_.file_path, d_->request_param_.file_name, error);
    if (converted && !d_->is_paused_) {
        d_->ptr_picture_compression_->DeletePictures();
        TESK_LOG_INFO("CapturePlanPause is_paused_ %d", d_->is_paused_.load());
        if (ReportResult(true))
            TESK_LOG_INFO("conversion rerun reports the task result, guid %s",
                          d_->request_param_.guid.c_str());
    } else if (!converted) {
        TimeLapsePhotoReponseParam response = Response();
        response.error_code = error;
        SetResponse(response);
        d_->ptr_picture_compression_->DeletePictures();
        TaskFaliedIsPaused();
    }
    d_->is_worker_done_ = true;
}

void CTimeLapsePhotoController::DeviceGeneratePause(bool is_pause)
{
    DeviceGenerateTimeLapse *generator = d_->ptr_device_generate_;
    d_->is_paused_ = is_pause;
    generator->SetPauseBeforeStream(is_pause);
    if (!TaskPauseStartJudge())
        return;
    if (is_pause) {
        if (generator->GetDevicePosition() == GetStreamFileCreatingPaused) {
            generator->StopDownload();
            while (!generator->IsStreamStopped())
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        if (!d_->is_step_done_)
            WaitStepDone(true);
        return;
    }
    switch (generator->GetDevicePosition()) {
    case GetStreamBeforePaused:
        RunOnPool([this, generator]() {
            if (!generator->StartDownLoadStreamFile()) {
                TaskFaliedIsPaused();
                TESK_LOG_ERROR("DevicePausePosition::GetStreamBeforePaused == "
                               "ptr_device_generate_->GetDevicePosition()");
            }
        });
        break;
    case GetStreamFileCreatingPaused:
        DeleteVideoFile(".mp4");
        DeleteVideoFile(".jpg");
        RunOnPool([this, generator]() {
            if (!generator->StartDownLoadStreamFile()) {
                TaskFaliedIsPaused();
                TESK_LOG_ERROR("DevicePausePosition::GetStreamFileCreatingPaused == "
                               "ptr_device_generate_->GetDevicePosition() is Failed");
            }
        });
        break;
    case DeviceFileCreatingPaused:
        // Marked busy before the step is queued, so that a pause arriving first waits for it.
        d_->is_step_done_ = false;
        RunOnPool([this, generator]() {
            d_->is_step_done_ = false;
            if (!d_->is_paused_) {
                generator->SetStopPolling(false);
                TimeLapsePhotoReponseParam response = Response();
                const bool ok = generator->GetDeviceProgresSever(response.module_error_code,
                                                                 response.error_code);
                SetResponse(response);
                if (!ok) {
                    TaskFaliedIsPaused();
                    TESK_LOG_ERROR("GetDeviceProgresSever is Failed");
                }
            }
            d_->is_step_done_ = true;
        });
        break;
    default:
        break;
    }
}

void CTimeLapsePhotoController::Release()
{
    d_->is_released_ = true;
    const int state = d_->task_state_;
    if (state == TaskRunning || state == TaskResumed || state == TaskPaused) {
        d_->is_paused_ = true;
        PauseTask(true);
    }
}

void CTimeLapsePhotoController::SetPaused(bool is_paused)
{
    d_->is_paused_ = is_paused;
}

bool CTimeLapsePhotoController::IsPaused() const
{
    return d_->is_paused_;
}

TimeLapseTaskState CTimeLapsePhotoController::GetTaskState() const
{
    return static_cast<TimeLapseTaskState>(d_->task_state_.load());
}

int64_t CTimeLapsePhotoController::GetFileSize() const
{
    switch (d_->generate_mode_) {
    case 0:
        return d_->ptr_picture_compression_ ? d_->ptr_picture_compression_->GetFileSize() : 0;
    case 1:
        return d_->ptr_device_generate_ ? d_->ptr_device_generate_->GetFileSize() : 0;
    default:
        return 0;
    }
}

int CTimeLapsePhotoController::GetPercentage() const
{
    return d_->ptr_device_generate_ ? d_->ptr_device_generate_->GetPercentage() : 0;
}

Quor::Base::Error::ErrorCode CTimeLapsePhotoController::GetErrorCode() const
{
    const TimeLapsePhotoReponseParam response = Response();
    switch (d_->generate_mode_) {
    case 0:
        return {response.module_error_code, response.error_code};
    case 1:
        if (!d_->ptr_device_generate_)
            return {};
        if (d_->ptr_device_generate_->GetDevicePosition() != DevicePositionNone)
            return d_->ptr_device_generate_->GetErrorCode();
        return {response.module_error_code, response.error_code};
    default:
        return {};
    }
}

CTimeLapsePhotoRequestParam CTimeLapsePhotoController::GetRequestParam() const
{
    return CTimeLapsePhotoRequestParam(d_->request_param_);
}

void CTimeLapsePhotoController::DeleteVideoFile(const char *extension) const
{
    const std::string path =
        d_->request_param_.file_path + "/" + d_->request_param_.file_name + extension;
    Quor::Base::FileSystem::DeleteFileW(path.c_str());
}

void CTimeLapsePhotoController::SetResponse(const TimeLapsePhotoReponseParam &response)
{
    std::lock_guard<std::mutex> lock(d_->response_mutex_);
    d_->response_param_ = response;
}

TimeLapsePhotoReponseParam CTimeLapsePhotoController::Response() const
{
    std::lock_guard<std::mutex> lock(d_->response_mutex_);
    return d_->response_param_;
}

} // namespace TeskVideoSearch
