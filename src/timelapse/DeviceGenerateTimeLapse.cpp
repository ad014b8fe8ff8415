#include "DeviceGenerateTimeLapse.h"

#include "mirelog/Log.h"
#include "pluginmanager/PluginManager.h"
#include "quorbase/Util.h"

#include <QFileInfo>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

namespace TeskVideoSearch {

using namespace OrlPluginManager;
using teskplaycontroller::CDownloaderCamera;

namespace {

std::string DateDigits(const std::string &date)
{
    std::string digits;
    for (char c : date) {
        if (c != '-' && c != ':')
            digits += c;
    }
    return digits;
}

} // namespace

DeviceGenerateTimeLapse::DeviceGenerateTimeLapse(QObject *parent)
    : QObject(parent)
    , ptr_downloader_(new CDownloaderCamera())
{
    ptr_downloader_->RegisterObserver(this);
}

DeviceGenerateTimeLapse::~DeviceGenerateTimeLapse()
{
    if (ptr_downloader_) {
        ptr_downloader_->StopDownload();
        ptr_downloader_->SyncUnregisterObserver(this);
        delete ptr_downloader_;
        ptr_downloader_ = nullptr;
    }
}

bool DeviceGenerateTimeLapse::SetDeviceGeneratFile(const TimeLapsePhotoRequestParam &request,
                                                   TimeLapsePhotoReponseParam &response)
{
    if (!CResourceBusinessInterfaceMgr::Instance().DownLoadImage(request, response)) {
        TESK_LOG_ERROR("DownLoadImage-SetDeviceGeneratFile Failed, error_code: %d",
                       response.error_code);
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(data_mutex_);
        file_dir_ = request.file_path;
        file_name_ = request.file_name;
        begin_time_ = TimeConversion(request.start_date + " " + request.start_time);
        end_time_ = TimeConversion(request.end_date + " " + request.end_time);
        search_begin_ = DateDigits(request.start_date) + "T" + "000000";
        search_end_ = DateDigits(request.end_date) + "T" + "235959";
        camera_resource_id_ = request.camera_resource_id;
        job_id_ = request.job_id;
    }
    Quor::Base::FileSystem::DeleteFileW(GetVideoPath().c_str());
    if (!GetDeviceProgresSever(response.module_error_code, response.error_code)) {
        TESK_LOG_ERROR("GetDeviceProgresSever is Failed");
        return false;
    }
    return true;
}

int64_t DeviceGenerateTimeLapse::TimeConversion(const std::string &text)
{
    if (text.empty()) {
        TESK_LOG_ERROR("TimeConversion time null");
        return 0;
    }
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &year, &month, &day, &hour, &minute,
                    &second) != 6) {
        TESK_LOG_ERROR("TimeConversion invalid time %s", text.c_str());
        return 0;
    }
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = 0;
    return static_cast<int64_t>(std::mktime(&tm));
}

bool DeviceGenerateTimeLapse::GetDeviceProgresSever(int &module_code, int &error_code)
{
    while (true) {
        // One status request per second; a pause ends the wait early.
        const auto turn_end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000);
        while (!is_stop_polling_ && std::chrono::steady_clock::now() < turn_end)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (is_stop_polling_) {
            is_stop_polling_ = false;
            return true;
        }
        device_position_ = DeviceFileCreatingPaused;
        DeviceTimeLapsePhotoCreateStatusResponseParam status;
        if (!GetDeviceFileCreatingStatus(status)) {
            module_code = status.module_error_code;
            error_code = status.error_code;
            return false;
        }
        // A failed job is a valid answer, not a failed request: the error codes keep what
        // they held.
        if (status.status == DeviceTimeLapseFailed)
            return false;
        if (status.progress >= 100) {
            const bool ok = SetFileCreat(module_code, error_code);
            if (!ok)
                TESK_LOG_ERROR("SetFileCreat is Failed");
            return ok;
        }
    }
}

bool DeviceGenerateTimeLapse::GetDeviceFileCreatingStatus(
    DeviceTimeLapsePhotoCreateStatusResponseParam &response)
{
    DeviceTimeLapsePhotoCreateStatusRequestParam request;
    {
        std::lock_guard<std::mutex> lock(data_mutex_);
        request.job_id = job_id_;
    }
    if (!CResourceBusinessInterfaceMgr::Instance().GetDeviceTimeLapseFileCreting(request,
                                                                                 response)) {
        TESK_LOG_ERROR("GetDeviceFileCreatingStatus Failed, error_code: %d", response.error_code);
        return false;
    }
    return true;
}

