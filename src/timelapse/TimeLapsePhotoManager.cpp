#include "TimeLapsePhotoManager.h"

#include "mirelog/Log.h"
#include "timelapse/TimeLapsePhotoController.h"
#include "timelapse/TimeLapsePool.h"

#include <QEvent>

namespace TeskVideoSearch {

namespace {

bool IsRunningState(TimeLapseTaskState state)
{
    return state == TaskRunning || state == TaskResumed;
}

} // namespace

CTimeLapsePhotoManager::CTimeLapsePhotoManager()
    : d_(std::make_shared<TimeLapsePhotoManagerData>())
{}

CTimeLapsePhotoManager::~CTimeLapsePhotoManager() = default;

void CTimeLapsePhotoManager::TimeLapseTaskStartRun(
    OrlPluginManager::CTimeLapsePhotoRequestParam &request,
    OrlPluginManager::CTimeLapsePhotoReponseParam &)
{
    const OrlPluginManager::CTimeLapsePhotoRequestParam copy(request.GetData());
    const std::string guid = copy.GetVal_guid();
    std::shared_ptr<CTimeLapsePhotoController> replaced;
    {
        std::lock_guard<std::mutex> lock(d_->table_mutex);
        const auto it = d_->task_table.find(guid);
        if (it != d_->task_table.end()) {
            replaced = std::move(it->second);
            d_->task_table.erase(it);
        }
    }
    // The replaced task is stopped before it goes, so that its worker writes nothing into the
    // new task's files; whatever it still had to report (a held-back failure included) is
    // dropped with it.
    if (replaced) {
        replaced->Release();
        replaced.reset();
    }
    auto controller = std::make_shared<CTimeLapsePhotoController>(copy);
    {
        std::lock_guard<std::mutex> lock(d_->table_mutex);
        d_->task_table[guid] = std::move(controller);
    }
    SelectTaskStartRun();
}

void CTimeLapsePhotoManager::SelectTaskStartRun()
{
    std::lock_guard<std::mutex> lock(d_->table_mutex);
    SelectLocked();
}

void CTimeLapsePhotoManager::SelectLocked()
{
    for (const auto &task : d_->task_table) {
        if (IsRunningState(task.second->GetTaskState()))
            return;
    }
    for (const auto &task : d_->task_table) {
        CTimeLapsePhotoController &controller = *task.second;
        if (controller.IsPaused())
            continue;
        const TimeLapseTaskState state = controller.GetTaskState();
        if (state == TaskWaiting) {
            controller.StartTask();
            return;
        }
        if (state == TaskPaused) {
            controller.PauseTask(false);
            return;
        }
    }
}

void CTimeLapsePhotoManager::TimeLapseTaskPause(bool is_pause, std::string &guid)
{
    TESK_LOG_INFO("TimeLapseTaskPause start is_pause %d, curr_guid %s", is_pause, guid.c_str());
    const std::shared_ptr<CTimeLapsePhotoController> task = FindTask(guid);
    if (task) {
        switch (task->GetTaskState()) {
        case TaskWaiting:
            task->SetPaused(is_pause);
            break;
        case TaskRunning:
        case TaskResumed:
        case TaskPaused:
            if (is_pause) {
                // Outside the lock: the pause waits for the worker, which may be reporting.
                task->SetPaused(true);
                task->PauseTask(true);
            } else if (task->GetTaskState() == TaskPaused) {
                std::lock_guard<std::mutex> lock(d_->table_mutex);
                task->SetPaused(false);
                bool other_running = false;
                for (const auto &entry : d_->task_table)
                    other_running = other_running || (entry.second != task &&
                                                      IsRunningState(entry.second->GetTaskState()));
                if (!other_running)
                    task->PauseTask(false);
                return;
            }
            break;
        case TaskFinished:
            break;
        }
    }
    SelectTaskStartRun();
    TESK_LOG_INFO("TimeLapseTaskPause end is_pause %d, curr_guid %s", is_pause, guid.c_str());
}

void CTimeLapsePhotoManager::DeleteTimeLapseTask(std::vector<std::string> guids)
{
    for (const std::string &guid : guids) {
        std::shared_ptr<CTimeLapsePhotoController> task = FindTask(guid);
        if (task) {
            const TimeLapseTaskState state = task->GetTaskState();
            if (IsRunningState(state) || state == TaskPaused) {
                task->SetPaused(true);
                task->PauseTask(true);
            }
        }
        {
            std::lock_guard<std::mutex> lock(d_->table_mutex);
            const auto it = d_->task_table.find(guid);
            if (it != d_->task_table.end() && (!task || it->second == task))
                d_->task_table.erase(it);
        }
        task.reset();
    }
}

void CTimeLapsePhotoManager::OnTimeLapseTaskResults(bool is_success, std::string guid)
{
    ReportResults(nullptr, is_success, guid);
}

void CTimeLapsePhotoManager::OnControllerResults(const CTimeLapsePhotoController *reporter,
                                                 bool is_success, const std::string &guid)
{
    ReportResults(reporter, is_success, guid);
}

void CTimeLapsePhotoManager::ReportResults(const CTimeLapsePhotoController *reporter,
                                           bool is_success, const std::string &guid)
{
    std::shared_ptr<CTimeLapsePhotoController> task;
    TimeLapseResultCallback callback = nullptr;
    {
        std::lock_guard<std::mutex> lock(d_->table_mutex);
        const auto it = d_->task_table.find(guid);
        if (it != d_->task_table.end() && (!reporter || it->second.get() == reporter))
            task = it->second;
        callback = d_->result_callback;
    }
    if (!task && reporter)
        TESK_LOG_INFO("result of a released task dropped, guid %s", guid.c_str());
    if (task && callback) {
        // Read from the reporting task itself: the guid may name a new task by now.
        const OrlPluginManager::CTimeLapsePhotoRequestParam request = task->GetRequestParam();
        callback(is_success, guid, task->GetFileSize(), task->GetPercentage(),
                 request.GetVal_user_data());
    }
    SelectTaskStartRun();
    // This may be the download thread of the very task: if the host deleted the task meanwhile,
    // the last reference must not go here, where the downloader cannot join its own thread.
    if (task)
        RunOnGlobalPool([task = std::move(task)]() mutable { task.reset(); });
}

void CTimeLapsePhotoManager::RegisterDataCallBack(TimeLapseResultCallback callback)
{
    std::lock_guard<std::mutex> lock(d_->table_mutex);
    d_->result_callback = callback;
}

std::shared_ptr<CTimeLapsePhotoController> CTimeLapsePhotoManager::FindTask(const std::string &guid)
{
    std::lock_guard<std::mutex> lock(d_->table_mutex);
    const auto it = d_->task_table.find(guid);
    return it == d_->task_table.end() ? nullptr : it->second;
}

int CTimeLapsePhotoManager::GetTimeLapseGeneratePercentage(std::string &guid)
{
    const auto task = FindTask(guid);
    return task ? task->GetPercentage() : 0;
}

int64_t CTimeLapsePhotoManager::GetTimeLapseGenerateFileSize(std::string &guid)
{
    const auto task = FindTask(guid);
    return task ? task->GetFileSize() : 0;
}

Quor::Base::Error::ErrorCode CTimeLapsePhotoManager::GetTimeLapseTaskErrorCode(std::string &guid)
{
    const auto task = FindTask(guid);
    return task ? task->GetErrorCode() : Quor::Base::Error::ErrorCode();
}

TimeLapseTaskState CTimeLapsePhotoManager::GetTimeLapseTaskState(const std::string &guid)
{
    const auto task = FindTask(guid);
    return task ? task->GetTaskState() : TaskWaiting;
}

void CTimeLapsePhotoManager::StopWorking() {}

void CTimeLapsePhotoManager::RunPauseAfterStartTask() {}

bool CTimeLapsePhotoManager::event(QEvent *event)
{
    return QObject::event(event);
}

} // namespace TeskVideoSearch

template class Quor::Base::CSingleton<TeskVideoSearch::CTimeLapsePhotoManager>;
