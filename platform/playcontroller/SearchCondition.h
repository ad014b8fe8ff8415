#pragma once

#include "playcontroller/CameraForPlay.h"
#include "playcontroller/PlaybackFile.h"
#include "playcontroller/ResourceKey.h"
#include "quorbase/Error.h"
#include "quorbase/Observer.h"

#include <QMetaType>
#include <QVector>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace teskplaycontroller {

enum VideoSearchType {
    VideoSearchRecord = 0,
    VideoSearchTag = 1,
    VideoSearchLock = 2,
    VideoSearchPOS = 10,
    VideoSearchATM = 11,
    VideoSearchPersonVehicle = 13,
};

enum VCASearchType {
    VCASearchMotion = 0,
    VCASearchLineCrossing = 1,
    VCASearchIntrusion = 2,
};

enum InteligentEventType {
    InteligentEventNone = -1,
    InteligentEventPersonVehicle = 1,
    InteligentEventPerson = 2,
    InteligentEventVehicle = 4,
};

// Tag filter of a tag search. `label_type` 100 to 103 filter by tag kind, 200 to 204 do not.
#define TESK_FIELDS_LableExtra(F)                                                                  \
    F(int, label_type, 100)                                                                        \
    F(std::string, str_lable_name, {})
TESK_VALUE_CLASS(, CLableExtra, LableExtra, TESK_FIELDS_LableExtra)

// Event filter of a person/vehicle search: 1 both, 2 person, 4 vehicle.
#define TESK_FIELDS_PersonVehicleExtra(F) F(int, event_type, 1)
TESK_VALUE_CLASS(, CPersonVehicleExtra, PersonVehicleExtra, TESK_FIELDS_PersonVehicleExtra)

using StoragePair = std::pair<ResourceData::StorageLocation, ResourceData::StorageMediaType>;

// One camera of a search with the storage to search on. `camera_type_code` is 254 for a tag
// search.
#define TESK_FIELDS_TeskCameraInfo(F)                                                              \
    F(std::shared_ptr<CCameraForPlay>, ptr_camera_for_play, {})                                    \
    F(int, camera_type_code, 0)                                                                    \
    F(StoragePair, pair_storage_info,                                                              \
      StoragePair(ResourceData::StorageLocationDevice, ResourceData::StorageMediaDevice))
TESK_VALUE_CLASS(, CTeskCameraInfo, TeskCameraInfo, TESK_FIELDS_TeskCameraInfo)

#define TESK_FIELDS_CameraVideoSearchCondition(F)                                                  \
    F(std::string, search_guid, {})                                                                \
    F(VideoSearchType, search_type, VideoSearchRecord)                                             \
    F(int, event_type, 0)                                                                          \
    F(int, time_type, 0)                                                                           \
    F(int64_t, begin_time, 0)                                                                      \
    F(int64_t, end_time, 0)                                                                        \
    F(QVector<CTeskCameraInfo>, tesk_camera_info, {})                                              \
    F(std::shared_ptr<CLableExtra>, ptr_label_extra, {})                                           \
    F(std::shared_ptr<CPersonVehicleExtra>, ptr_person_vehicle_extra, {})
TESK_VALUE_CLASS(, CCameraVideoSearchCondition, CameraVideoSearchCondition,
                 TESK_FIELDS_CameraVideoSearchCondition)

// A VCA search over one camera. `search_number` tells successive searches apart; a pulled
// batch names its search through it.
#define TESK_FIELDS_VCAIncrementalCondition(F)                                                     \
    F(std::string, search_guid, {})                                                                \
    F(int, search_number, 0)                                                                       \
    F(VCASearchType, vca_type, VCASearchMotion)                                                    \
    F(int, event_type, InteligentEventPersonVehicle)                                               \
    F(std::string, camera_id, {})                                                                  \
    F(std::string, site_id, {})                                                                    \
    F(int64_t, begin_time, 0)                                                                      \
    F(int64_t, end_time, 0)                                                                        \
    F(int, max_result_num, 10000)
TESK_VALUE_CLASS(, CVCAIncrementalCondition, VCAIncrementalCondition,
                 TESK_FIELDS_VCAIncrementalCondition)

using PlaybackFileList = std::vector<std::shared_ptr<CPlaybackFile>>;

// What one notification of a camera search reports (CCameraVideoSearchObserver::Param).
enum CameraSearchState : int {
    CameraStateFailed = 1, // one camera failed; the others go on
    CameraStateDone = 2,   // one camera's files
    CameraStateFinished = 3,
    CameraStateInterrupted = 4,
};

// What one notification of a VCA search reports (CVCAIncrementalObserver::Param). The service's
// notices 7 and 8 carry no results; the module passes them on when another search sent them.
enum VCASearchState : int {
    VCAStateData = 1,
    VCAStateFailed = 2,
    VCAStateOverMaximum = 5,
    VCAStateFinished = 6,
    VCAStateNoticeA = 7,
    VCAStateNoticeB = 8,
};

// Why a search failed before reaching the recordings (`param_error_type`); other values have no
// text of their own.
enum SearchParamError : int {
    ParamErrorNone = 0,
    ParamErrorDevice = 2,       // the device the camera belongs to
    ParamErrorStorageMedia = 3, // the storage medium does not support the search
};

// What a recorder says about one answer besides its files: why it failed, on which storage,
// and the trace of the request.
struct SearchAnswerDetails
{
    int param_error_type = 0;
    bool next_switch_other_storage = false;
    StoragePair pair_storage_info{ResourceData::StorageLocationDevice,
                                  ResourceData::StorageMediaDevice};
    Quor::Base::Error::ErrorCode error_code;
    std::string str_error_info;
    std::string trace_id;
};

class CCameraVideoSearchObserver : public Quor::Base::IBaseObserver
{
public:
    struct Param : SearchAnswerDetails
    {
        std::string search_guid;
        int state_type = 0; // CameraSearchState
        VideoSearchType search_type = VideoSearchRecord;
        ResourceKey resource_key;
        PlaybackFileList vc_data_result;
    };
    virtual void UpdateCameraSearchState(const Param &param) = 0;
};

class CVCAIncrementalObserver : public Quor::Base::IBaseObserver
{
public:
    struct Param : SearchAnswerDetails
    {
        std::string search_guid;
        int state_type = 0; // VCASearchState
        ResourceKey resource_key;
        PlaybackFileList vc_data_result;
        int vca_storage_mediatype = ResourceData::StorageMediaUnknown;
        int vca_event_type = InteligentEventNone;
        VCASearchType vca_type = VCASearchMotion;
        bool vca_configed = true;
        bool support_vca_configed = false;
    };
    virtual void UpdateSearchVideoSearchState(const Param &param) = 0;
};

} // namespace teskplaycontroller

Q_DECLARE_METATYPE(teskplaycontroller::CCameraVideoSearchObserver::Param)
Q_DECLARE_METATYPE(teskplaycontroller::CVCAIncrementalObserver::Param)
Q_DECLARE_METATYPE(teskplaycontroller::CCameraVideoSearchCondition)
