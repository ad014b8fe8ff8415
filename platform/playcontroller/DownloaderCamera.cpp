#include "DownloaderCamera.h"

#include "mirelog/Log.h"
#include "pluginmanager/TimeLapseService.h"

#include <QDir>
#include <QFile>

#include <new>

namespace teskplaycontroller {

void *CDownloaderCamera::operator new(size_t size)
{
    return ::operator new(size);
}

void CDownloaderCamera::operator delete(void *pointer)
{
    ::operator delete(pointer);
}

CDownloaderCamera::CDownloaderCamera() = default;

CDownloaderCamera::~CDownloaderCamera()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_requested_ = running_;
        abort_ = true;
    }
    if (worker_.joinable() && worker_.get_id() != std::this_thread::get_id())
        worker_.join();
    else if (worker_.joinable())
        worker_.detach();
}

bool CDownloaderCamera::SetParam(const std::vector<std::shared_ptr<ICameraForPlayback>> &cameras,
                                 DownloadCallback callback, const std::string &)
{
    std::lock_guard<std::mutex> lock(mutex_);
    cameras_ = cameras;
    callback_ = std::move(callback);
    return !cameras_.empty();
}

void CDownloaderCamera::SetTimeLapseFlag(bool is_time_lapse, const std::string &search_begin,
                                         const std::string &search_end)
{
    std::lock_guard<std::mutex> lock(mutex_);
    is_time_lapse_ = is_time_lapse;
    search_begin_ = search_begin;
    search_end_ = search_end;
}

bool CDownloaderCamera::StartDownloadByTime(std::shared_ptr<CDownloadParam> param)
{
    if (!param)
        return false;
    const DownloadParam request = param->GetData();
    std::thread previous;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (running_ || cameras_.empty() || !cameras_.front() || request.file_name.empty() ||
            request.file_dir.empty())
            return false;
        previous = std::move(worker_);
    }
    // The previous run has ended (running_ is false); only its thread object is left.
    if (previous.joinable())
        previous.join();
    std::lock_guard<std::mutex> lock(mutex_);
    if (running_)
        return false;
    running_ = true;
    stop_requested_ = false;
    abort_ = false;
    worker_ = std::thread(&CDownloaderCamera::Run, this, request, cameras_.front(),
                          is_time_lapse_ ? search_begin_ : std::string(),
                          is_time_lapse_ ? search_end_ : std::string());
    return true;
}

void CDownloaderCamera::StopDownload()
{
    bool acknowledge_here = false;
    std::thread worker;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (running_) {
            stop_requested_ = true;
            abort_ = true;
        } else {
            acknowledge_here = true;
        }
        if (worker_.joinable() && worker_.get_id() != std::this_thread::get_id())
            worker = std::move(worker_);
    }
    if (worker.joinable())
        worker.join();
    if (acknowledge_here)
        Notify(DownloadStateStop);
}

bool CDownloaderCamera::IsDownloading() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return running_;
}

void CDownloaderCamera::Notify(int state, const Quor::Base::Error::ErrorCode &error, int64_t bytes,
                               const std::string &path)
{
    CDownloaderObserver::Param param;
    param.ptr_result = std::make_shared<CDownloaderObserverParam>();
    param.ptr_result->SetVal_state_type(state);
    param.ptr_result->SetVal_error_code(error);
    param.ptr_result->SetVal_downloaded_bytes(bytes);
    param.ptr_result->SetVal_file_path(path);
    NotifyObservers([&](CDownloaderObserver *observer) { observer->UpdateDownloadState(param); });
    DownloadCallback callback;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        callback = callback_;
    }
    if (callback)
        callback(state);
}

void CDownloaderCamera::Run(DownloadParam param, std::shared_ptr<ICameraForPlayback> camera,
                            std::string begin, std::string end)
{
    const std::string partial = param.file_dir + "/" + param.file_name;
    const std::string target = partial + ".mp4";
    Notify(DownloadStateStart);
    Quor::Base::Error::ErrorCode error;
    bool ok = false;
    const auto provider = OrlPluginManager::CTimeLapseProviderRegistry::GetProvider();
    if (begin.empty() || param.url_extra_param.find("TimeLapse=1") == std::string::npos) {
        error = {DownloadError::kModule, DownloadError::kUnsupported};
    } else if (!provider) {
        error = {DownloadError::kModule, DownloadError::kNoProvider};
    } else {
        QDir().mkpath(QString::fromStdString(param.file_dir));
        QFile file(QString::fromStdString(partial));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            error = {DownloadError::kModule, DownloadError::kWriteFailed};
        } else {
            OrlPluginManager::DeviceTimeLapseStreamRequest request;
            request.camera_resource_id = camera->GetCameraID();
            request.search_begin = begin;
            request.search_end = end;
            request.begin_time = param.begin_time;
            request.end_time = param.end_time;
            int64_t written = 0;
            bool write_failed = false;
            ok = provider->StreamDeviceTimeLapse(
                request,
                [&](const char *data, size_t size) {
                    if (file.write(data, static_cast<qint64>(size)) != static_cast<qint64>(size)) {
                        write_failed = true;
                        return false;
                    }
                    written += static_cast<int64_t>(size);
                    file.flush();
                    Notify(DownloadStateDownloading, {}, written, partial);
                    return !abort_.load();
                },
                abort_, error);
            file.close();
            if (write_failed)
                error = {DownloadError::kModule, DownloadError::kWriteFailed};
            if (ok && !abort_.load()) {
                // The device's stream is already an MP4 file: the conversion only gives it its
                // final name.
                Notify(DownloadStateConverting, {}, written, partial);
                QFile::remove(QString::fromStdString(target));
                ok = QFile::rename(QString::fromStdString(partial), QString::fromStdString(target));
                if (!ok)
                    error = {DownloadError::kModule, DownloadError::kWriteFailed};
            } else {
                ok = false;
                QFile::remove(QString::fromStdString(partial));
            }
        }
    }
    bool stopped;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopped = stop_requested_;
    }
    if (!stopped) {
        if (ok) {
            Notify(DownloadStateCompleted, {}, 0, target);
        } else {
            TESK_LOG_ERROR("download of %s failed: %d/%d", camera->GetCameraID().c_str(),
                           error.module_code, error.error_code);
            Notify(DownloadStateFailed, error);
        }
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopped = stop_requested_;
        running_ = false;
    }
    if (stopped)
        Notify(DownloadStateStop);
}

bool CDownloadVideoManager::GetCameraForPlay(std::shared_ptr<ICameraForPlayback> &camera,
                                             const CCameraRequestParam &request)
{
    const ResourceKey key = *request.GetVal_resource_key().GetDataPtr();
    if (key.resource_id.empty()) {
        Quor::Base::Error::SetLastError({DownloadError::kModule, DownloadError::kNoCamera});
        camera.reset();
        return false;
    }
    camera = std::make_shared<CCameraForPlay>(key.site_id, key.resource_id);
    return true;
}

} // namespace teskplaycontroller
