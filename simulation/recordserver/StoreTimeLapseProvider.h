#pragma once

#include "recordserver/RecordingServer.h"

#include "doubles/DirectoryTimeLapseProvider.h"
#include "pluginmanager/TimeLapseService.h"

#include <map>
#include <memory>
#include <mutex>

namespace teskrecordserver {

// Answers the host's time-lapse requests from the store: capture-plan pictures come from the
// catalogue; a device-built video is the camera's own recorded media (the piece of it that
// shows the start of its first recording, generated when a job asks for it and kept while the
// provider lives), and a camera whose searches are set up to fail has its device job fail too.
class CStoreTimeLapseProvider : public OrlPluginManager::ITimeLapseProvider
{
public:
    explicit CStoreTimeLapseProvider(std::shared_ptr<CRecordingServer> server);

    // Makes a provider of `server` the one every time-lapse request goes to.
    static void Install(const std::shared_ptr<CRecordingServer> &server);

    bool DownLoadImage(const OrlPluginManager::TimeLapsePhotoRequestParam &request,
                       const std::atomic<bool> &abort,
                       OrlPluginManager::TimeLapsePhotoReponseParam &response) override;
    bool GetDeviceTimeLapseFileCreting(
        const OrlPluginManager::DeviceTimeLapsePhotoCreateStatusRequestParam &request,
        OrlPluginManager::DeviceTimeLapsePhotoCreateStatusResponseParam &response) override;
    bool GetDeviceTimeLapseRecordFileInfo(
        const OrlPluginManager::DeviceTimeLapseRecordFileInfoRequestParam &request,
        OrlPluginManager::DeviceTimeLapseRecordFileInfoResponseParam &response) override;
    bool StreamDeviceTimeLapse(const OrlPluginManager::DeviceTimeLapseStreamRequest &request,
                               const OrlPluginManager::StreamSink &sink,
                               const std::atomic<bool> &abort,
                               Quor::Base::Error::ErrorCode &error) override;

private:
    const CameraRow *FindCamera(const std::string &camera_id) const;

    std::shared_ptr<CRecordingServer> server_;
    std::vector<CameraRow> cameras_;
    std::map<std::string, int64_t> video_times_; // camera id: the time its device video shows
    std::mutex videos_mutex_;
    std::map<std::string, CMediaLease> videos_; // camera id: its device video, once asked for
    // Device jobs: polling, file description and streaming of a prepared video per camera.
    OrlPluginManager::CDirectoryTimeLapseProvider devices_;
    OrlPluginManager::CWrittenPictures written_;
};

} // namespace teskrecordserver
