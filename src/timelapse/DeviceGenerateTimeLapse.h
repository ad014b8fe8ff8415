#pragma once

#include "TeskVideoSearchExport.h"
#include "playcontroller/DownloaderCamera.h"
#include "pluginmanager/TimeLapseService.h"
#include "quorbase/Error.h"
#include "timelapse/TimeLapseTypes.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace TeskVideoSearch {

struct DeviceFileInfo
{
    std::string device_file_name;
    std::string file_size; // kilobytes
};

// The device-mode half of a time-lapse task: starts the device's job, polls it once a second
// until the file is ready, downloads the file as a recording stream and checks it against the
// device's description. The outcome is one SignalExportResult, emitted on the downloader's thread.
class TESKVIDEOSEARCH_EXPORT DeviceGenerateTimeLapse
    : public QObject,
      public teskplaycontroller::CDownloaderObserver
{
    Q_OBJECT
public:
    explicit DeviceGenerateTimeLapse(QObject *parent = nullptr);
    ~DeviceGenerateTimeLapse() override;

    bool SetDeviceGeneratFile(const OrlPluginManager::TimeLapsePhotoRequestParam &request,
                              OrlPluginManager::TimeLapsePhotoReponseParam &response);
    // The polling loop; true also when a pause stopped it.
    bool GetDeviceProgresSever(int &module_code, int &error_code);
    bool GetDeviceFileCreatingStatus(
        OrlPluginManager::DeviceTimeLapsePhotoCreateStatusResponseParam &response);
    bool
    GetDeviceRecordFileInfo(OrlPluginManager::DeviceTimeLapseRecordFileInfoResponseParam &response);
    bool SetFileCreat(int &module_code, int &error_code);
    bool DevicePauseJudgeIsGetStreamFileBefore(int &module_code, int &error_code);
    bool StartDownLoadStreamFile();
    void SetStreamFile();
    void StopDownload();
    static int64_t TimeConversion(const std::string &text);

    void UpdateDownloadState(const Param &state_param) override;

    DevicePausePosition GetDevicePosition() const;
    void SetPauseBeforeStream(bool is_pause);
    bool IsPauseBeforeStream() const;
    void SetStopPolling(bool is_stop);
    bool IsStopPolling() const;
    bool IsStreamStopped() const;
    int GetPercentage();
    int64_t GetFileSize();
    Quor::Base::Error::ErrorCode GetErrorCode() const;
    std::string GetVideoPath() const; // directory, "/", name, ".mp4"

signals:
    void SignalExportResult(bool is_success);

private:
    std::string CurrentFilePath() const;
    void SetErrorCode(const Quor::Base::Error::ErrorCode &code);

    DeviceFileInfo device_file_info_;
    std::atomic<int> download_state_{0};
    teskplaycontroller::CDownloaderCamera *ptr_downloader_ = nullptr;
    std::string file_dir_;
    std::string file_name_;
    int64_t begin_time_ = -1;
    int64_t end_time_ = -1;
    Quor::Base::Error::ErrorCode error_code_;
    std::string camera_resource_id_;
    std::string site_id_;
    std::string job_id_;
    std::string search_begin_;
    std::string search_end_;
    std::atomic<bool> is_pause_before_stream_{false};
    std::atomic<int> device_position_{DevicePositionNone};
    std::atomic<bool> is_stop_polling_{false};
    std::atomic<bool> is_stream_stopped_{false};
    std::atomic<bool> is_converting_{false};
    std::atomic<bool> is_file_seen_{false};
    std::atomic<int64_t> file_size_{0};
    // Guards the texts and the error code, written by the worker and the download thread and
    // read by the host's queries.
    mutable std::mutex data_mutex_;
};

} // namespace TeskVideoSearch