bool DeviceGenerateTimeLapse::GetDeviceRecordFileInfo(
    DeviceTimeLapseRecordFileInfoResponseParam &response)
{
    DeviceTimeLapseRecordFileInfoRequestParam request;
    {
        std::lock_guard<std::mutex> lock(data_mutex_);
        request.job_id = job_id_;
    }
    if (!CResourceBusinessInterfaceMgr::Instance().GetDeviceTimeLapseRecordFileInfo(request,
                                                                                    response)) {
        TESK_LOG_ERROR("GetDeviceRecordFileInfo Failed, error_code: %d", response.error_code);
        return false;
    }
    return true;
}

bool DeviceGenerateTimeLapse::SetFileCreat(int &module_code, int &error_code)
{
    DeviceTimeLapseRecordFileInfoResponseParam info;
    if (!GetDeviceRecordFileInfo(info)) {
        module_code = info.module_error_code;
        error_code = info.error_code;
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(data_mutex_);
        device_file_info_.device_file_name = info.record_file_info.file_name;
        device_file_info_.file_size = info.record_file_info.file_size;
    }
    TESK_LOG_INFO("Run SetFileCreate");
    if (!DevicePauseJudgeIsGetStreamFileBefore(module_code, error_code)) {
        TESK_LOG_ERROR("DevicePauseJudgeIsGetStreamFile is failed");
        return false;
    }
    return true;
}

bool DeviceGenerateTimeLapse::DevicePauseJudgeIsGetStreamFileBefore(int &module_code,
                                                                    int &error_code)
{
    if (is_pause_before_stream_) {
        device_position_ = GetStreamBeforePaused;
        return true;
    }
    if (!StartDownLoadStreamFile()) {
        const auto error = GetErrorCode();
        module_code = error.module_code;
        error_code = error.error_code;
        TESK_LOG_ERROR("StartDownLoadStreamFile Failed");
        return false;
    }
    return true;
}

bool DeviceGenerateTimeLapse::StartDownLoadStreamFile()
{
    is_stream_stopped_ = false;
    teskplaycontroller::CResourceKey key;
    std::string search_begin, search_end, file_dir, file_name;
    int64_t begin_time, end_time;
    {
        std::lock_guard<std::mutex> lock(data_mutex_);
        key.SetVal_resource_id(camera_resource_id_);
        search_begin = search_begin_;
        search_end = search_end_;
        file_dir = file_dir_;
        file_name = file_name_;
        begin_time = begin_time_;
        end_time = end_time_;
    }
    teskplaycontroller::CCameraRequestParam request;
    request.SetVal_resource_key(key);
    std::shared_ptr<teskplaycontroller::ICameraForPlayback> ptr_camera_for_play;
    if (!Quor::Base::CSingleton<teskplaycontroller::CDownloadVideoManager>::Instance()
             .GetCameraForPlay(ptr_camera_for_play, request)) {
        const auto error = Quor::Base::Error::GetLastError();
        SetErrorCode(error);
        TESK_LOG_ERROR("GetCameraForPlay failed, error: %d.", error.error_code);
        return false;
    }
    if (!ptr_camera_for_play) {
        TESK_LOG_ERROR("ptr_camera_for_play is nullptr");
        return false;
    }
    TESK_LOG_INFO("Run StartDownLoadStreamFile");
    if (!ptr_downloader_)
        return false;
    ptr_downloader_->SetParam({ptr_camera_for_play}, nullptr, std::string());
    ptr_downloader_->SetTimeLapseFlag(true, search_begin, search_end);
    auto param = std::make_shared<teskplaycontroller::CDownloadParam>();
    param->SetVal_download_mode(0);
    param->SetVal_file_type(2);
    param->SetVal_file_name(file_name);
    param->SetVal_file_dir(file_dir);
    param->SetVal_begin_time(begin_time);
    param->SetVal_end_time(end_time);
    param->SetVal_url_extra_param("&TimeLapse=1");
    if (!ptr_downloader_->StartDownloadByTime(param)) {
        TESK_LOG_ERROR("StartDownloadByTime Failed Get Stream VP_Relevant");
        return false;
    }
    return true;
}

void DeviceGenerateTimeLapse::UpdateDownloadState(const Param &state_param)
{
    device_position_ = GetStreamFileCreatingPaused;
    download_state_ = 2;
    if (!state_param.ptr_result)
        return;
    switch (state_param.ptr_result->GetVal_state_type()) {
    case teskplaycontroller::DownloadStateNull:
        TESK_LOG_INFO("stateNULL NOState Change");
        break;
    case teskplaycontroller::DownloadStateStart:
        TESK_LOG_INFO("StateStartDownload");
        is_converting_ = false;
        break;
    case teskplaycontroller::DownloadStateDownloading:
        TESK_LOG_INFO("Downloading");
        break;
    case teskplaycontroller::DownloadStateStop:
        TESK_LOG_INFO("StateStopDownload");
        download_state_ = 3;
        is_stream_stopped_ = true;
        break;
    case teskplaycontroller::DownloadStateFailed:
        TESK_LOG_INFO("time_lapse VPFailed error code");
        SetErrorCode(state_param.ptr_result->GetVal_error_code());
        StopDownload();
        emit SignalExportResult(false);
        break;
    case teskplaycontroller::DownloadStateCompleted:
        TESK_LOG_INFO("time_lapse VPSuccessCompleted success");
        download_state_ = 3;
        is_converting_ = false;
        SetStreamFile();
        break;
    case teskplaycontroller::DownloadStateConverting:
        TESK_LOG_INFO("StateConverting");
        is_converting_ = true;
        break;
    default:
        TESK_LOG_INFO("UpdateDownloadState Default state_param.ptr_result->GetVal_state_type is %d",
                      state_param.ptr_result->GetVal_state_type());
        break;
    }
}

