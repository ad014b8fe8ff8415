#pragma once

#include "playcontroller/CameraForPlay.h"
#include "playcontroller/ResourceKey.h"
#include "quorbase/Error.h"
#include "quorbase/Observer.h"
#include "quorbase/Singleton.h"
#include "quorbase/ValueClass.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace teskplaycontroller {

// What to download. download_mode 0: by time; file_type 2: an MP4 file
// "<file_dir>/<file_name>.mp4".
#define TESK_FIELDS_DownloadParam(F)                                                               \
    F(int, download_mode, 1)                                                                       \
    F(int, file_type, 0)                                                                           \
    F(std::string, file_name, {})                                                                  \
    F(std::string, file_dir, {})                                                                   \
    F(int64_t, begin_time, -1)                                                                     \
    F(int64_t, end_time, -1)                                                                       \
    F(std::string, url_extra_param, {})                                                            \
    F(int, stream_type, 0)
TESK_VALUE_CLASS(, CDownloadParam, DownloadParam, TESK_FIELDS_DownloadParam)

enum DownloadStateType {
    DownloadStateNull = 0,
    DownloadStateStart = 1,
    DownloadStateDownloading = 2,
    DownloadStateStop = 3,
    DownloadStateFailed = 4,
    DownloadStateCompleted = 5,
    DownloadStateConverting = 8,
};

#define TESK_FIELDS_DownloaderObserverParam(F)                                                     \
    F(int, state_type, DownloadStateNull)                                                          \
    F(Quor::Base::Error::ErrorCode, error_code, {})                                                \
    F(int64_t, downloaded_bytes, 0)                                                                \
    F(std::string, file_path, {})
TESK_VALUE_CLASS(, CDownloaderObserverParam, DownloaderObserverParam,
                 TESK_FIELDS_DownloaderObserverParam)

class CDownloaderObserver : public Quor::Base::IBaseObserver
{
public:
    struct Param
    {
        std::shared_ptr<CDownloaderObserverParam> ptr_result;
    };
    // Runs on the downloader's own thread (or on the caller's for a stop with nothing running).
    virtual void UpdateDownloadState(const Param &state_param) = 0;
};

using DownloadCallback = std::function<void(int state)>;

// Downloads a camera's recording to a file on a thread of its own and reports its progress to
// the observers: 1 start, 2 downloading (per chunk), 8 converting, 5 completed or 4 failed.
// Every StopDownload is acknowledged by exactly one state 3, also when nothing is running.
class CDownloaderCamera : public Quor::Base::CObserverableWrap<CDownloaderObserver>
{
public:
    static void *operator new(size_t size);
    static void operator delete(void *pointer);

    CDownloaderCamera();
    ~CDownloaderCamera() override;

    bool SetParam(const std::vector<std::shared_ptr<ICameraForPlayback>> &cameras,
                  DownloadCallback callback, const std::string &text);
    // A device time-lapse stream of the span ("yyyyMMddThhmmss" texts) instead of recordings.
    void SetTimeLapseFlag(bool is_time_lapse, const std::string &search_begin,
                          const std::string &search_end);
    // False when no camera is set, a download is running, or the parameters are incomplete.
    bool StartDownloadByTime(std::shared_ptr<CDownloadParam> param);
    void StopDownload();
    bool IsDownloading() const;

private:
    void Run(DownloadParam param, std::shared_ptr<ICameraForPlayback> camera, std::string begin,
             std::string end);
    void Notify(int state, const Quor::Base::Error::ErrorCode &error = {}, int64_t bytes = 0,
                const std::string &path = {});

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<ICameraForPlayback>> cameras_;
    DownloadCallback callback_;
    bool is_time_lapse_ = false;
    std::string search_begin_;
    std::string search_end_;
    bool running_ = false;
    bool stop_requested_ = false;
    std::atomic<bool> abort_{false};
    std::thread worker_;
};

#define TESK_FIELDS_CameraRequestParam(F)                                                          \
    F(CResourceKey, resource_key, {})                                                              \
    F(int, request_type, 0)
TESK_VALUE_CLASS(, CCameraRequestParam, CameraRequestParam, TESK_FIELDS_CameraRequestParam)

class CDownloadVideoManager : public Quor::Base::CSingleton<CDownloadVideoManager>
{
public:
    // The camera object of a resource key; false (last error set) for an empty identifier.
    bool GetCameraForPlay(std::shared_ptr<ICameraForPlayback> &camera,
                          const CCameraRequestParam &request);

private:
    friend class Quor::Base::CSingleton<CDownloadVideoManager>;
    CDownloadVideoManager() = default;
};

// Error codes of the downloader (module 0x40).
namespace DownloadError {
constexpr int kModule = 0x40;
constexpr int kNoCamera = 0x4001;
constexpr int kUnsupported = 0x4002;
constexpr int kWriteFailed = 0x4003;
constexpr int kNoProvider = 0x4004;
} // namespace DownloadError

} // namespace teskplaycontroller
