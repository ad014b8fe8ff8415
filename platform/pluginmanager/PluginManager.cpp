#include "PluginManager.h"

#include "mirelog/Log.h"

#include <mutex>

namespace OrlPluginManager {

namespace {
// Host error raised when the plug-in manager cannot be reached.
constexpr Quor::Base::Error::ErrorCode kHostUnavailable{0x10, 0x1001};
} // namespace

void CCameraDirectory::Clear()
{
    std::unique_lock lock(mutex_);
    cameras_.clear();
    denied_.clear();
    denied_controls_.clear();
    general_config_ = SysConfigResult();
    camera_list_available_ = true;
}

void CCameraDirectory::SetCameras(const std::vector<Camera> &cameras)
{
    std::unique_lock lock(mutex_);
    cameras_ = cameras;
}

void CCameraDirectory::AddCamera(const Camera &camera)
{
    std::unique_lock lock(mutex_);
    for (Camera &existing : cameras_) {
        if (existing.id == camera.id && existing.site_id == camera.site_id) {
            existing = camera;
            return;
        }
    }
    cameras_.push_back(camera);
}

std::vector<Camera> CCameraDirectory::FindCameras(const GetCameraParam &param) const
{
    std::shared_lock lock(mutex_);
    std::vector<Camera> found;
    for (const Camera &camera : cameras_) {
        if ((param.site_id.empty() || camera.site_id == param.site_id) &&
            (param.camera_id.empty() || camera.id == param.camera_id))
            found.push_back(camera);
    }
    return found;
}

void CCameraDirectory::SetPermissionDenied(const std::string &site_id, const std::string &camera_id,
                                           int item, bool denied)
{
    std::unique_lock lock(mutex_);
    const auto key = std::make_tuple(site_id, camera_id, item);
    if (denied)
        denied_.insert(key);
    else
        denied_.erase(key);
}

bool CCameraDirectory::IsPermitted(const std::string &site_id, const std::string &camera_id,
                                   int item) const
{
    std::shared_lock lock(mutex_);
    return denied_.count(std::make_tuple(site_id, camera_id, item)) == 0;
}

void CCameraDirectory::SetControlPermissionDenied(int item, bool denied)
{
    std::unique_lock lock(mutex_);
    if (denied)
        denied_controls_.insert(item);
    else
        denied_controls_.erase(item);
}

bool CCameraDirectory::IsControlPermitted(int item) const
{
    std::shared_lock lock(mutex_);
    return denied_controls_.count(item) == 0;
}

void CCameraDirectory::SetGeneralConfig(const SysConfigResult &config)
{
    std::unique_lock lock(mutex_);
    general_config_ = config;
}

SysConfigResult CCameraDirectory::GeneralConfig() const
{
    std::shared_lock lock(mutex_);
    return general_config_;
}

void CCameraDirectory::SetWeekConfig(int first_day)
{
    std::unique_lock lock(mutex_);
    week_config_ = first_day;
}

int CCameraDirectory::WeekConfig() const
{
    std::shared_lock lock(mutex_);
    return week_config_;
}

void CCameraDirectory::SetCameraListAvailable(bool available)
{
    std::unique_lock lock(mutex_);
    camera_list_available_ = available;
}

bool CCameraDirectory::IsCameraListAvailable() const
{
    std::shared_lock lock(mutex_);
    return camera_list_available_;
}

bool CResourceBusinessInterfaceMgr::GetCameraList(const GetCameraParam &param,
                                                  CamerasInfoResponse &response)
{
    CCameraDirectory &directory = CCameraDirectory::Instance();
    if (!directory.IsCameraListAvailable()) {
        Quor::Base::Error::SetLastError(kHostUnavailable);
        return false;
    }
    response.cameras = directory.FindCameras(param);
    return true;
}

bool CResourceBusinessInterfaceMgr::GetClientGeneralConfig(SysConfigResult &result)
{
    result = CCameraDirectory::Instance().GeneralConfig();
    return true;
}

bool CResourceBusinessInterfaceMgr::CheckResourcePermission(const ResourcePermissionParam &param)
{
    if (param.resource_type != ResourceData::kCameraResourceType)
        return true;
    return CCameraDirectory::Instance().IsPermitted(param.site_id, param.resource_id,
                                                    param.permission_item);
}

bool CResourceBusinessInterfaceMgr::CheckControlPermission(int item)
{
    return CCameraDirectory::Instance().IsControlPermitted(item);
}

int CResourceBusinessInterfaceMgr::GetWeekConfig()
{
    return CCameraDirectory::Instance().WeekConfig();
}

std::shared_ptr<Camera> CCameraManager::GetCameraByID(const std::string &site_id,
                                                      const std::string &camera_id)
{
    const auto found = CCameraDirectory::Instance().FindCameras({site_id, camera_id});
    return found.empty() ? nullptr : std::make_shared<Camera>(found.front());
}

std::shared_ptr<Camera> CCameraManager::GetCameraByID(const std::string &camera_id)
{
    return camera_id.empty() ? nullptr : GetCameraByID(std::string(), camera_id);
}

// Lookups read the directory directly, so there is nothing cached to drop.
void CCameraManager::UninitManager() {}

CDeviceBusinessMgr::CDeviceBusinessMgr()
{
    qRegisterMetaType<EnumWakeupStatus>("OrlPluginManager::EnumWakeupStatus");
}

void CDeviceBusinessMgr::NotifyWakeUpResult(const QString &workstation_id, const QString &camera_id,
                                            EnumWakeupStatus status, const QString &error_info)
{
    QMetaObject::invokeMethod(
        this,
        [=] {
            emit SignalWakeUpCameraResultInMainThread(workstation_id, camera_id, status,
                                                      error_info);
        },
        Qt::QueuedConnection);
}

void CLogBusinessInterfaceMgr::WriteOperationLog(int code, const OperationLog &record,
                                                 const std::string &text,
                                                 const std::map<int, boost::any> &items)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        records_.push_back({code, record, text, items});
    }
    TESK_LOG_TAGGED_INFO("OrlClientUserOperate",
                         "operation %d camera %s (%s) result %d error %d/%d items %zu", code,
                         record.camera_id.c_str(), record.camera_name.c_str(), record.result,
                         record.error_code.module_code, record.error_code.error_code, items.size());
}

std::vector<OperationLogEntry> CLogBusinessInterfaceMgr::Records() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return records_;
}

void CLogBusinessInterfaceMgr::ClearRecords()
{
    std::lock_guard<std::mutex> lock(mutex_);
    records_.clear();
}

} // namespace OrlPluginManager

std::string OrlErrorCodeTrans::GetErrorInfoByErrorCode(const Quor::Base::Error::ErrorCode &code)
{
    switch (code.error_code) {
    case 0:
        return "Success.";
    case 0x1001:
        return "The host service is not available.";
    case 0x2001:
        return "The device is offline.";
    case 0x2002:
        return "The storage is not reachable.";
    case 0x2003:
        return "The device did not answer in time.";
    case 0x2004:
        return "No record plan is configured.";
    default:
        return "Unknown error (" + std::to_string(code.module_code) + "/" +
               std::to_string(code.error_code) + ").";
    }
}
