// Result extraction and splitting of CVideoSearchController: the slices that result pages
// show, the automatic and on-demand splitting of regular recordings into segments.

#include "search/VideoSearchController.h"
#include "search/VideoSearchController_p.h"

#include "mirelog/Log.h"
#include "playcontroller/RearrageRecordFile.h"

#include <QThreadPool>
#include <QtConcurrent>

#include <boost/thread/locks.hpp>

#include <algorithm>
#include <map>
#include <tuple>

namespace TeskVideoSearch {

using teskplaycontroller::ResourceKey;
using Row = CExtractionViews::Row;

namespace {

using SharedLock = boost::shared_lock<boost::shared_mutex>;
using UniqueLock = boost::unique_lock<boost::shared_mutex>;

// Attempts of a re-split to catch a file store that keeps changing under it.
constexpr int kMaxSplitAttempts = 8;

const ResourceKey &KeyOf(const CameraFilesEntry &entry)
{
    return entry.first.GetDataPtr()->camera_key;
}

// The cameras of a store: an identifier per entry, which identifiers the filter keeps, and the
// rank of each camera in key order (site, resource, type).
struct CameraIndex
{
    std::vector<int32_t> camera_of_entry;
    std::vector<char> kept;
    std::vector<int32_t> rank;
};

CameraIndex IndexCameras(const CameraFilesList &store, const QVector<ResourceKey> &filter)
{
    // Ordered as KeyLess orders keys.
    std::map<std::tuple<std::string, std::string, int>, int32_t, std::less<>> ids;
    CameraIndex index;
    index.camera_of_entry.resize(static_cast<size_t>(store.size()));
    for (int i = 0; i < store.size(); ++i) {
        const ResourceKey &key = KeyOf(store[i]);
        // Segments of one camera lie side by side; skip the look-up for them.
        if (i > 0 && teskplaycontroller::IsSameKey(key, KeyOf(store[i - 1]))) {
            index.camera_of_entry[static_cast<size_t>(i)] =
                index.camera_of_entry[static_cast<size_t>(i - 1)];
            continue;
        }
        const auto found = ids.find(std::tie(key.site_id, key.resource_id, key.resource_type));
        if (found != ids.end()) {
            index.camera_of_entry[static_cast<size_t>(i)] = found->second;
            continue;
        }
        const auto id = static_cast<int32_t>(ids.size());
        ids.emplace(std::make_tuple(key.site_id, key.resource_id, key.resource_type), id);
        index.camera_of_entry[static_cast<size_t>(i)] = id;
    }
    index.kept.assign(ids.size(), 0);
    index.rank.assign(ids.size(), 0);
    int32_t rank = 0;
    for (const auto &camera : ids)
        index.rank[static_cast<size_t>(camera.second)] = rank++;
    for (const ResourceKey &key : filter) {
        const auto found = ids.find(std::tie(key.site_id, key.resource_id, key.resource_type));
        if (found != ids.end())
            index.kept[static_cast<size_t>(found->second)] = 1;
    }
    return index;
}

const PlaybackFilePtr *FileOfRow(const CameraFilesList &store, const Row &row)
{
    const PlaybackFileVector &files = store[row.entry].second;
    if (row.file >= 0)
        return &files[row.file];
    return files.isEmpty() ? nullptr : &files.first();
}

// Orders rows ascending by begin time (null files first); rows of different cameras that begin
// together go by camera key, rows that still tie keep their store order.
void SortAscending(std::vector<Row> &rows, const CameraFilesList &store, const CameraIndex &cameras)
{
    struct Sortable
    {
        int64_t begin;
        int32_t rank;
        uint32_t position; // rows are built in store order
        bool present;
    };
    std::vector<Sortable> sortable;
    sortable.reserve(rows.size());
    for (const Row &row : rows) {
        const PlaybackFilePtr *file = FileOfRow(store, row);
        const bool present = file && *file;
        const auto camera =
            static_cast<size_t>(cameras.camera_of_entry[static_cast<size_t>(row.entry)]);
        sortable.push_back({present ? (*file)->GetFileBegTime() : 0, cameras.rank[camera],
                            static_cast<uint32_t>(sortable.size()), present});
    }
    std::sort(sortable.begin(), sortable.end(), [](const Sortable &x, const Sortable &y) {
        if (x.present != y.present)
            return !x.present;
        if (x.begin != y.begin)
            return x.begin < y.begin;
        if (x.rank != y.rank)
            return x.rank < y.rank;
        return x.position < y.position;
    });
    std::vector<Row> ordered;
    ordered.reserve(rows.size());
    for (const Sortable &item : sortable)
        ordered.push_back(rows[item.position]);
    rows.swap(ordered);
}

// Newest first with null files last; rows that begin together keep their store order.
void SortDescending(std::vector<Row> &rows, const CameraFilesList &store)
{
    std::vector<std::pair<int64_t, uint32_t>> keys;
    keys.reserve(rows.size());
    std::vector<Row> nulls;
    std::vector<Row> present;
    present.reserve(rows.size());
    for (const Row &row : rows) {
        const PlaybackFilePtr *file = FileOfRow(store, row);
        if (file && *file) {
            keys.emplace_back((*file)->GetFileBegTime(), static_cast<uint32_t>(present.size()));
            present.push_back(row);
        } else {
            nulls.push_back(row);
        }
    }
    std::sort(keys.begin(), keys.end(), [](const auto &a, const auto &b) {
        if (a.first != b.first)
            return a.first > b.first;
        return a.second < b.second;
    });
    rows.clear();
    for (const auto &key : keys)
        rows.push_back(present[key.second]);
    rows.insert(rows.end(), nulls.begin(), nulls.end());
}

// Which files of an entry a file view shows.
bool KeepFile(const CExtractionViews::Key &key, const PlaybackFilePtr &file)
{
    switch (key.kind) {
    case PersonDetectVideo:
    case VehicleDetectVideo: {
        const auto *person_vehicle =
            dynamic_cast<const teskplaycontroller::CPersonVehicleFile *>(file.get());
        return person_vehicle && person_vehicle->GetEventType() ==
                                     (key.kind == PersonDetectVideo ? CPlaybackFile::EventPerson
                                                                    : CPlaybackFile::EventVehicle);
    }
    case EventAlarmVideo:
    case TagVideo:
    case OtherVideo: {
        if (key.wanted_tag < 0)
            return true;
        const auto *label = dynamic_cast<const teskplaycontroller::CLabelFile *>(file.get());
        return label && label->GetRcordLabelType() == key.wanted_tag;
    }
    default:
        return true;
    }
}

std::vector<Row> BuildRows(const CExtractionViews::Key &key, const CameraFilesList &store)
{
    const CameraIndex cameras = IndexCameras(store, key.filter);
    std::vector<Row> rows;
    for (int i = 0; i < store.size(); ++i) {
        if (!cameras.kept[static_cast<size_t>(cameras.camera_of_entry[static_cast<size_t>(i)])])
            continue;
        if (key.source == CExtractionViews::SegmentStore) {
            rows.push_back({i, -1});
            continue;
        }
        const PlaybackFileVector &files = store[i].second;
        for (int f = 0; f < files.size(); ++f) {
            if (KeepFile(key, files[f]))
                rows.push_back({i, f});
        }
    }
    if (key.order == SortBeginAscending)
        SortAscending(rows, store, cameras);
    else if (key.order == SortNewestFirst)
        SortDescending(rows, store);
    return rows;
}

void SliceView(CameraFilesList &out, const CExtractionViews::View &view, int begin_index,
               int end_index)
{
    out.clear();
    const int count = static_cast<int>(view.rows.size());
    if (count == 0 || begin_index < 0 || begin_index >= count || end_index < begin_index)
        return;
    const int last = std::min(end_index, count - 1);
    out.reserve(last - begin_index + 1);
    for (int i = begin_index; i <= last; ++i) {
        const Row &row = view.rows[static_cast<size_t>(i)];
        const CameraFilesEntry &entry = view.snapshot[row.entry];
        if (row.file < 0)
            out.append(entry);
        else
            out.append(qMakePair(entry.first, PlaybackFileVector{entry.second[row.file]}));
    }
}

// The wanted tag type of a tag kind when the running condition filters by tag kind, else -1.
int WantedTag(const VideoSearchControllerData &data, int kind)
{
    const auto &extra = data.search_condition_.ptr_label_extra;
    if (!extra)
        return -1;
    const int label_type = extra->GetVal_label_type();
    if (label_type >= TagChoiceAll && label_type <= TagChoiceYellow)
        return -1;
    switch (kind) {
    case EventAlarmVideo:
        return TagTypeEventLinkage;
    case TagVideo:
        return TagTypeManual;
    default:
        return TagTypeOther;
    }
}

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
    if (!IsPerFileStore(cameras, KeyOf(entry)))
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

bool CExtractionViews::Key::operator==(const Key &other) const
{
    if (source != other.source || kind != other.kind || order != other.order ||
        wanted_tag != other.wanted_tag || filter.size() != other.filter.size())
        return false;
    for (int i = 0; i < filter.size(); ++i) {
        if (!teskplaycontroller::IsSameKey(filter[i], other.filter[i]))
            return false;
    }
    return true;
}

std::shared_ptr<const CExtractionViews::View>
CExtractionViews::Get(const Key &key, const CameraFilesList &store, const Builder &build)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ++clock_;
    slots_.erase(std::remove_if(slots_.begin(), slots_.end(),
                                [&key, &store](const Slot &slot) {
                                    return slot.view->key.source == key.source &&
                                           !slot.view->snapshot.isSharedWith(store);
                                }),
                 slots_.end());
    for (Slot &slot : slots_) {
        if (slot.view->key == key) {
            slot.last_use = clock_;
            return slot.view;
        }
    }
    auto view = std::make_shared<View>();
    view->key = key;
    view->snapshot = store;
    view->rows = build(key, store);
    if (slots_.size() >= kMaxViews) {
        slots_.erase(
            std::min_element(slots_.begin(), slots_.end(),
                             [](const Slot &a, const Slot &b) { return a.last_use < b.last_use; }));
    }
    slots_.push_back({view, clock_});
    return view;
}

void CExtractionViews::Clear()
{
    std::lock_guard<std::mutex> lock(mutex_);
    slots_.clear();
}

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

void SliceFileView(VideoSearchControllerData &data, CameraFilesList &out,
                   const VideoFileParam &param, int order, int wanted_tag)
{
    CExtractionViews::Key key;
    key.source = CExtractionViews::FileStore;
    key.kind = param.data_type;
    key.order = order;
    key.wanted_tag = wanted_tag;
    key.filter = param.qvc_filter_camera_keys;
    CameraFilesList store;
    {
        SharedLock lock(data.file_mutex_);
        store = data.qvc_camera_files_;
    }
    const auto view = data.extraction_views_.Get(key, store, BuildRows);
    SliceView(out, *view, param.begin_index, param.end_index);
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
    SliceFileView(*data_, out, request, order, -1);
}

void CVideoSearchController::GetTagVideoFiles(CameraFilesList &out, CVideoFileParam &param)
{
    const VideoFileParam &request = *param.GetDataPtr();
    if (request.qvc_filter_camera_keys.isEmpty())
        return;
    if (request.show_type != SortStored && request.show_type != SortBeginAscending)
        return;
    SliceFileView(*data_, out, request, request.show_type, WantedTag(*data_, request.data_type));
}

void CVideoSearchController::GetPersonVehicleVideoFiles(CameraFilesList &out,
                                                        CVideoFileParam &param)
{
    const VideoFileParam &request = *param.GetDataPtr();
    if (request.qvc_filter_camera_keys.isEmpty())
        return;
    if (request.show_type != SortStored && request.show_type != SortBeginAscending)
        return;
    SliceFileView(*data_, out, request, request.show_type, -1);
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
    CExtractionViews::Key key;
    key.source = CExtractionViews::SegmentStore;
    key.kind = RegularVideo;
    key.order = request.show_type;
    key.filter = request.qvc_filter_camera_keys;
    CameraFilesList store;
    {
        SharedLock lock(data_->segment_mutex_);
        store = data_->qvc_segment_files_;
    }
    const auto view = data_->extraction_views_.Get(key, store, BuildRows);
    SliceView(out, *view, request.begin_index, request.end_index);
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
    const ResourceKey &key = *camera.GetVal_camera_key().GetDataPtr();
    CameraFilesEntry entry;
    bool found = false;
    {
        SharedLock lock(data_->file_mutex_);
        for (const CameraFilesEntry &stored : data_->qvc_camera_files_) {
            if (teskplaycontroller::IsSameKey(KeyOf(stored), key)) {
                entry = stored;
                found = true;
                break;
            }
        }
    }
    if (!found || entry.second.isEmpty())
        return;
    const CameraFilesList segments =
        SegmentsOfCamera(entry, CamerasOfCondition(*data_), data_->split_time_duration_);
    if (segments.isEmpty())
        return;
    UniqueLock lock(data_->segment_mutex_);
    data_->qvc_segment_files_.append(segments);
}

void CVideoSearchController::SplitAllOriginFiles(const int &split_duration,
                                                 const QString &split_guid)
{
    if (split_duration == data_->split_time_duration_)
        return;
    data_->split_time_duration_ = split_duration;
    const uint64_t serial = ++data_->split_serial_;
    TESK_LOG_INFO("Split all files: length %d, guid %s", split_duration,
                  qUtf8Printable(split_guid));

    // The worker gets its own copies of what the user-interface thread may change meanwhile.
    const CameraObjects cameras = CamerasOfCondition(*data_);
    const std::shared_ptr<VideoSearchControllerData> data = data_;
    QFuture<void> worker = QtConcurrent::run(
        QThreadPool::globalInstance(), [this, data, cameras, split_duration, split_guid, serial] {
            // Files that arrive while this runs are split by SplitOriginalFile into whichever
            // list is in force then; a store that changed before the swap is split again, so
            // that the segments end as those of the latest files. A newer request wins.
            for (int attempt = 0; attempt < kMaxSplitAttempts; ++attempt) {
                CameraFilesList files;
                {
                    SharedLock lock(data->file_mutex_);
                    files = data->qvc_camera_files_;
                }
                CameraFilesList segments;
                for (const CameraFilesEntry &entry : files)
                    segments.append(SegmentsOfCamera(entry, cameras, split_duration));
                {
                    UniqueLock lock(data->segment_mutex_);
                    if (data->split_serial_ != serial)
                        break;
                    data->qvc_segment_files_ = segments;
                }
                SharedLock lock(data->file_mutex_);
                if (files.isSharedWith(data->qvc_camera_files_))
                    break;
            }
            emit SignalAllOriginFilesSplitFinished(split_guid);
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
