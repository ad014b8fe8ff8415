#pragma once

#include "pluginmanager/TimeLapseService.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace OrlPluginManager {

// The numbered pictures ("0.jpg", …) a provider wrote into each folder, so that the rerun of
// a paused download may replace its own pictures, and never anyone else's.
class CWrittenPictures
{
public:
    CWrittenPictures();
    // Removes the pictures recorded for `dir` and forgets them.
    void RemoveFrom(const std::string &dir);
    void Record(const std::string &dir, int count);

private:
    struct Data;
    std::shared_ptr<Data> data_;
};

// A time-lapse provider that serves pictures from directories or draws synthetic ones, and
// plays device jobs from prepared video files. Used by the command-line host and the tests;
// the recording server answers the same interface from its catalogue.
class CDirectoryTimeLapseProvider : public ITimeLapseProvider
{
public:
    struct CameraPictures
    {
        // Pictures to serve (ListPictures). Empty: synthetic pictures, one per capture interval
        // of the requested span.
        std::string picture_dir;
        int synthetic_width = 640;
        int synthetic_height = 360;
        int capture_interval = 60;
        int max_pictures = 0; // 0: no limit
        bool fail = false;    // the download fails, as an unreachable storage would
    };

    struct DeviceCamera
    {
        std::string video_path; // the device's finished video
        int progress_step = 50; // percent gained per status poll
        bool fail = false;      // status 4 at the first poll
        size_t chunk_size = 256 * 1024;
    };

    // A folder of pictures as served: "0.jpg", "1.jpg", … ("*.jpeg" too) by number, or, when no
    // name is a number, every "*.jpg" in name order. A picture whose header cannot be read is
    // left out and listed apart; missing numbers are listed as gaps.
    struct PictureListing
    {
        std::vector<std::string> pictures;     // readable, in order
        std::vector<std::string> unreadable;   // in order
        std::vector<std::pair<int, int>> gaps; // first and last missing number
    };
    static PictureListing ListPictures(const std::string &dir);

    void SetCameraPictures(const std::string &camera_id, const CameraPictures &pictures);
    void SetDeviceCamera(const std::string &camera_id, const DeviceCamera &device);

    // Seconds since 1970 of "yyyy-MM-dd" and "HH:mm:ss" texts read as local time; -1 if invalid.
    static int64_t ParseLocalTime(const std::string &date, const std::string &time);

    bool DownLoadImage(const TimeLapsePhotoRequestParam &request, const std::atomic<bool> &abort,
                       TimeLapsePhotoReponseParam &response) override;
    bool
    GetDeviceTimeLapseFileCreting(const DeviceTimeLapsePhotoCreateStatusRequestParam &request,
                                  DeviceTimeLapsePhotoCreateStatusResponseParam &response) override;
    bool
    GetDeviceTimeLapseRecordFileInfo(const DeviceTimeLapseRecordFileInfoRequestParam &request,
                                     DeviceTimeLapseRecordFileInfoResponseParam &response) override;
    bool StreamDeviceTimeLapse(const DeviceTimeLapseStreamRequest &request, const StreamSink &sink,
                               const std::atomic<bool> &abort,
                               Quor::Base::Error::ErrorCode &error) override;

private:
    struct Job
    {
        std::string camera_id;
        int progress = 0;
    };

    bool ExportPictures(const TimeLapsePhotoRequestParam &request, const CameraPictures &source,
                        const std::atomic<bool> &abort, TimeLapsePhotoReponseParam &response);
    bool FindDeviceCamera(const std::string &job_id, DeviceCamera &out, Job **job);

    std::mutex mutex_;
    std::map<std::string, CameraPictures> pictures_;
    std::map<std::string, DeviceCamera> devices_;
    std::map<std::string, Job> jobs_;
    CWrittenPictures written_;
};

} // namespace OrlPluginManager
