#pragma once

#include "pluginmanager/ResourceData.h"
#include "pluginmanager/TimeLapseService.h"
#include "quorbase/Error.h"
#include "quorbase/Singleton.h"

#include <boost/any.hpp>

#include <QObject>
#include <QVector>

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <shared_mutex>
#include <string>
#include <vector>

// The client's plug-in manager: cameras, client configuration, permissions and the operation
// log. Its answers come from a camera directory that the recording server (or a test) fills.
namespace OrlPluginManager {

// One daylight-saving switch: the `week`-th `weekday` (0 Sunday; week 5 = last) of `month` at
// `hour` local standard time.
struct DstTransition
{
    int month = 0;
    int week = 0;
    int weekday = 0;
    int hour = 0;
};

// A device's time zone. `utc_bias` and `daylight_bias` are seconds east of UTC: local
// standard time = UTC + utc_bias; during daylight saving add daylight_bias.
struct COrlTimeZoneInfor
{
    int utc_bias = 0;
    bool b_dst = false;
    int daylight_bias = 0;
    DstTransition dst_begin;
    DstTransition dst_end;
};

class Camera
{
public:
    std::string id;
    std::string site_id;
    std::string name;
    std::string device_id;
    std::string area_name;
    int element_type = 0;
    COrlTimeZoneInfor time_zone;

    const std::string &GetID() const { return id; }
    const std::string &GetName() const { return name; }
    const std::string &GetSiteId() const { return site_id; }
    const std::string &GetDeviceId() const { return device_id; }
};
using CCamera = Camera;

struct GetCameraParam
{
    std::string site_id;   // empty: every site
    std::string camera_id; // empty: every camera
};

struct CamerasInfoResponse
{
    std::vector<Camera> cameras;
};

struct SysConfigResult
{
    OrlSearchTimeType::TimeType time_zone_type = OrlSearchTimeType::ClientTime;
    bool show_time_difference = false;
    COrlTimeZoneInfor client_time_zone; // the client computer's own zone
};

struct ResourcePermissionParam
{
    int resource_type = ResourceData::kCameraResourceType;
    std::string resource_id;
    std::string site_id;
    int permission_item = 0;
};

// Everything the plug-in manager answers from. Thread-safe: filled once, read from any thread.
class TESK_PLATFORM_VISIBLE CCameraDirectory : public Quor::Base::CSingleton<CCameraDirectory>
{
public:
    void Clear();
    void SetCameras(const std::vector<Camera> &cameras);
    void AddCamera(const Camera &camera);
    std::vector<Camera> FindCameras(const GetCameraParam &param) const;

    // Permissions are granted unless denied.
    void SetPermissionDenied(const std::string &site_id, const std::string &camera_id, int item,
                             bool denied);
    bool IsPermitted(const std::string &site_id, const std::string &camera_id, int item) const;
    void SetControlPermissionDenied(int item, bool denied);
    bool IsControlPermitted(int item) const;

    void SetGeneralConfig(const SysConfigResult &config);
    SysConfigResult GeneralConfig() const;
    // The operator's first day of the week, 1 Monday … 7 Sunday; 0 when not configured.
    void SetWeekConfig(int first_day);
    int WeekConfig() const;

    // Makes GetCameraList fail, as a disconnected host would.
    void SetCameraListAvailable(bool available);
    bool IsCameraListAvailable() const;

private:
    friend class Quor::Base::CSingleton<CCameraDirectory>;
    CCameraDirectory() = default;

