#pragma once

#include "TeskVideoSearchExport.h"
#include "search/WidgetRecords.h"

#include "arborin/SelectedStorageCameraWidget.h"
#include "playcontroller/CameraForPlay.h"
#include "pluginmanager/PluginManager.h"

#include <QList>
#include <QVector>
#include <QWidget>

#include <memory>
#include <string>

namespace TeskVideoSearch {

// A camera that passed the column's checks, with the storage and stream to search it in.
#define TESK_FIELDS_VideoSearchContionCameraInfo(F)                                                \
    F(std::shared_ptr<teskplaycontroller::CCameraForPlay>, ptr_camera_for_play, {})                \
    F(QString, camera_name, {})                                                                    \
    F(int, location_type, ResourceData::StorageLocationDevice)                                     \
    F(int, storage_media_type, ResourceData::StorageMediaDevice)                                   \
    F(int, stream_type, 0)
TESK_VALUE_CLASS(TESKVIDEOSEARCH_EXPORT, CVideoSearchContionCameraInfo,
                 VideoSearchContionCameraInfo, TESK_FIELDS_VideoSearchContionCameraInfo)

class CSearchCalendarWidget;
class CTagConditionWidget;
struct ClipSearchConditionData;

// The condition column of the search panel: cameras and storages, the period and the kinds of
// recordings, and the search button. Turns the operator's choices into what a search needs and
// refuses, with a message, choices that cannot be searched.
class TESKVIDEOSEARCH_EXPORT CClipSearchCondition : public QWidget
{
    Q_OBJECT
public:
    explicit CClipSearchCondition(QWidget *parent = nullptr);
    ~CClipSearchCondition() override;

    void InitWidget(CConditionWidgetInitParam &param);

    bool GetSearchTypes(QVector<VideoDataType> &types);
    // Begin and end in seconds; false (with a message) for an empty or too long period.
    bool GetSearchParam(OrlSearchTimeType::TimeType &time_type, int64_t &begin, int64_t &end);
    void GetStorageResources(QList<Arborin::SelectedStorageResource> &resources);
    // The searchable cameras among `resources`; false (with a message) when none is.
    bool GetCameraInfo(QVector<CVideoSearchContionCameraInfo> &cameras,
                       const QList<Arborin::SelectedStorageResource> &resources);
    int GetTagType() const;
    QString GetTagName() const;

    void ClearCondition();
    void UpdateAfterSwitchUser();
    // Selects the camera and period a host names in a JSON text; a malformed text is logged
    // and changes nothing.
    void GoToSearchByCustomParam(const std::string &json);

    CSearchCalendarWidget *GetCalendarWidget() const;
    CTagConditionWidget *GetTagConditionWidget() const;
    Arborin::CSelectedStorageCameraWidget *GetStorageCameraWidget() const;

signals:
    void SignalSearchClicked();

public slots:
    void OnTagTypeChanged();
    void OnInsertResourceFinished();
    void OnWakeUpNotify(QString workstation_id, QString camera_id,
                        OrlPluginManager::EnumWakeupStatus status, QString error_info);

private:
    std::shared_ptr<ClipSearchConditionData> ptr_data_;
};

} // namespace TeskVideoSearch
