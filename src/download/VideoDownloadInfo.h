#pragma once

#include "TeskVideoSearchExport.h"
#include "search/SearchRecords.h"

#include "uidatacontroller/DownloadFrameDef.h"

#include <QString>
#include <QVector>

#include <memory>
#include <string>

namespace TeskVideoSearch {

using FileNameVector = QVector<std::string>;
using PlaybackFileGroups = QVector<PlaybackFileVector>;
using DownloadTimeType = QPair<tesk_ui_data_controller::DownloadFrameDef::SearchTmType, bool>;

// One camera's recordings to export, grouped: one group per exported result, with a file
// name and a time-range text per group, and the side panel's choices.
#define TESK_FIELDS_VideoDownloadInfo(F)                                                           \
    F(QString, site_id, {})                                                                        \
    F(QString, camera_id, {})                                                                      \
    F(bool, is_merged, false)                                                                      \
    F(QString, download_path, {})                                                                  \
    F(tesk_ui_data_controller::DownloadFrameDef::VideoFileFormat, file_format,                     \
      tesk_ui_data_controller::DownloadFrameDef::FormatMP4)                                        \
    F(QString, pass_word, {})                                                                      \
    F(FileNameVector, qvc_custom_file_name, {})                                                    \
    F(FileNameVector, qvc_file_time_range, {})                                                     \
    F(QString, merged_file_time_range, {})                                                         \
    F(bool, is_download_teskplayer, false)                                                         \
    F(std::shared_ptr<teskplaycontroller::CCameraForPlay>, ptr_camera_for_play, {})                \
    F(PlaybackFileGroups, playback_files, {})                                                      \
    F(bool, is_save_as_evidence, false)
TESK_VALUE_CLASS(TESKVIDEOSEARCH_EXPORT, CVideoDownloadInfo, VideoDownloadInfo,
                 TESK_FIELDS_VideoDownloadInfo)

} // namespace TeskVideoSearch
