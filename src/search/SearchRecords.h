#pragma once

#include "TeskVideoSearchExport.h"
#include "search/SearchTypes.h"

#include "playcontroller/CameraForPlay.h"
#include "playcontroller/PlaybackFile.h"
#include "playcontroller/ResourceKey.h"
#include "playcontroller/SearchCondition.h"
#include "pluginmanager/ResourceData.h"
#include "quorbase/ValueClass.h"

#include <QColor>
#include <QEvent>
#include <QImage>
#include <QMetaType>
#include <QPair>
#include <QString>
#include <QVector>

#include <map>
#include <memory>
#include <string>

// The records that cross the module's parts and its boundary with the host.
namespace TeskVideoSearch {

using teskplaycontroller::CPlaybackFile;
using teskplaycontroller::CResourceKey;
using PlaybackFilePtr = std::shared_ptr<CPlaybackFile>;
using PlaybackFileVector = QVector<PlaybackFilePtr>;
using TimeTypePair = QPair<OrlSearchTimeType::TimeType, bool>;
using CustomPropertyVector = QVector<QPair<int, bool>>;
using SplitTimeLabelMap = std::map<SecondSplitTimeType, QString>;

#define TESK_FIELDS_CameraBaseInfo(F)                                                              \
    F(CResourceKey, camera_key, {})                                                                \
    F(QString, camera_name, {})
TESK_VALUE_CLASS(TESKVIDEOSEARCH_EXPORT, CCameraBaseInfo, CameraBaseInfo,
                 TESK_FIELDS_CameraBaseInfo)

// One row of a result page: a camera and its file (or the files of one segment).
using CameraFilesEntry = QPair<CCameraBaseInfo, PlaybackFileVector>;
using CameraFilesList = QVector<CameraFilesEntry>;

#define TESK_FIELDS_CameraPermissionParam(F)                                                       \
    F(QString, site_id, {})                                                                        \
    F(QString, camera_id, {})                                                                      \
    F(ResourceData::ResourcePermissionItem, permissinon_type, ResourceData::PermissionDownload)
TESK_VALUE_CLASS(TESKVIDEOSEARCH_EXPORT, CCameraPermissionParam, CameraPermissionParam,
                 TESK_FIELDS_CameraPermissionParam)

// A request for a slice of results: cameras, order, kind and an inclusive index range.
#define TESK_FIELDS_VideoFileParam(F)                                                              \
    F(QVector<CResourceKey>, qvc_filter_camera_keys, {})                                           \
    F(FileSortType, show_type, SortStored)                                                         \
    F(VideoDataType, data_type, TagVideo)                                                          \
    F(FilterVCADataType, filter_vca_data_type, FilterVcaNone)                                      \
    F(int, begin_index, 0)                                                                         \
    F(int, end_index, 0)
TESK_VALUE_CLASS(TESKVIDEOSEARCH_EXPORT, CVideoFileParam, VideoFileParam,
                 TESK_FIELDS_VideoFileParam)

// A custom split of one chosen recording.
#define TESK_FIELDS_VideoSplitInfo(F)                                                              \
    F(CCameraBaseInfo, camera_info, {})                                                            \
    F(QImage, record_image, {})                                                                    \
    F(QString, record_name, {})                                                                    \
    F(int, split_time_duration, 0)                                                                 \
    F(PlaybackFileVector, qvc_playback_files, {})
TESK_VALUE_CLASS(TESKVIDEOSEARCH_EXPORT, CVideoSplitInfo, VideoSplitInfo,
                 TESK_FIELDS_VideoSplitInfo)

#define TESK_FIELDS_ClipSearchEventData(F)                                                         \
    F(ClipSearchEventType, event_type_, ClipSearchNone)                                            \
    F(teskplaycontroller::InteligentEventType, vca_sub_type,                                       \
      teskplaycontroller::InteligentEventNone)                                                     \
    F(ResourceData::StorageMediaType, vca_currentsearch_mediatype,                                 \
      ResourceData::StorageMediaUnknown)                                                           \
    F(int, current_data_num_, 0)                                                                   \
    F(QString, vca_error_info, {})                                                                 \
    F(bool, vca_config, false)                                                                     \
    F(bool, support_vca_config, false)                                                             \
    F(bool, max_data, false)
TESK_VALUE_CLASS(TESKVIDEOSEARCH_EXPORT, CClipSearchEventData, ClipSearchEventData,
                 TESK_FIELDS_ClipSearchEventData)

// Search progress as the pages receive it: a QEvent of type 1000 that shares its data between
// copies, so that it travels through queued signals by value.
class TESKVIDEOSEARCH_EXPORT ClipSearchEvent : public QEvent
{
public:
    static constexpr QEvent::Type kEventType = QEvent::User;