void DeviceGenerateTimeLapse::SetStreamFile()
{
    DeviceTimeLapseRecordFileInfoResponseParam response_record_file_info;
    if (!GetDeviceRecordFileInfo(response_record_file_info)) {
        SetErrorCode(
            {response_record_file_info.module_error_code, response_record_file_info.error_code});
        emit SignalExportResult(false);
        return;
    }
    DeviceFileInfo stored;
    {
        std::lock_guard<std::mutex> lock(data_mutex_);
        stored = device_file_info_;
    }
    StopDownload();
    if (stored.device_file_name == response_record_file_info.record_file_info.file_name &&
        stored.file_size == response_record_file_info.record_file_info.file_size) {
        emit SignalExportResult(true);
        return;
    }
    TESK_LOG_ERROR("device_file_info_.device_file_name %s; "
                   "response_record_file_info.record_file_info.file_name %s",
                   stored.device_file_name.c_str(),
                   response_record_file_info.record_file_info.file_name.c_str());
    emit SignalExportResult(false);
}

void DeviceGenerateTimeLapse::StopDownload()
{
    if (ptr_downloader_)
        ptr_downloader_->StopDownload();
}

DevicePausePosition DeviceGenerateTimeLapse::GetDevicePosition() const
{
    return static_cast<DevicePausePosition>(device_position_.load());
}

void DeviceGenerateTimeLapse::SetPauseBeforeStream(bool is_pause)
{
    is_pause_before_stream_ = is_pause;
}

bool DeviceGenerateTimeLapse::IsPauseBeforeStream() const
{
    return is_pause_before_stream_;
}

void DeviceGenerateTimeLapse::SetStopPolling(bool is_stop)
{
    is_stop_polling_ = is_stop;
}

bool DeviceGenerateTimeLapse::IsStopPolling() const
{
    return is_stop_polling_;
}

bool DeviceGenerateTimeLapse::IsStreamStopped() const
{
    return is_stream_stopped_;
}

std::string DeviceGenerateTimeLapse::GetVideoPath() const
{
    std::lock_guard<std::mutex> lock(data_mutex_);
    return file_dir_ + "/" + file_name_ + ".mp4";
}

std::string DeviceGenerateTimeLapse::CurrentFilePath() const
{
    std::lock_guard<std::mutex> lock(data_mutex_);
    std::string path = file_dir_ + "/" + file_name_;
    if (download_state_ == 3)
        path += ".mp4";
    return path;
}

int DeviceGenerateTimeLapse::GetPercentage()
{
    const QFileInfo file(QString::fromStdString(CurrentFilePath()));
    std::string size_text;
    {
        std::lock_guard<std::mutex> lock(data_mutex_);
        size_text = device_file_info_.file_size;
    }
    if (!file.exists())
        return is_converting_ || is_file_seen_ ? 99 : 0;
    if (size_text.empty())
        return 0;
    if (is_converting_)
        return 99;
    is_file_seen_ = true;
    // A size text that is not a positive number gives no measure of progress.
    char *end = nullptr;
    const long long kilobytes = std::strtoll(size_text.c_str(), &end, 10);
    if (end == size_text.c_str() || kilobytes <= 0)
        return 99;
    const int percentage = static_cast<int>(static_cast<double>(file.size()) /
                                            (static_cast<double>(kilobytes) * 1024.0) * 100.0);
    return percentage == 0 ? 99 : percentage;
}

int64_t DeviceGenerateTimeLapse::GetFileSize()
{
    const QFileInfo file(QString::fromStdString(CurrentFilePath()));
    if (file.exists()) {
        file_size_ = file.size();
        return file_size_;
    }
    return is_converting_ || is_file_seen_ ? file_size_.load() : 0;
}

Quor::Base::Error::ErrorCode DeviceGenerateTimeLapse::GetErrorCode() const
{
    std::lock_guard<std::mutex> lock(data_mutex_);
    return error_code_;
}

void DeviceGenerateTimeLapse::SetErrorCode(const Quor::Base::Error::ErrorCode &code)
{
    std::lock_guard<std::mutex> lock(data_mutex_);
    error_code_ = code;
}

} // namespace TeskVideoSearch
