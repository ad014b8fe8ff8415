#include "TimeLapseService.h"
#include "PluginManager.h"

#include "mirelog/Log.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace OrlPluginManager {

namespace {

std::mutex provider_mutex;
std::shared_ptr<ITimeLapseProvider> current_provider;

// Abort flags of the picture downloads in progress; SetTimeLapseTaskDelete raises them all.
std::mutex downloads_mutex;
std::vector<std::shared_ptr<std::atomic<bool>>> active_downloads;

void SetNoProvider(int &module_code, int &error_code)
{
    module_code = TimeLapseError::kModule;
    error_code = TimeLapseError::kNoProvider;
    Quor::Base::Error::SetLastError({module_code, error_code});
}

} // namespace

void CTimeLapseProviderRegistry::SetProvider(std::shared_ptr<ITimeLapseProvider> provider)
{
    std::lock_guard<std::mutex> lock(provider_mutex);
    current_provider = std::move(provider);
}

std::shared_ptr<ITimeLapseProvider> CTimeLapseProviderRegistry::GetProvider()
{
    std::lock_guard<std::mutex> lock(provider_mutex);
    return current_provider;
}

bool CResourceBusinessInterfaceMgr::DownLoadImage(const TimeLapsePhotoRequestParam &request,
                                                  TimeLapsePhotoReponseParam &response)
{
    const auto provider = CTimeLapseProviderRegistry::GetProvider();
    if (!provider) {
        SetNoProvider(response.module_error_code, response.error_code);
        response.error_info = "no time-lapse provider";
        return false;
    }
    auto abort = std::make_shared<std::atomic<bool>>(false);
    {
        std::lock_guard<std::mutex> lock(downloads_mutex);
        active_downloads.push_back(abort);
    }
    const bool ok = provider->DownLoadImage(request, *abort, response);
    {
        std::lock_guard<std::mutex> lock(downloads_mutex);
        active_downloads.erase(std::remove(active_downloads.begin(), active_downloads.end(), abort),
                               active_downloads.end());
    }
    if (!ok)
        Quor::Base::Error::SetLastError({response.module_error_code, response.error_code});
    return ok;
}

bool CResourceBusinessInterfaceMgr::SetTimeLapseTaskDelete(const bool &is_delete)
{
    if (!is_delete)
        return true;
    std::lock_guard<std::mutex> lock(downloads_mutex);
    for (const auto &abort : active_downloads)
        abort->store(true);
    TESK_LOG_INFO("time-lapse picture downloads aborted: %zu", active_downloads.size());
    return true;
}

bool CResourceBusinessInterfaceMgr::GetDeviceTimeLapseFileCreting(
    const DeviceTimeLapsePhotoCreateStatusRequestParam &request,
    DeviceTimeLapsePhotoCreateStatusResponseParam &response)
{
    const auto provider = CTimeLapseProviderRegistry::GetProvider();
    if (!provider) {
        SetNoProvider(response.module_error_code, response.error_code);
        return false;
    }
    const bool ok = provider->GetDeviceTimeLapseFileCreting(request, response);
    if (!ok)
        Quor::Base::Error::SetLastError({response.module_error_code, response.error_code});
    return ok;
}

bool CResourceBusinessInterfaceMgr::GetDeviceTimeLapseRecordFileInfo(
    const DeviceTimeLapseRecordFileInfoRequestParam &request,
    DeviceTimeLapseRecordFileInfoResponseParam &response)
{
    const auto provider = CTimeLapseProviderRegistry::GetProvider();
    if (!provider) {
        SetNoProvider(response.module_error_code, response.error_code);
        return false;
    }
    const bool ok = provider->GetDeviceTimeLapseRecordFileInfo(request, response);
    if (!ok)
        Quor::Base::Error::SetLastError({response.module_error_code, response.error_code});
    return ok;
}

} // namespace OrlPluginManager
