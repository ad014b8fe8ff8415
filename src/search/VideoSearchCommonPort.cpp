#include "search/VideoSearchCommonPort.h"

#include "configuration/Configuration.h"

namespace TeskVideoSearch {

namespace {

using DisplayField = int tesk_configuration::SearchDisplayConfigType::*;

// The configuration field of each kind that has a page, in kind order.
DisplayField DisplayFieldOf(VideoDataType type)
{
    using Config = tesk_configuration::SearchDisplayConfigType;
    static const DisplayField fields[] = {
        &Config::regular_video_display_type, &Config::person_dect_display_type,
        &Config::vehicle_dect_display_type,  &Config::event_alarm_display_type,
        &Config::tag_display_type,           &Config::lock_display_type,
        &Config::other_display_type,
    };
    const int index = static_cast<int>(type);
    return index >= 0 && index <= OtherVideo ? fields[index] : nullptr;
}

} // namespace

OrlPluginManager::Camera CVideoSearchCommonPort::GetCameraInfo(const std::string &site_id,
                                                               const std::string &camera_id)
{
    OrlPluginManager::GetCameraParam param;
    param.site_id = site_id;
    param.camera_id = camera_id;
    OrlPluginManager::CamerasInfoResponse response;
    if (Quor::Base::CSingleton<OrlPluginManager::CResourceBusinessInterfaceMgr>::Instance()
            .GetCameraList(param, response) &&
        !response.cameras.empty())
        return response.cameras.front();
    return OrlPluginManager::Camera();
}

SearchResultShowType CVideoSearchCommonPort::GetSearchResultShowType(const VideoDataType &type)
{
    const DisplayField field = DisplayFieldOf(type);
    if (!field)
        return ShowThumbnail;
    const auto config =
        tesk_configuration::CLocalSystemConfigManager::Instance().GetSearchDisplayType();
    const int stored = config.*field;
    return stored == ShowList ? ShowList : ShowThumbnail;
}

void CVideoSearchCommonPort::SetSearchResultShowType(const VideoDataType &type,
                                                     const SearchResultShowType &show_type)
{
    const DisplayField field = DisplayFieldOf(type);
    if (!field)
        return;
    tesk_configuration::SearchDisplayConfigType config{-1, -1, -1, -1, -1, -1, -1};
    config.*field = show_type;
    tesk_configuration::CSystemConfigManager::Instance().SetSearchDisplayConfig(config);
}

OrlSearchTimeType::TimeType CVideoSearchCommonPort::GetTimeZoneType()
{
    OrlPluginManager::SysConfigResult config;
    OrlPluginManager::CResourceBusinessInterfaceMgr::Instance().GetClientGeneralConfig(config);
    return config.time_zone_type;
}

bool CVideoSearchCommonPort::IsShowTimeDifference()
{
    OrlPluginManager::SysConfigResult config;
    OrlPluginManager::CResourceBusinessInterfaceMgr::Instance().GetClientGeneralConfig(config);
    return config.show_time_difference;
}

} // namespace TeskVideoSearch
