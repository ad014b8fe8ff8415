#include "DirectoryTimeLapseProvider.h"

#include "mirelog/Log.h"

#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QTime>

#include <algorithm>
#include <cstdio>
#include <map>
#include <unistd.h>

namespace OrlPluginManager {

namespace {

void Fail(TimeLapsePhotoReponseParam &response, int code, const std::string &text)
{
    response.module_error_code = TimeLapseError::kModule;
    response.error_code = code;
    response.error_info = text;
}

QImage SyntheticPicture(int width, int height, int index)
{
    QImage image(width, height, QImage::Format_RGB32);
    const int shift = index * 7;
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb((x + shift) & 0xff, (y + shift / 2) & 0xff, (x + y + index) & 0xff);
    }
    // A square that moves from picture to picture, so that consecutive frames differ.
    const int side = std::max(4, height / 6);
    const int left = (index * 13) % std::max(1, width - side);
    const int top = (index * 5) % std::max(1, height - side);
    for (int y = top; y < top + side; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        std::fill(line + left, line + left + side, qRgb(255, 255, 255));
    }
    return image;
}

bool IsReadablePicture(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.canRead() && reader.size().isValid() && !reader.size().isEmpty();
}

} // namespace

struct CWrittenPictures::Data
{
    std::mutex mutex;
    std::map<std::string, int> counts;
};

CWrittenPictures::CWrittenPictures()
    : data_(std::make_shared<Data>())
{}

void CWrittenPictures::RemoveFrom(const std::string &dir)
{
    int count = 0;
    {
        std::lock_guard<std::mutex> lock(data_->mutex);
        const auto it = data_->counts.find(dir);
        if (it == data_->counts.end())
            return;
        count = it->second;
        data_->counts.erase(it);
    }
    const QDir folder(QString::fromStdString(dir));
    for (int i = 0; i < count; ++i)
        QFile::remove(folder.filePath(QString::number(i) + ".jpg"));
}

void CWrittenPictures::Record(const std::string &dir, int count)
{
    std::lock_guard<std::mutex> lock(data_->mutex);
    int &recorded = data_->counts[dir];
    recorded = std::max(recorded, count);
}

CDirectoryTimeLapseProvider::PictureListing
CDirectoryTimeLapseProvider::ListPictures(const std::string &dir)
{
    const QDir source(QString::fromStdString(dir));
    const QStringList names =
        source.entryList({"*.jpg", "*.jpeg", "*.JPG", "*.JPEG"}, QDir::Files, QDir::Name);
    std::map<qint64, QString> numbered;
    for (const QString &name : names) {
        bool number = false;
        const qint64 n = name.left(name.lastIndexOf('.')).toLongLong(&number);
        // "007.jpg" and "+1.jpg" are names, not numbers.
        if (number && n >= 0 && QString::number(n) + name.mid(name.lastIndexOf('.')) == name)
            numbered.emplace(n, name);
    }
    QStringList ordered;
    PictureListing listing;
    if (numbered.empty()) {
        ordered = names;
    } else {
        qint64 expected = 0;
        for (const auto &entry : numbered) {
            if (entry.first > expected)
                listing.gaps.emplace_back(static_cast<int>(expected),
                                          static_cast<int>(entry.first - 1));
            expected = entry.first + 1;
            ordered << entry.second;
        }
    }
    for (const QString &name : ordered) {
        const QString path = source.filePath(name);
        (IsReadablePicture(path) ? listing.pictures : listing.unreadable)
            .push_back(path.toStdString());
    }
    return listing;
}

void CDirectoryTimeLapseProvider::SetCameraPictures(const std::string &camera_id,
                                                    const CameraPictures &pictures)
{
    std::lock_guard<std::mutex> lock(mutex_);
    pictures_[camera_id] = pictures;
}

void CDirectoryTimeLapseProvider::SetDeviceCamera(const std::string &camera_id,
                                                  const DeviceCamera &device)
{
    std::lock_guard<std::mutex> lock(mutex_);
    devices_[camera_id] = device;
}

int64_t CDirectoryTimeLapseProvider::ParseLocalTime(const std::string &date,
                                                    const std::string &time)
{
    const QDate d = QDate::fromString(QString::fromStdString(date), "yyyy-MM-dd");
    const QTime t = QTime::fromString(QString::fromStdString(time), "HH:mm:ss");
    if (!d.isValid() || !t.isValid())
        return -1;
    return QDateTime(d, t, Qt::LocalTime).toSecsSinceEpoch();
}

