#pragma once

// The records with which a host and the module's widgets initialise one another: what a page,
// a view, the time bar or the condition column is built from. They name widgets and
// controllers of several subsystems, so they live apart from the search records.

#include "TeskVideoSearchExport.h"
#include "search/SearchRecords.h"

#include <QColor>
#include <QString>
#include <QVector>

#include <memory>

class QMovie;
class QWidget;

namespace teskplaywindow {
class CPlaybackWindow;
}
namespace tesk_ui_data_controller {
class CAbstractEvidenceFrameWrapper;
}

namespace TeskVideoSearch {

class CVideoSearchController;
class CVideoDataManager;
class CVideoSearchExpandInterface;

#define TESK_FIELDS_VideoDataInitParam(F)                                                          \
    F(CVideoSearchExpandInterface *, ptr_expand_interface, nullptr)                                \
    F(QVector<CResourceKey>, qvc_filter_camera_keys, {})                                           \
    F(FileSortType, file_sort_type, SortStored)                                                    \
    F(VideoDataType, video_data_type, RegularVideo)                                                \
    F(FilterVCADataType, filter_vca_data_type, FilterVcaNone)                                      \
    F(TimeTypePair, time_type, {})
TESK_VALUE_CLASS(TESKVIDEOSEARCH_EXPORT, CVideoDataInitParam, VideoDataInitParam,
                 TESK_FIELDS_VideoDataInitParam)

#define TESK_FIELDS_ConditionWidgetInitParam(F)                                                    \
    F(int, max_camera_num, 0)                                                                      \
    F(NoSupportSubStreamType, sub_stream_search_type, SubStreamSupported)                          \
    F(TagDisplayType, tag_show_type, TagDisplaySimple)                                             \
    F(QWidget *, ptr_resource_parent, nullptr)                                                     \
    F(ResourceData::ProductType, product_type, ResourceData::ProductTypeStandard)
TESK_VALUE_CLASS(TESKVIDEOSEARCH_EXPORT, CConditionWidgetInitParam, ConditionWidgetInitParam,
                 TESK_FIELDS_ConditionWidgetInitParam)

#define TESK_FIELDS_ClipSearchWidgetInitParam(F)                                                   \
    F(teskplaywindow::CPlaybackWindow *, ptr_playback_window, nullptr)                             \
    F(QWidget *, ptr_track_widget_, nullptr)                                                       \
    F(CVideoSearchExpandInterface *, ptr_expand_interface, nullptr)                                \
    F(CConditionWidgetInitParam, condition_init_param, {})                                         \
    F(bool, is_support_pop_sub_widget, false)                                                      \
    F(tesk_ui_data_controller::CAbstractEvidenceFrameWrapper *, ptr_evidence_wrapper, nullptr)     \
    F(bool, is_only_suppor_MP4_type, false)                                                        \
    F(bool, is_downlaod_player, false)                                                             \
    F(bool, is_merge_files, false)                                                                 \
    F(bool, is_support_custom_path, false)                                                         \
    F(bool, is_support_download_video_files, false)                                                \
    F(CustomPropertyVector, qvc_custom_property, {})
TESK_VALUE_CLASS(TESKVIDEOSEARCH_EXPORT, CClipSearchWidgetInitParam, ClipSearchWidgetInitParam,
                 TESK_FIELDS_ClipSearchWidgetInitParam)

#define TESK_FIELDS_AbstractSearchWidgetData(F)                                                    \
    F(std::shared_ptr<CVideoSearchController>, ptr_search_controller_, {})                         \
    F(std::shared_ptr<CVideoDataManager>, ptr_data_manager_, {})                                   \
    F(CClipSearchWidgetInitParam, init_param_, {})                                                 \
    F(QMovie *, ptr_movie_, nullptr)
TESK_VALUE_CLASS(TESKVIDEOSEARCH_EXPORT, CAbstractSearchWidgetData, AbstractSearchWidgetData,
                 TESK_FIELDS_AbstractSearchWidgetData)

#define TESK_FIELDS_ClipPlaybackParam(F)                                                           \
    F(float, play_widget_height_widget_scale, 0.0f)                                                \
    F(std::shared_ptr<teskplaycontroller::CCameraForPlay>, ptr_camera_for_play, {})                \
    F(PlaybackFileVector, playback_files, {})                                                      \
    F(VideoDataType, video_type, RegularVideo)                                                     \
    F(bool, is_show_time_type, true)                                                               \
    F(TimeTypePair, time_type, {})                                                                 \
    F(bool, b_previous_btn_enable, true)                                                           \
    F(bool, b_next_btn_enable, true)                                                               \
    F(int, current_data_id, -1)                                                                    \
    F(int, total_num, -1)                                                                          \
    F(int64_t, specify_play_time, -1)
TESK_VALUE_CLASS(TESKVIDEOSEARCH_EXPORT, CClipPlaybackParam, ClipPlaybackParam,
                 TESK_FIELDS_ClipPlaybackParam)

#define TESK_FIELDS_ListSightWidgetParam(F)                                                        \
    F(std::shared_ptr<CVideoDataManager>, ptr_data_manager, {})                                    \
    F(bool, b_time_type_visible, true)                                                             \
    F(TagDisplayType, tag_display_type, TagDisplaySimple)                                          \
    F(QString, custom_title_name, {})
TESK_VALUE_CLASS(TESKVIDEOSEARCH_EXPORT, CListSightWidgetParam, ListSightWidgetParam,
                 TESK_FIELDS_ListSightWidgetParam)

#define TESK_FIELDS_TimeBarParam(F)                                                                \
    F(int, iTimeType, 0)                                                                           \
    F(uint64_t, szIndex, 0)                                                                        \
    F(int64_t, dtStart, -1)                                                                        \
    F(int64_t, dtEnd, -1)                                                                          \
    F(QString, strFileName, {})                                                                    \
    F(QString, strFileMark, {})                                                                    \
    F(QColor, barColor, {})                                                                        \
    F(int, source_camera_id, -1)
TESK_VALUE_CLASS(TESKVIDEOSEARCH_EXPORT, CTimeBarParam, TimeBarParam, TESK_FIELDS_TimeBarParam)

#define TESK_FIELDS_ProgressBarTimeZoneParam(F)                                                    \
    F(int64_t, tm_dst_begin, 0)                                                                    \
    F(int64_t, tm_dst_end, 0)                                                                      \
    F(int, utc_bias, 0)                                                                            \
    F(int, daylight_bias, 0)                                                                       \
    F(bool, b_dst, false)
TESK_VALUE_CLASS(TESKVIDEOSEARCH_EXPORT, CProgressBarTimeZoneParam, ProgressBarTimeZoneParam,
                 TESK_FIELDS_ProgressBarTimeZoneParam)

#define TESK_FIELDS_ProgressBarDragData(F)                                                         \
    F(int64_t, tm_drag, -1)                                                                        \
    F(ProgressBarDragState, drag_state, DragNone)
TESK_VALUE_CLASS(TESKVIDEOSEARCH_EXPORT, CProgressBarDragData, ProgressBarDragData,
                 TESK_FIELDS_ProgressBarDragData)

#define TESK_FIELDS_TimeProgressRangeParam(F)                                                      \
    F(int64_t, search_start_time, 0)                                                               \
    F(int64_t, search_end_time, 0)                                                                 \
    F(OrlSearchTimeType::TimeType, search_time_type, OrlSearchTimeType::ClientTime)                \
    F(OrlSearchTimeType::TimeType, result_time_type, OrlSearchTimeType::ClientTime)                \
    F(QVector<CResourceKey>, qvc_camera_keys, {})
TESK_VALUE_CLASS(TESKVIDEOSEARCH_EXPORT, CTimeProgressRangeParam, TimeProgressRangeParam,
                 TESK_FIELDS_TimeProgressRangeParam)

#define TESK_FIELDS_VideoOperationInitParam(F)                                                     \
    F(bool, is_show_split_btn, false)                                                              \
    F(bool, split_enable, false)                                                                   \
    F(bool, is_show_search_btn, true)                                                              \
    F(bool, search_btn_enable, false)                                                              \
    F(QString, split_invisble_tooltip, {})                                                         \
    F(QString, search_invisble_tooltip, {})                                                        \
    F(SplitTimeLabelMap, map_split_time_type, {})
TESK_VALUE_CLASS(TESKVIDEOSEARCH_EXPORT, CVideoOperationInitParam, VideoOperationInitParam,
                 TESK_FIELDS_VideoOperationInitParam)

} // namespace TeskVideoSearch

// Bands are kept by the ten thousand in QVectors that grow as a load goes on: moving them when
// the storage grows is a copy of bytes, not one copy construction per band.
Q_DECLARE_TYPEINFO(TeskVideoSearch::TimeBarParam, Q_MOVABLE_TYPE);
