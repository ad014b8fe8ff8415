#include "PictureCompressionVideo.h"

#include "mirelog/Log.h"
#include "pluginmanager/PluginManager.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSize>

#include <chrono>
#include <climits>
#include <memory>
#include <thread>

namespace TeskVideoSearch {

using namespace tesk_videoplayhelper;

CPictureCompressionVideo::CPictureCompressionVideo()
    : ptr_transcod_library_(new CImageDataTranscoding())
{}

CPictureCompressionVideo::~CPictureCompressionVideo()
{
    delete ptr_transcod_library_;
}

bool CPictureCompressionVideo::DownLoadImage(
    const OrlPluginManager::TimeLapsePhotoRequestParam &request,
    OrlPluginManager::TimeLapsePhotoReponseParam &response)
{
    if (!OrlPluginManager::CResourceBusinessInterfaceMgr::Instance().DownLoadImage(request,
                                                                                   response)) {
        TESK_LOG_ERROR("DownLoadImage Failed, error_code: %s", response.error_info.c_str());
        return false;
    }
    if (!is_keep_info_) {
        image_count_ = response.image_count;
        std::lock_guard<std::mutex> lock(info_mutex_);
        image_dir_ = request.file_path;
        video_name_ = request.file_name;
    }
    return true;
}

bool CPictureCompressionVideo::StartPicConver(std::string dir, std::string name, int &error)
{
    if (!ptr_transcod_library_)
        return false;
    STREAM_INFO stream;
    stream.system_format = SYSTEM_FORMAT_MP4;
    stream.video_format = VIDEO_FORMAT_H264;
    stream.audio_format = 0;
    stream.packet_size = 2048;
    stream.video_info = VIDEO_INFO{25.0f, 1280, 720};
    VIDEO_INFO video{25.0f, 1280, 720};
    // Only the header is read: the size of the first picture decides the video's size.
    const QSize first = QImageReader(QString::fromStdString(dir + "/0.jpg")).size();
    if (first.isValid() && first.width() <= 0xffff && first.height() <= 0xffff) {
        video.width = static_cast<uint16_t>(first.width());
        video.height = static_cast<uint16_t>(first.height());
    }
    ptr_transcod_library_->Init();
    is_convert_begun_ = true;
    if (!StartSequentialConversion_FC(dir, name, stream, video, error)) {
        TESK_LOG_ERROR("StartSequentialConversion_FC Failed");
        return false;
    }
    const FRAME_INFO frame{1280, 720, 0, 0, 25, 0};
    if (!InsertPictureData(frame, error)) {
        int stop_error = 0;
        ptr_transcod_library_->StopConvert(stop_error);
        TESK_LOG_ERROR("InsertPictureData Failed");
        return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    if (!StopPicConver(error)) {
        TESK_LOG_ERROR("StopPicConver");
        return false;
    }
    if (!is_stop_)
        DeletePictures();
    return true;
}

bool CPictureCompressionVideo::StopPicConver(int &error)
{
    if (!ptr_transcod_library_ || !ptr_transcod_library_->StopConvert(error)) {
        TESK_LOG_ERROR("StopConvert Failed");
        return false;
    }
    return true;
}

bool CPictureCompressionVideo::StartSequentialConversion_FC(std::string dir, std::string name,
                                                            const STREAM_INFO &stream,
                                                            const VIDEO_INFO &video, int &error)
{
    if (!ptr_transcod_library_) {
        TESK_LOG_ERROR("StartSequentialConversion_FC ptr_transcod_library_ is nullptr");
        return false;
    }
    return ptr_transcod_library_->StartConvert(dir, name, stream, video, error);
}

bool CPictureCompressionVideo::InsertPictureData(const FRAME_INFO &frame, int &error)
{
    if (!ptr_transcod_library_) {
        TESK_LOG_ERROR("InsertPictureData ptr_transcod_library_ is nullptr");
        return false;
    }
    const std::string dir = GetImageDir();
    const int count = image_count_;
    for (int i = 0; i < count; ++i) {
        if (is_stop_)
            return true;
        QFile file(QString::fromStdString(dir + "/" + std::to_string(i) + ".jpg"));
        // A picture that cannot be opened or read whole is skipped: the transcoder only ever
        // sees complete pictures.
        if (!file.open(QIODevice::ReadOnly)) {
            TESK_LOG_ERROR("picture %d skipped: %s", i, file.errorString().toUtf8().constData());
            continue;
        }
        const qint64 size = file.size();
        if (size <= 0 || size > INT_MAX) {
            TESK_LOG_ERROR("picture %d skipped: size %lld", i, static_cast<long long>(size));
            continue;
        }
        std::unique_ptr<char[]> buffer(new char[static_cast<size_t>(size)]);
        const qint64 read = file.read(buffer.get(), size);
        file.close();
        if (read != size) {
            TESK_LOG_ERROR("picture %d skipped: read %lld of %lld bytes", i,
                           static_cast<long long>(read), static_cast<long long>(size));
            continue;
        }
        const bool ok = ptr_transcod_library_->FC_Start_Binary_MP4(
            buffer.get(), static_cast<long>(size), &frame, error);
        buffer.reset();
        if (!ok)
            return false;
    }
    return true;
}

void CPictureCompressionVideo::DeletePictures()
{
    const std::string dir = GetImageDir();
    const int count = image_count_;
    for (int i = 0; i < count; ++i)
        QFile::remove(QString::fromStdString(dir + "/" + std::to_string(i) + ".jpg"));
}

int64_t CPictureCompressionVideo::GetFileSize() const
{
    if (!ptr_transcod_library_)
        return 0;
    const QFileInfo info(QString::fromStdString(ptr_transcod_library_->GetWholeFilePath()));
    return info.exists() ? info.size() : 0;
}

std::string CPictureCompressionVideo::GetImageDir() const
{
    std::lock_guard<std::mutex> lock(info_mutex_);
    return image_dir_;
}

std::string CPictureCompressionVideo::GetVideoName() const
{
    std::lock_guard<std::mutex> lock(info_mutex_);
    return video_name_;
}

int CPictureCompressionVideo::GetImageCount() const
{
    return image_count_;
}

void CPictureCompressionVideo::SetStop(bool is_stop)
{
    if (ptr_transcod_library_)
        is_stop_ = is_stop;
}

bool CPictureCompressionVideo::IsStop() const
{
    return is_stop_;
}

void CPictureCompressionVideo::SetKeepInfo(bool is_keep_info)
{
    is_keep_info_ = is_keep_info;
}

bool CPictureCompressionVideo::IsConvertBegun() const
{
    return is_convert_begun_;
}

} // namespace TeskVideoSearch