bool CDirectoryTimeLapseProvider::DownLoadImage(const TimeLapsePhotoRequestParam &request,
                                                const std::atomic<bool> &abort,
                                                TimeLapsePhotoReponseParam &response)
{
    CameraPictures source;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (request.generate_mode == 1) {
            if (!devices_.count(request.camera_resource_id)) {
                Fail(response, TimeLapseError::kUnknownCamera, "no device for the camera");
                return false;
            }
            jobs_[request.job_id] = Job{request.camera_resource_id, 0};
            response.image_count = 0;
            return true;
        }
        const auto it = pictures_.find(request.camera_resource_id);
        if (it == pictures_.end()) {
            Fail(response, TimeLapseError::kUnknownCamera, "no pictures for the camera");
            return false;
        }
        source = it->second;
    }
    if (source.fail) {
        Fail(response, TimeLapseError::kNoPictures, "the capture storage is not reachable");
        return false;
    }
    return ExportPictures(request, source, abort, response);
}

bool CDirectoryTimeLapseProvider::ExportPictures(const TimeLapsePhotoRequestParam &request,
                                                 const CameraPictures &source,
                                                 const std::atomic<bool> &abort,
                                                 TimeLapsePhotoReponseParam &response)
{
    const QString out_dir = QString::fromStdString(request.file_path);
    if (!QDir().mkpath(out_dir)) {
        Fail(response, TimeLapseError::kWriteFailed, "cannot create " + request.file_path);
        return false;
    }
    QStringList files;
    int count = 0;
    if (!source.picture_dir.empty()) {
        const PictureListing listing = ListPictures(source.picture_dir);
        for (const std::string &file : listing.pictures)
            files << QString::fromStdString(file);
        count = files.size();
        if (count == 0 && !listing.unreadable.empty()) {
            Fail(response, TimeLapseError::kNoPictures,
                 "no picture of " + source.picture_dir + " can be read, the first being " +
                     listing.unreadable.front());
            return false;
        }
    } else {
        const int64_t begin = ParseLocalTime(request.start_date, request.start_time);
        const int64_t end = ParseLocalTime(request.end_date, request.end_time);
        if (begin < 0 || end < begin) {
            Fail(response, TimeLapseError::kNoPictures, "invalid time span");
            return false;
        }
        const int64_t captures = (end - begin) / std::max(1, source.capture_interval) + 1;
        count = static_cast<int>(source.max_pictures > 0
                                     ? std::min<int64_t>(captures, source.max_pictures)
                                     : std::min<int64_t>(captures, 100000));
    }
    if (count == 0) {
        Fail(response, TimeLapseError::kNoPictures, "no pictures in the span");
        return false;
    }
    // A rerun after a pause writes where the first run did.
    written_.RemoveFrom(request.file_path);
    for (int i = 0; i < count; ++i) {
        written_.Record(request.file_path, i);
        if (abort.load()) {
            // The task was paused: its resume downloads all pictures again.
            response.image_count = count;
            response.error_info = "picture download aborted";
            TESK_LOG_INFO("time-lapse pictures of %s aborted after %d of %d",
                          request.camera_resource_id.c_str(), i, count);
            return true;
        }
        const QString target = out_dir + "/" + QString::number(i) + ".jpg";
        // Whatever is there already belongs to someone else and stays.
        if (QFileInfo::exists(target)) {
            Fail(response, TimeLapseError::kWriteFailed,
                 "cannot write " + target.toStdString() + ": a file of that name exists");
            return false;
        }
        bool written;
        QString reason;
        if (!files.isEmpty()) {
            // A hard link costs nothing and leaves the source untouched when the copy is removed.
            written = ::link(QFile::encodeName(files[i]).constData(),
                             QFile::encodeName(target).constData()) == 0;
            if (!written) {
                QFile copy(files[i]);
                written = copy.copy(target);
                reason = copy.errorString();
            }
        } else {
            QFile file(target);
            written = file.open(QIODevice::WriteOnly | QIODevice::NewOnly) &&
                      SyntheticPicture(source.synthetic_width, source.synthetic_height, i)
                          .save(&file, "JPG", 85) &&
                      file.flush();
            reason = file.errorString();
            if (!written && file.isOpen())
                file.remove();
        }
        if (!written) {
            Fail(response, TimeLapseError::kWriteFailed,
                 "cannot write " + target.toStdString() + ": " + reason.toStdString());
            return false;
        }
    }
    written_.Record(request.file_path, count);
    response.image_count = count;
    TESK_LOG_INFO("time-lapse pictures of %s: %d into %s", request.camera_resource_id.c_str(),
                  count, request.file_path.c_str());
    return true;
}

