// Result extraction and splitting of CVideoSearchController: the slices that result pages
// show, the automatic and on-demand splitting of regular recordings into segments.

#include "search/VideoSearchController.h"
#include "search/VideoSearchController_p.h"

#include "mirelog/Log.h"
#include "playcontroller/RearrageRecordFile.h"

#include <QThreadPool>
#include <QtConcurrent>

#include <algorithm>

namespace TeskVideoSearch {

using teskplaycontroller::ResourceKey;

namespace {

CameraFilesList SegmentsByLength(const CCameraBaseInfo &camera, const PlaybackFileVector &files,
                                 int split_length)
{
    CameraFilesList segments;
    if (files.isEmpty())
        return segments;
    teskplaycontroller::VideoFileSplitParam request;
    if (files.first())
        request.begin_time = files.first()->GetFileBegTime();
    if (files.last())
        request.end_time = files.last()->GetFileEndTime();
    request.split_length = split_length;
    request.resource_key = *camera.GetVal_camera_key().GetDataPtr();
    request.vc_files.assign(files.begin(), files.end());
    teskplaycontroller::SegmentFileMap map;
    teskplaycontroller::CRearrageRecordFileImpl::RearrageRecordFilesByLength(map, request);
    segments.reserve(static_cast<int>(map.size()));
    for (const auto &segment : map) {
        segments.append(
            qMakePair(camera, PlaybackFileVector(segment.second.begin(), segment.second.end())));
    }
    return segments;
}

using CameraObjects = std::vector<std::shared_ptr<teskplaycontroller::CCameraForPlay>>;

// True when the camera's recordings are kept one file per segment (storage media type 7).
bool IsPerFileStore(const CameraObjects &cameras, const ResourceKey &key)
{
    for (const auto &camera : cameras) {
        if (!camera || camera->GetCameraID() != key.resource_id ||
            camera->GetSiteID() != key.site_id)
            continue;
        teskplaycontroller::COrlPlayBackParamSet params;
        return camera->GetPlaybackParam(params) &&
               params.GetVal_storage_media_type() == ResourceData::StorageMediaPerFile;
    }
    return false;
}

CameraFilesList SegmentsOfCamera(const CameraFilesEntry &entry, const CameraObjects &cameras,
                                 int split_length)
{
    if (!IsPerFileStore(cameras, entry.first.GetDataPtr()->camera_key))
        return SegmentsByLength(entry.first, entry.second, split_length);
    CameraFilesList segments;
    segments.reserve(entry.second.size());
    for (const PlaybackFilePtr &file : entry.second)
        segments.append(qMakePair(entry.first, PlaybackFileVector{file}));
    return segments;
}

CameraObjects CamerasOfCondition(const VideoSearchControllerData &data)
{
    CameraObjects cameras;
    for (const auto &info : data.search_condition_.tesk_camera_info)
        cameras.push_back(info.ptr_camera_for_play);
    return cameras;
}

} // namespace

void CVideoSearchController::GetVideoFiles(CameraFilesList &out, CVideoFileParam &param)
{
    switch (param.GetVal_data_type()) {
    case RegularVideo:
        GetCutVideoFiles(out, param);
        break;
    case PersonDetectVideo:
    case VehicleDetectVideo:
        GetPersonVehicleVideoFiles(out, param);
        break;
    case EventAlarmVideo:
    case TagVideo:
    case OtherVideo:
        GetTagVideoFiles(out, param);
        break;
    case LockVideo:
    case AllCameraFileVideo:
    case VcaSearchVideo:
        GetCommonVideoFiles(out, param);
        break;
    }
}

namespace {

void FilePage(VideoSearchControllerData &data, CameraFilesList &out, const VideoFileParam &param,
              int order)
{
    data.store_queries_.Page(out, CStoreQueries::FileStore, data.camera_files_.Snapshot(),
                             CKindRule::UnderCondition(param.data_type, data.search_condition_),
                             order, param.qvc_filter_camera_keys, param.begin_index,
                             param.end_index);
}

} // namespace

void CVideoSearchController::GetCommonVideoFiles(CameraFilesList &out, CVideoFileParam &param)
{
    const VideoFileParam &request = *param.GetDataPtr();
    if (request.qvc_filter_camera_keys.isEmpty())
        return;
    int order = request.show_type;
    if (order == SortNewestFirst &&
        !(request.data_type == VcaSearchVideo && data_->is_vca_search_end_))
        order = SortStored;
    if (order != SortStored && order != SortBeginAscending && order != SortNewestFirst)
        return;
    FilePage(*data_, out, request, order);
}

void CVideoSearchController::GetTagVideoFiles(CameraFilesList &out, CVideoFileParam &param)
{
    const VideoFileParam &request = *param.GetDataPtr();
    if (request.qvc_filter_camera_keys.isEmpty())
        return;
    if (request.show_type != SortStored && request.show_type != SortBeginAscending)
        return;
    FilePage(*data_, out, request, request.show_type);
}

void CVideoSearchController::GetPersonVehicleVideoFiles(CameraFilesList &out,
                                                        CVideoFileParam &param)
{
    const VideoFileParam &request = *param.GetDataPtr();
    if (request.qvc_filter_camera_keys.isEmpty())
        return;
    if (request.show_type != SortStored && request.show_type != SortBeginAscending)
        return;
    FilePage(*data_, out, request, request.show_type);
}

void CVideoSearchController::GetCutVideoFiles(CameraFilesList &out, CVideoFileParam &param)
{
    const VideoFileParam &request = *param.GetDataPtr();
    if (!data_->custom_split_info_.qvc_playback_files.isEmpty()) {
        GetVideoFilesByIndex(out, data_->qvc_custom_split_files_, request.begin_index,
                             request.end_index);
        return;
    }
    if (request.qvc_filter_camera_keys.isEmpty())
        return;
    if (request.show_type != SortStored && request.show_type != SortBeginAscending)
        return;
    data_->store_queries_.Page(out, CStoreQueries::SegmentStore, data_->segment_files_.Snapshot(),
                               CKindRule(RegularVideo, -1), request.show_type,
                               request.qvc_filter_camera_keys, request.begin_index,
                               request.end_index);
}

void CVideoSearchController::GetVideoFilesByIndex(CameraFilesList &out, const CameraFilesList &list,
                                                  const int &begin_index, const int &end_index)
{
    out.clear();
    if (list.isEmpty() || begin_index < 0 || begin_index >= list.size() || end_index < begin_index)
        return;
    out = list.mid(begin_index, std::min(end_index, list.size() - 1) - begin_index + 1);
}

bool CVideoSearchController::IsOverlapTime(std::shared_ptr<CPlaybackFile> file,
                                           const int64_t &begin, const int64_t &end)
{
    if (!file)
        return false;
    const int64_t file_begin = file->GetFileBegTime();
    const int64_t file_end = file->GetFileEndTime();
    if (begin < file_begin && end < file_begin)
        return false;
    if (begin > file_end && end > file_end)
        return false;
    return true;
}

void CVideoSearchController::SplitOriginalFile(CCameraBaseInfo &camera)
{
    CameraFilesEntry entry;
    uint64_t files_generation = 0;
    if (!data_->camera_files_.CameraEntry(camera.GetDataPtr()->camera_key, entry,
                                          files_generation) ||
        entry.second.isEmpty())
        return;
    const CameraFilesList segments =
        SegmentsOfCamera(entry, CamerasOfCondition(*data_), data_->split_time_duration_);
    if (segments.isEmpty())
        return;
    // A re-split that copied the files after this answer arrived has split it already.
    data_->segment_files_.AppendSplit(segments, files_generation);
}

void CVideoSearchController::SplitAllOriginFiles(const int &split_duration,
                                                 const QString &split_guid)
{
    if (split_duration == data_->split_time_duration_)
        return;
    data_->split_time_duration_ = split_duration;
    const uint64_t ticket = data_->segment_files_.StartResplit();
    TESK_LOG_INFO("Split all files: length %d, guid %s", split_duration,
                  qUtf8Printable(split_guid));

    // The worker gets its own copies of what the user-interface thread may change meanwhile.
    const CameraObjects cameras = CamerasOfCondition(*data_);
    const std::shared_ptr<VideoSearchControllerData> data = data_;
    QFuture<void> worker = QtConcurrent::run(
        QThreadPool::globalInstance(), [this, data, cameras, split_duration, split_guid, ticket] {
            // Answers that arrive meanwhile are split by SplitOriginalFile with this length. One
            // split into the store after this copy was taken makes the copy stale: split again.
            for (;;) {
                const StoreSnapshot files = data->camera_files_.Snapshot();
                CameraFilesList segments;
                for (const CameraFilesEntry &entry : files.rows)
                    segments.append(SegmentsOfCamera(entry, cameras, split_duration));
                switch (data->segment_files_.Replace(ticket, segments, files.generation)) {
                case CSegmentStore::ResplitResult::Written:
                    emit SignalAllOriginFilesSplitFinished(split_guid);
                    return;
                case CSegmentStore::ResplitResult::Superseded:
                    // The store is not this request's result: nothing to announce.
                    TESK_LOG_INFO("Split all files: guid %s superseded",
                                  qUtf8Printable(split_guid));
                    return;
                case CSegmentStore::ResplitResult::Stale:
                    break;
                }
            }
        });

    QList<QFuture<void>> running;
    for (const QFuture<void> &previous : qAsConst(data_->split_workers_)) {
        if (!previous.isFinished())
            running.append(previous);
    }
    running.append(worker);
    data_->split_workers_ = running;
}

int CVideoSearchController::SplitCustomFiles(CVideoSplitInfo &info)
{
    data_->custom_split_info_ = *info.GetDataPtr();
    data_->qvc_custom_split_files_.clear();
    const VideoSplitInfo &request = data_->custom_split_info_;
    if (!request.qvc_playback_files.isEmpty()) {
        data_->qvc_custom_split_files_ =
            SegmentsByLength(CCameraBaseInfo(request.camera_info), request.qvc_playback_files,
                             request.split_time_duration);
    }
    return data_->qvc_custom_split_files_.size();
}

void CVideoSearchController::ClearSecondSplitParam()
{
    data_->custom_split_info_ = VideoSplitInfo();
}

} // namespace TeskVideoSearch
