#pragma once

#include "TeskVideoSearchExport.h"
#include "search/SearchRecords.h"
#include "search/SearchTypes.h"
#include "search/WidgetRecords.h"

#include "playcontroller/PlaybackFile.h"
#include "pluginmanager/ResourceData.h"

#include <QPair>
#include <QPixmap>
#include <QString>
#include <QVector>

#include <cstdint>
#include <memory>
#include <string>

class QWidget;

namespace TeskVideoSearch {

// Helpers shared by the widgets: time conversion and display, tag names and icons, permissions
// and time-bar file indices. Keeps no state; callable from any thread except the functions that
// show a notification or hand out the icon cache's pixmaps, which belong to the user-interface
// thread.
class TESKVIDEOSEARCH_EXPORT CCommonFunction
{
public:
    // Reads the wall clock of an ISO text (its first 19 characters, any zone dropped) as if it
    // were UTC+8: the clock of the time bar. 0 for texts shorter than 19 characters, -1 for
    // texts that are not a date-time.
    static int64_t SwitchISOTimeToEast8ZoneTime(const std::string &iso);
    // Drops every "/", ":" and " ", leaving the digits of a written date and time.
    static std::string TransformTime(std::string text);
    // A time as the operator reads it on the client's clock (type 0, from `t`) or the
    // device's (otherwise, from the device's ISO text), with its time difference on request.
    static QString GetZonesTimeByTimeType(const std::string &iso, const int64_t &t,
                                          bool show_difference,
                                          const OrlSearchTimeType::TimeType &type);
    // "begin - end" of a run of files; empty for no files or a missing first or last file.
    static QString GetPlaybackFileTimeRange(const TimeTypePair &time_type,
                                            const PlaybackFileVector &files);
    // `start` as digits only (for file names) and `range` as GetPlaybackFileTimeRange.
    static void GetStartTimeAndRange(QString &start, QString &range,
                                     const PlaybackFileVector &files,
                                     const TimeTypePair &time_type);
    // The span the time bar covers for a search over several cameras, on the bar's clock.
    static QPair<int64_t, int64_t>
    SwitchSearchTimeRangeForTimeProgress(CTimeProgressRangeParam &param);
    // The time bar's step in seconds for a span.
    static int GetSingleTimeByTimeRange(const int &seconds);
    static QString GetPeriodNameByTimeType(const bool &show_time_type,
                                           const OrlSearchTimeType::TimeType &type);

    // A time-bar band's index: two decimal numbers joined by "-".
    static QString CreateTimeSliderFileIndex(const int &first, const int &second);
    // The first and last numbers of an index; parts that are not numbers give 0.
    static QPair<int, int> GetTimeSliderFileIndex(const QString &index);

    static VideoSearchTagType SwitchTagType(const RecordFileType::TagType &type);
    static QString GetTypeNameByTagType(const VideoSearchTagType &type);
    // The icons of the tag choices 200 to 204, drawn once for the life of the process; a null
    // pixmap for other types.
    static QPixmap GetTypeIconByTagType(const VideoSearchTagType &type);
    static TimeSliderFileType SwitchPlaybackFileTypeToSliderType(const CPlaybackFile::Type &type);

    static QString SwitchResourcePermission(const ResourceData::ResourcePermissionItem &item);
    // True when the operator holds the permission on the camera; otherwise shows why in a
    // corner notification and returns false.
    static bool IsCameraPermissionValid(CCameraPermissionParam &param, QWidget *parent);
    static void ShowCameraPermissionTip(CCameraPermissionParam &param, QWidget *parent);

    // Width of the detail panel as a share of the play window (735 of 1520).
    static float GetDetailWidgetWidthScale();
    static QString GetThumbnailListBtnImage(const bool &is_list, const bool &is_normal);
};

} // namespace TeskVideoSearch