bool CDirectoryTimeLapseProvider::FindDeviceCamera(const std::string &job_id, DeviceCamera &out,
                                                   Job **job)
{
    const auto it = jobs_.find(job_id);
    if (it == jobs_.end())
        return false;
    const auto device = devices_.find(it->second.camera_id);
    if (device == devices_.end())
        return false;
    out = device->second;
    *job = &it->second;
    return true;
}

bool CDirectoryTimeLapseProvider::GetDeviceTimeLapseFileCreting(
    const DeviceTimeLapsePhotoCreateStatusRequestParam &request,
    DeviceTimeLapsePhotoCreateStatusResponseParam &response)
{
    std::lock_guard<std::mutex> lock(mutex_);
    DeviceCamera device;
    Job *job = nullptr;
    if (!FindDeviceCamera(request.job_id, device, &job)) {
        response.module_error_code = TimeLapseError::kModule;
        response.error_code = TimeLapseError::kUnknownJob;
        return false;
    }
    if (device.fail) {
        response.status = DeviceTimeLapseFailed;
        response.module_error_code = TimeLapseError::kModule;
        response.error_code = TimeLapseError::kDeviceFailed;
        return true;
    }
    job->progress = std::min(100, job->progress + std::max(1, device.progress_step));
    response.progress = job->progress;
    response.status = job->progress >= 100 ? DeviceTimeLapseFinished : DeviceTimeLapseCreating;
    return true;
}

bool CDirectoryTimeLapseProvider::GetDeviceTimeLapseRecordFileInfo(
    const DeviceTimeLapseRecordFileInfoRequestParam &request,
    DeviceTimeLapseRecordFileInfoResponseParam &response)
{
    std::lock_guard<std::mutex> lock(mutex_);
    DeviceCamera device;
    Job *job = nullptr;
    if (!FindDeviceCamera(request.job_id, device, &job)) {
        response.module_error_code = TimeLapseError::kModule;
        response.error_code = TimeLapseError::kUnknownJob;
        return false;
    }
    const QFileInfo info(QString::fromStdString(device.video_path));
    if (!info.isFile()) {
        response.module_error_code = TimeLapseError::kModule;
        response.error_code = TimeLapseError::kNoVideo;
        return false;
    }
    response.record_file_info.file_name = info.fileName().toStdString();
    response.record_file_info.file_size = std::to_string(std::max<qint64>(1, info.size() / 1024));
    return true;
}

bool CDirectoryTimeLapseProvider::StreamDeviceTimeLapse(const DeviceTimeLapseStreamRequest &request,
                                                        const StreamSink &sink,
                                                        const std::atomic<bool> &abort,
                                                        Quor::Base::Error::ErrorCode &error)
{
    DeviceCamera device;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto it = devices_.find(request.camera_resource_id);
        if (it == devices_.end()) {
            error = {TimeLapseError::kModule, TimeLapseError::kUnknownCamera};
            return false;
        }
        device = it->second;
    }
    QFile file(QString::fromStdString(device.video_path));
    if (!file.open(QIODevice::ReadOnly)) {
        error = {TimeLapseError::kModule, TimeLapseError::kNoVideo};
        return false;
    }
    std::vector<char> buffer(std::max<size_t>(1, device.chunk_size));
    while (!file.atEnd()) {
        if (abort.load()) {
            error = {TimeLapseError::kModule, TimeLapseError::kAborted};
            return false;
        }
        const qint64 n = file.read(buffer.data(), static_cast<qint64>(buffer.size()));
        if (n < 0) {
            error = {TimeLapseError::kModule, TimeLapseError::kNoVideo};
            return false;
        }
        if (!sink(buffer.data(), static_cast<size_t>(n))) {
            error = {TimeLapseError::kModule, TimeLapseError::kAborted};
            return false;
        }
    }
    return true;
}

} // namespace OrlPluginManager
