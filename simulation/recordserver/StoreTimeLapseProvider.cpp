#include "StoreTimeLapseProvider.h"

#include "mirelog/Log.h"

namespace teskrecordserver {

namespace {

using OrlPluginManager::TimeLapseError::kModule;

bool Fail(OrlPluginManager::TimeLapsePhotoReponseParam &response, int code, const std::string &text)
{
    response.module_error_code = kModule;
    response.error_code = code;
    response.error_info = text;
    TESK_LOG_ERROR("time-lapse pictures: %s", text.c_str());
    return false;
}

} // namespace

CStoreTimeLapseProvider::CStoreTimeLapseProvider(std::shared_ptr<CRecordingServer> server)
    : server_(std::move(server))
    , cameras_(server_->Catalogue().Cameras())
{
    for (const CameraRow &camera : cameras_) {
        OrlPluginManager::CDirectoryTimeLapseProvider::DeviceCamera device;
        device.fail = server_->Catalogue().SearchFailure(camera.site_id, camera.id).has_value();
        // Only the first recording matters: reading all of them made every tool that opens a
        // large store wait for a hundred thousand rows.
        if (const auto first = server_->Catalogue().FirstRecording(camera.site_id, camera.id)) {
            const int64_t time = first->begin;
            device.video_path =
                server_->MediaCache().PathOf(camera, server_->MediaFormatOfStore(), time);
            video_times_[camera.id] = time;
        }
        // A camera without recorded media has no device video; its job then fails.
        device.fail = device.fail || device.video_path.empty();
        devices_.SetDeviceCamera(camera.id, device);
    }
}

void CStoreTimeLapseProvider::Install(const std::shared_ptr<CRecordingServer> &server)
{
    OrlPluginManager::CTimeLapseProviderRegistry::SetProvider(
        std::make_shared<CStoreTimeLapseProvider>(server));
}

const CameraRow *CStoreTimeLapseProvider::FindCamera(const std::string &camera_id) const
{
    for (const CameraRow &camera : cameras_) {
        if (camera.id == camera_id)
            return &camera;
    }
    return nullptr;
}

bool CStoreTimeLapseProvider::DownLoadImage(
    const OrlPluginManager::TimeLapsePhotoRequestParam &request, const std::atomic<bool> &abort,
    OrlPluginManager::TimeLapsePhotoReponseParam &response)
{
    if (request.generate_mode == 1) {
        // The device's video exists from the moment its job starts.
        const CameraRow *camera = FindCamera(request.camera_resource_id);
        const auto time = video_times_.find(request.camera_resource_id);
        if (camera && time != video_times_.end() &&
            !server_->Catalogue().SearchFailure(camera->site_id, camera->id)) {
            std::lock_guard<std::mutex> lock(videos_mutex_);
            CMediaLease &video = videos_[camera->id];
            std::string error;
            if (!video.IsValid() &&
                !server_->MediaCache().Acquire(*camera, server_->MediaFormatOfStore(), time->second,
                                               video, error))
                return Fail(response, OrlPluginManager::TimeLapseError::kNoVideo, error);
        }
        return devices_.DownLoadImage(request, abort, response);
    }
    const CameraRow *camera = FindCamera(request.camera_resource_id);
    if (!camera)
        return Fail(response, OrlPluginManager::TimeLapseError::kUnknownCamera,
                    "unknown camera " + request.camera_resource_id);
    const int64_t begin = OrlPluginManager::CDirectoryTimeLapseProvider::ParseLocalTime(
        request.start_date, request.start_time);
    const int64_t end = OrlPluginManager::CDirectoryTimeLapseProvider::ParseLocalTime(
        request.end_date, request.end_time);
    if (begin < 0 || end < begin)
        return Fail(response, OrlPluginManager::TimeLapseError::kNoPictures,
                    "invalid time span " + request.start_date + " " + request.start_time + " - " +
                        request.end_date + " " + request.end_time);
    const size_t available =
        server_->Catalogue().CapturePictures(camera->site_id, camera->id, begin, end).size();
    if (available == 0)
        return Fail(response, OrlPluginManager::TimeLapseError::kNoPictures,
                    "no capture pictures of " + camera->id + " in the span");
    // A rerun after a pause writes where the first run did; the export never writes over a file.
    written_.RemoveFrom(request.file_path);
    std::string error;
    const int written = server_->ExportCapturePictures(camera->site_id, camera->id, begin, end,
                                                       request.file_path, &abort, error);
    written_.Record(request.file_path, written);
    if (written < 0)
        return Fail(response, OrlPluginManager::TimeLapseError::kWriteFailed, error);
    // A paused task downloads every picture again when it resumes, so it keeps the full count.
    response.image_count = abort.load() ? static_cast<int>(available) : written;
    if (response.image_count == 0)
        return Fail(response, OrlPluginManager::TimeLapseError::kNoPictures,
                    "no capture picture of " + camera->id + " could be read");
    return true;
}

bool CStoreTimeLapseProvider::GetDeviceTimeLapseFileCreting(
    const OrlPluginManager::DeviceTimeLapsePhotoCreateStatusRequestParam &request,
    OrlPluginManager::DeviceTimeLapsePhotoCreateStatusResponseParam &response)
{
    return devices_.GetDeviceTimeLapseFileCreting(request, response);
}

bool CStoreTimeLapseProvider::GetDeviceTimeLapseRecordFileInfo(
    const OrlPluginManager::DeviceTimeLapseRecordFileInfoRequestParam &request,
    OrlPluginManager::DeviceTimeLapseRecordFileInfoResponseParam &response)
{
    return devices_.GetDeviceTimeLapseRecordFileInfo(request, response);
}

bool CStoreTimeLapseProvider::StreamDeviceTimeLapse(
    const OrlPluginManager::DeviceTimeLapseStreamRequest &request,
    const OrlPluginManager::StreamSink &sink, const std::atomic<bool> &abort,
    Quor::Base::Error::ErrorCode &error)
{
    return devices_.StreamDeviceTimeLapse(request, sink, abort, error);
}

} // namespace teskrecordserver