    mutable std::shared_mutex mutex_;
    std::vector<Camera> cameras_;
    std::set<std::tuple<std::string, std::string, int>> denied_;
    std::set<int> denied_controls_;
    SysConfigResult general_config_;
    bool camera_list_available_ = true;
    int week_config_ = 0;
};

class TESK_PLATFORM_VISIBLE CResourceBusinessInterfaceMgr
    : public Quor::Base::CSingleton<CResourceBusinessInterfaceMgr>
{
public:
    // False (with the last error set) when the host cannot answer.
    bool GetCameraList(const GetCameraParam &param, CamerasInfoResponse &response);
    bool GetClientGeneralConfig(SysConfigResult &result);
    bool CheckResourcePermission(const ResourcePermissionParam &param);
    bool CheckControlPermission(int item);
    // 1 Monday … 7 Sunday; 0 when the operator chose none.
    int GetWeekConfig();

    // Time-lapse requests, answered by the registered ITimeLapseProvider (TimeLapseService.cpp).
    bool DownLoadImage(const TimeLapsePhotoRequestParam &request,
                       TimeLapsePhotoReponseParam &response);
    // true aborts the picture downloads that are running now.
    bool SetTimeLapseTaskDelete(const bool &is_delete);
    bool GetDeviceTimeLapseFileCreting(const DeviceTimeLapsePhotoCreateStatusRequestParam &request,
                                       DeviceTimeLapsePhotoCreateStatusResponseParam &response);
    bool GetDeviceTimeLapseRecordFileInfo(const DeviceTimeLapseRecordFileInfoRequestParam &request,
                                          DeviceTimeLapseRecordFileInfoResponseParam &response);

private:
    friend class Quor::Base::CSingleton<CResourceBusinessInterfaceMgr>;
    CResourceBusinessInterfaceMgr() = default;
};

class TESK_PLATFORM_VISIBLE CCameraManager : public QObject,
                                             public Quor::Base::CSingleton<CCameraManager>
{
    Q_OBJECT
public:
    std::shared_ptr<Camera> GetCameraByID(const std::string &site_id, const std::string &camera_id);
    std::shared_ptr<Camera> GetCameraByID(const std::string &camera_id);
    // Drops what the manager caches for the module; the next lookup reads the directory again.
    void UninitManager();

signals:
    void SignalCamerasDelete(QVector<QString> camera_ids);

private:
    friend class Quor::Base::CSingleton<CCameraManager>;
    CCameraManager() = default;
};

// Battery-powered cameras sleep between recordings and are woken before a search.
enum EnumWakeupStatus {
    WakeupSucceeded = 0,
    WakeupFailed = 1,
    WakeupTimeout = 2,
    WakeupBusy = 3,
};

class TESK_PLATFORM_VISIBLE CDeviceBusinessMgr : public QObject,
                                                 public Quor::Base::CSingleton<CDeviceBusinessMgr>
{
    Q_OBJECT
public:
    // Reports a wake-up outcome on the user-interface thread, from any thread.
    void NotifyWakeUpResult(const QString &workstation_id, const QString &camera_id,
                            EnumWakeupStatus status, const QString &error_info);

signals:
    void SignalWakeUpCameraResultInMainThread(QString workstation_id, QString camera_id,
                                              OrlPluginManager::EnumWakeupStatus status,
                                              QString error_info);

private:
    friend class Quor::Base::CSingleton<CDeviceBusinessMgr>;
    CDeviceBusinessMgr();
};

// One audit record of the operation log.
struct OperationLog
{
    int operation_code = 0;
    int64_t time = 0;
    std::string camera_id;
    std::string camera_name;
    int result = 1; // 1 success, 0 failure
    Quor::Base::Error::ErrorCode error_code;
    int before_result = 0; // 2 for a failure record
    int flag = 0;
};

struct OperationLogEntry
{
    int code = 0;
    OperationLog record;
    std::string text;
    std::map<int, boost::any> items;
};

class TESK_PLATFORM_VISIBLE CLogBusinessInterfaceMgr
    : public Quor::Base::CSingleton<CLogBusinessInterfaceMgr>
{
public:
    void WriteOperationLog(int code, const OperationLog &record, const std::string &text,
                           const std::map<int, boost::any> &items);
    std::vector<OperationLogEntry> Records() const;
    void ClearRecords();

private:
    friend class Quor::Base::CSingleton<CLogBusinessInterfaceMgr>;
    CLogBusinessInterfaceMgr() = default;

    mutable std::mutex mutex_;
    std::vector<OperationLogEntry> records_;
};

} // namespace OrlPluginManager

Q_DECLARE_METATYPE(OrlPluginManager::EnumWakeupStatus)

namespace OrlErrorCodeTrans {
// A readable reason for a service error code.
std::string GetErrorInfoByErrorCode(const Quor::Base::Error::ErrorCode &code);
} // namespace OrlErrorCodeTrans
