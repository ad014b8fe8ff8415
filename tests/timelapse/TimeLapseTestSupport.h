#pragma once

#include "TestSupport.h"
#include "doubles/DirectoryTimeLapseProvider.h"
#include "timelapse/TimeLapsePhotoManager.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace TimeLapseTest {

using namespace OrlPluginManager;
using namespace std::chrono_literals;

// A provider with release points: downloads of a held camera block until released (or aborted
// by a pause), device streams of a held camera block after their first chunk.
class GatedProvider : public CDirectoryTimeLapseProvider
{
public:
    void Hold(const std::string &camera)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        held_.insert(camera);
    }
    void Release(const std::string &camera)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            held_.erase(camera);
        }
        changed_.notify_all();
    }
    // Makes an aborted download of the camera fail instead of returning early.
    void FailWhenAborted(const std::string &camera)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        fail_on_abort_.insert(camera);
    }
    // The written picture `index` of the camera becomes a named pipe: whoever opens it blocks
    // until a writer opens the other end.
    void PipeAt(const std::string &camera, int index)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pipes_[camera] = index;
    }
    // The record-file description changes after its first query.
    void ChangeRecordInfoAfterFirstQuery(bool change)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        change_record_info_ = change;
    }
    // Waits until `count` calls of `what` ("download", "poll", "stream") for the camera began.
    bool WaitCalls(const std::string &what, const std::string &camera, int count,
                   std::chrono::milliseconds timeout = 20s)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout,
                                 [&] { return calls_[what + ":" + camera] >= count; });
    }
    int Calls(const std::string &what, const std::string &camera)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_[what + ":" + camera];
    }
    int Aborts(const std::string &camera)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return aborts_[camera];
    }

    bool DownLoadImage(const TimeLapsePhotoRequestParam &request, const std::atomic<bool> &abort,
                       TimeLapsePhotoReponseParam &response) override
    {
        const std::string &camera = request.camera_resource_id;
        bool fail_on_abort;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            ++calls_["download:" + camera];
            changed_.notify_all();
            while (request.generate_mode == 0 && held_.count(camera) && !abort)
                changed_.wait_for(lock, 2ms);
            if (abort)
                ++aborts_[camera];
            fail_on_abort = fail_on_abort_.count(camera) > 0;
        }
        if (abort && fail_on_abort) {
            response.module_error_code = TimeLapseError::kModule;
            response.error_code = TimeLapseError::kAborted;
            response.error_info = "aborted";
            return false;
        }
        const bool ok = CDirectoryTimeLapseProvider::DownLoadImage(request, abort, response);
        std::lock_guard<std::mutex> lock(mutex_);
        const auto pipe = pipes_.find(camera);
        if (ok && !abort && pipe != pipes_.end()) {
            const std::string path =
                request.file_path + "/" + std::to_string(pipe->second) + ".jpg";
            QFile::remove(QString::fromStdString(path));
            ::mkfifo(path.c_str(), 0600);
        }
        return ok;
    }

    bool
    GetDeviceTimeLapseFileCreting(const DeviceTimeLapsePhotoCreateStatusRequestParam &request,
                                  DeviceTimeLapsePhotoCreateStatusResponseParam &response) override
    {
        const bool ok =
            CDirectoryTimeLapseProvider::GetDeviceTimeLapseFileCreting(request, response);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++calls_["poll:" + request.job_id];
        }
        changed_.notify_all();
        return ok;
    }

    bool
    GetDeviceTimeLapseRecordFileInfo(const DeviceTimeLapseRecordFileInfoRequestParam &request,
                                     DeviceTimeLapseRecordFileInfoResponseParam &response) override
    {
        const bool ok =
            CDirectoryTimeLapseProvider::GetDeviceTimeLapseRecordFileInfo(request, response);
        std::lock_guard<std::mutex> lock(mutex_);
        if (++calls_["info:" + request.job_id] > 1 && change_record_info_)
            response.record_file_info.file_size += "0";
        return ok;
    }

    bool StreamDeviceTimeLapse(const DeviceTimeLapseStreamRequest &request, const StreamSink &sink,
                               const std::atomic<bool> &abort,
                               Quor::Base::Error::ErrorCode &error) override
    {
        const std::string camera = request.camera_resource_id;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++calls_["stream:" + camera];
            last_stream_ = request;
        }
        changed_.notify_all();
        int chunk = 0;
        return CDirectoryTimeLapseProvider::StreamDeviceTimeLapse(
            request,
            [&](const char *data, size_t size) {
                if (!sink(data, size))
                    return false;
                if (++chunk == 1) {
                    std::unique_lock<std::mutex> lock(mutex_);
                    ++calls_["chunk:" + camera];
                    changed_.notify_all();
                    while (held_.count(camera) && !abort)
                        changed_.wait_for(lock, 2ms);
                }
                return true;
            },
            abort, error);
    }

    DeviceTimeLapseStreamRequest LastStream()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return last_stream_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::set<std::string> held_;
    std::set<std::string> fail_on_abort_;
    std::map<std::string, int> calls_;
    std::map<std::string, int> aborts_;
    std::map<std::string, int> pipes_;
    bool change_record_info_ = false;
    DeviceTimeLapseStreamRequest last_stream_;
};

struct Result
{
    bool success = false;
    std::string guid;
    int64_t size = 0;
    int percentage = 0;
    void *user_data = nullptr;
};

// Collects the manager's callbacks, which arrive on worker threads.
class ResultRecorder
{
public:
    static ResultRecorder &Instance()
    {
        static ResultRecorder recorder;
        return recorder;
    }
    static void Callback(bool success, std::string guid, int64_t size, int percentage, void *data)
    {
        Instance().Add({success, guid, size, percentage, data});
    }
    void Add(const Result &result)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            results_.push_back(result);
        }
        changed_.notify_all();
    }
    bool Wait(const std::string &guid, Result &out, std::chrono::milliseconds timeout = 30s)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] {
            for (const Result &r : results_) {
                if (r.guid == guid) {
                    out = r;
                    return true;
                }
            }
            return false;
        });
    }
    void Clear()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        results_.clear();
    }
    int Count(const std::string &guid)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        int n = 0;
        for (const Result &r : results_)
            n += r.guid == guid;
        return n;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Result> results_;
};

inline std::string OutputDir(const std::string &name)
{
    const QString dir = TestSupport::ScratchDir() + "/timelapse/" + QString::fromStdString(name);
    QDir().mkpath(dir);
    return dir.toStdString();
}

inline CTimeLapsePhotoRequestParam CaptureRequest(const std::string &guid,
                                                  const std::string &camera)
{
    CTimeLapsePhotoRequestParam request;
    request.SetVal_generate_mode(0);
    request.SetVal_guid(guid);
    request.SetVal_camera_resource_id(camera);
    request.SetVal_file_path(OutputDir(guid));
    request.SetVal_file_name("video");
    request.SetVal_start_date("2026-12-01");
    request.SetVal_end_date("2026-12-01");
    request.SetVal_start_time("08:00:00");
    request.SetVal_end_time("08:10:00");
    return request;
}

} // namespace TimeLapseTest
