#include "MediaResolver.h"
#include "RecordingServer.h"

#include <QDir>

#include "mirelog/Log.h"
#include "quorbase/Util.h"

#include <algorithm>
#include <cmath>

namespace teskrecordserver {

using teskplaycontroller::MediaPiece;
using teskplaycontroller::ResourceKey;

bool ResolveRecordingMedia(const CRecordCatalogue &catalogue, const std::string &store_dir,
                           const ResourceKey &camera, int64_t begin, int64_t end,
                           std::vector<MediaPiece> &out, std::string &error)
{
    out.clear();
    if (end <= begin) {
        error = "The span to export is empty.";
        return false;
    }
    for (const RecordingRow &recording :
         catalogue.Recordings(camera.site_id, camera.resource_id, begin, end)) {
        const int64_t from = std::max(begin, recording.begin);
        const int64_t to = std::min(end, recording.end);
        if (to <= from)
            continue;
        const auto media = catalogue.MediaFile(recording.media_id);
        if (!media || media->duration <= 0) {
            error = "The recording " + recording.file_name + " has no media file.";
            TESK_LOG_ERROR("%s", error.c_str());
            return false;
        }
        const std::string path = store_dir + "/" + media->path;
        // A recording longer than its media file shows that file over and over.
        double position =
            std::fmod(recording.media_offset + double(from - recording.begin), media->duration);
        double left = double(to - from);
        while (left > 1e-6) {
            const double take = std::min(left, media->duration - position);
            out.push_back({path, position, position + take});
            left -= take;
            position = 0;
        }
    }
    if (out.empty()) {
        error = "No recording of camera " + camera.resource_id + " covers " +
                Quor::Base::TimeUtil::TimeT2ISODatetime(begin, 0, true) + " to " +
                Quor::Base::TimeUtil::TimeT2ISODatetime(end, 0, true) + ".";
        return false;
    }
    return true;
}

bool CRecordingServer::ResolveMedia(const ResourceKey &camera, int64_t begin, int64_t end,
                                    std::vector<MediaPiece> &out, std::string &error)
{
    return ResolveRecordingMedia(catalogue_, dir_, camera, begin, end, out, error);
}

CStoreStatus CCatalogueMediaSource::Open(const std::string &store_dir)
{
    store_dir_ = store_dir;
    const QString path = QDir(QString::fromStdString(store_dir))
                             .filePath(QString::fromLatin1(CRecordingServer::kCatalogueFile));
    if (!QFile::exists(path))
        return CStoreStatus::Fail(StoreError::Io, "There is no store in " + store_dir + ".");
    return catalogue_.Open(path.toStdString());
}

const CRecordCatalogue &CCatalogueMediaSource::Catalogue() const
{
    return catalogue_;
}

teskplaycontroller::CameraSearchAnswer
CCatalogueMediaSource::SearchCamera(const teskplaycontroller::CameraVideoSearchCondition &,
                                    const teskplaycontroller::TeskCameraInfo &,
                                    const std::atomic<bool> &)
{
    teskplaycontroller::CameraSearchAnswer answer;
    answer.failed = true;
    return answer;
}

void CCatalogueMediaSource::SearchVCA(const teskplaycontroller::VCAIncrementalCondition &,
                                      teskplaycontroller::IVCAResultSink &,
                                      const std::atomic<bool> &)
{}

bool CCatalogueMediaSource::DecodeFrame(const ResourceKey &, int64_t, QImage &, std::string &error)
{
    error = "This source only exports recordings.";
    return false;
}

bool CCatalogueMediaSource::ResolveMedia(const ResourceKey &camera, int64_t begin, int64_t end,
                                         std::vector<MediaPiece> &out, std::string &error)
{
    return ResolveRecordingMedia(catalogue_, store_dir_, camera, begin, end, out, error);
}

} // namespace teskrecordserver
