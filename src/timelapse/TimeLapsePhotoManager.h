#pragma once

#include "TeskVideoSearchExport.h"
#include "pluginmanager/TimeLapseService.h"
#include "quorbase/Error.h"
#include "quorbase/Singleton.h"
#include "timelapse/TimeLapseTypes.h"

#include <QObject>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QEvent;

namespace TeskVideoSearch {
class CTimeLapsePhotoManager;
}

// One instance for the library and its host: the library is built with hidden visibility, so the
// singleton's storage is instantiated and exported once, in the library.
extern template class TESKVIDEOSEARCH_EXPORT
    Quor::Base::CSingleton<TeskVideoSearch::CTimeLapsePhotoManager>;

namespace TeskVideoSearch {

class CTimeLapsePhotoController;

// Result of a finished task: success, guid, file size in bytes, percentage, the request's user
// data.
using TimeLapseResultCallback = void (*)(bool, std::string, int64_t, int, void *);

struct TimeLapsePhotoManagerData
{
    std::map<std::string, std::shared_ptr<CTimeLapsePhotoController>> task_table;
    TimeLapseResultCallback result_callback = nullptr;
    // Serialises every access to the table and the callback; never held while a controller
    // blocks or while the callback runs.
    std::mutex table_mutex;
};

// The host's entry point for time-lapse videos: keeps the submitted tasks by guid, runs one at a
// time (the first qualifying guid in ascending order), and reports each finished task through
// the registered callback, on the worker or download thread that finished it.
class TESKVIDEOSEARCH_EXPORT CTimeLapsePhotoManager
    : public QObject,
      public Quor::Base::CSingleton<CTimeLapsePhotoManager>
{
    Q_OBJECT
public:
    ~CTimeLapsePhotoManager() override;

    void TimeLapseTaskStartRun(OrlPluginManager::CTimeLapsePhotoRequestParam &request,
                               OrlPluginManager::CTimeLapsePhotoReponseParam &response);
    void TimeLapseTaskPause(bool is_pause, std::string &guid);
    void DeleteTimeLapseTask(std::vector<std::string> guids);
    void OnTimeLapseTaskResults(bool is_success, std::string guid);
    void RegisterDataCallBack(TimeLapseResultCallback callback);

    int GetTimeLapseGeneratePercentage(std::string &guid);
    int64_t GetTimeLapseGenerateFileSize(std::string &guid);
    Quor::Base::Error::ErrorCode GetTimeLapseTaskErrorCode(std::string &guid);
    // -1 (TaskWaiting) for a guid that is not in the table.
    TimeLapseTaskState GetTimeLapseTaskState(const std::string &guid);

    void StopWorking();
    bool event(QEvent *event) override;

signals:
    void SignalCurrTimeLapseGenerateStatus(bool is_success, std::string guid, int64_t file_size,
                                           int percentage);

private:
    friend class Quor::Base::CSingleton<CTimeLapsePhotoManager>;
    friend class CTimeLapsePhotoController;
    CTimeLapsePhotoManager();

    // A controller's own result: dropped unless the table still holds that very controller
    // under the guid, so that a released task never reports under its successor's guid.
    void OnControllerResults(const CTimeLapsePhotoController *reporter, bool is_success,
                             const std::string &guid);
    // Null reporter: whichever task the table holds under the guid.
    void ReportResults(const CTimeLapsePhotoController *reporter, bool is_success,
                       const std::string &guid);

    void SelectTaskStartRun();
    void RunPauseAfterStartTask();
    std::shared_ptr<CTimeLapsePhotoController> FindTask(const std::string &guid);
    // The selection itself; the caller holds the table lock.
    void SelectLocked();

    std::shared_ptr<TimeLapsePhotoManagerData> d_;
};

} // namespace TeskVideoSearch