    ClipSearchEvent();
    explicit ClipSearchEvent(const teskplaycontroller::CCameraVideoSearchObserver::Param &param);
    explicit ClipSearchEvent(const teskplaycontroller::CVCAIncrementalObserver::Param &param);
    ClipSearchEvent(const ClipSearchEvent &other);
    ClipSearchEvent &operator=(const ClipSearchEvent &other);
    ~ClipSearchEvent() override;

    CClipSearchEventData GetEventData() const { return data_; }
    ClipSearchEventType GetEventType() const { return data_.GetVal_event_type_(); }
    void SetEventType(ClipSearchEventType type) { data_.SetVal_event_type_(type); }

private:
    static ClipSearchEventType
    SwitchStateTypeToEventType(const teskplaycontroller::CCameraVideoSearchObserver::Param &param);
    static ClipSearchEventType
    SwitchStateTypeToEventType(const teskplaycontroller::CVCAIncrementalObserver::Param &param);

    CClipSearchEventData data_;
};

// One band of the time bar. Copy construction shares the fields; assignment copies them into
// the target's own storage.
class TESKVIDEOSEARCH_EXPORT TimeSliderFile
{
public:
    TimeSliderFile();
    TimeSliderFile(std::string file_index, std::string file_name, int64_t begin, int64_t end,
                   TimeSliderFileType type, std::string source_camera_id);
    TimeSliderFile(const TimeSliderFile &other);
    TimeSliderFile &operator=(const TimeSliderFile &other);
    virtual ~TimeSliderFile();

    std::string GetFileIndex() const { return data_->file_index; }
    void SetFileIndex(const std::string &index) { data_->file_index = index; }
    std::string GetFileName() const { return data_->file_name; }
    void SetFileName(const std::string &name) { data_->file_name = name; }
    int64_t GetFileBegTime() const { return data_->begin; }
    void SetFileBeginTime(int64_t t) { data_->begin = t; }
    int64_t GetFileEndTime() const { return data_->end; }
    void SetFileEndTime(int64_t t) { data_->end = t; }
    TimeSliderFileType GetFileType() const { return data_->file_type; }
    void SetFileType(TimeSliderFileType type) { data_->file_type = type; }
    int GetRecordFileType() const { return data_->record_file_type; }
    void SetRecordFileType(int type) { data_->record_file_type = type; }
    std::string GetSourceCameraId() const { return data_->source_camera_id; }
    void SetSourceCameraId(const std::string &id) { data_->source_camera_id = id; }

private:
    struct Fields
    {
        std::string file_index;
        int64_t begin = 0;
        int64_t end = 0;
        std::string file_name;
        TimeSliderFileType file_type = SliderRegular;
        std::string source_camera_id;
        int record_file_type = -1;
    };
    std::shared_ptr<Fields> data_;
};

// Registers the records that travel through queued signals under their names. Idempotent.
TESKVIDEOSEARCH_EXPORT void RegisterSearchMetaTypes();

} // namespace TeskVideoSearch

Q_DECLARE_METATYPE(TeskVideoSearch::ClipSearchEvent)
Q_DECLARE_METATYPE(std::shared_ptr<TeskVideoSearch::TimeSliderFile>)
Q_DECLARE_METATYPE(TeskVideoSearch::CCameraBaseInfo)
