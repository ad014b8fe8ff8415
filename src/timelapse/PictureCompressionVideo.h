#pragma once

#include "TeskVideoSearchExport.h"
#include "pluginmanager/TimeLapseService.h"
#include "videoplayhelper/ImageDataTranscoding.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace TeskVideoSearch {

// Compresses the pictures of a capture-plan time-lapse task ("0.jpg" onwards in the task's
// directory) into one MP4 file and removes them. A stop set by a pause ends the feeding between
// two pictures and keeps the pictures for a later rerun.
class TESKVIDEOSEARCH_EXPORT CPictureCompressionVideo : public QObject
{
    Q_OBJECT
public:
    CPictureCompressionVideo();
    ~CPictureCompressionVideo() override;

    bool DownLoadImage(const OrlPluginManager::TimeLapsePhotoRequestParam &request,
                       OrlPluginManager::TimeLapsePhotoReponseParam &response);
    bool StartPicConver(std::string dir, std::string name, int &error);
    bool StopPicConver(int &error);
    bool StartSequentialConversion_FC(std::string dir, std::string name,
                                      const tesk_videoplayhelper::STREAM_INFO &stream,
                                      const tesk_videoplayhelper::VIDEO_INFO &video, int &error);
    bool InsertPictureData(const tesk_videoplayhelper::FRAME_INFO &frame, int &error);

    void DeletePictures();
    int64_t GetFileSize() const;
    std::string GetImageDir() const;
    std::string GetVideoName() const;
    int GetImageCount() const;
    void SetStop(bool is_stop);
    bool IsStop() const;
    void SetKeepInfo(bool is_keep_info);
    bool IsConvertBegun() const;

signals:
    void SignalCapturePlan();

private:
    std::atomic<bool> is_stop_{false};
    tesk_videoplayhelper::CImageDataTranscoding *ptr_transcod_library_ = nullptr;
    std::atomic<int> image_count_{0};
    std::string image_dir_;
    std::string video_name_;
    std::atomic<bool> is_convert_begun_{false};
    std::atomic<bool> is_keep_info_{false};
    // Guards the directory and name, read by the pausing thread for file removal.
    mutable std::mutex info_mutex_;
};

} // namespace TeskVideoSearch
