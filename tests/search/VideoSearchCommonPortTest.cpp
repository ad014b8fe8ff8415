#include "search/VideoSearchCommonPort.h"

#include "configuration/Configuration.h"
#include "pluginmanager/PluginManager.h"

#include <gtest/gtest.h>

using namespace TeskVideoSearch;

namespace {

TEST(CommonPort, CameraInfoComesFromThePluginManager)
{
    auto &directory = OrlPluginManager::CCameraDirectory::Instance();
    directory.Clear();
    OrlPluginManager::Camera camera;
    camera.id = "c1";
    camera.site_id = "s1";
    camera.name = "Gate";
    directory.AddCamera(camera);
    EXPECT_EQ(CVideoSearchCommonPort::GetCameraInfo("s1", "c1").GetName(), "Gate");
    EXPECT_EQ(CVideoSearchCommonPort::GetCameraInfo("s2", "c1").GetName(), "");
    directory.SetCameraListAvailable(false);
    EXPECT_EQ(CVideoSearchCommonPort::GetCameraInfo("s1", "c1").GetName(), "");
    directory.Clear();
}

TEST(CommonPort, PresentationSettingPerKind)
{
    for (int kind = 0; kind <= 6; ++kind)
        CVideoSearchCommonPort::SetSearchResultShowType(VideoDataType(kind), ShowThumbnail);
    CVideoSearchCommonPort::SetSearchResultShowType(LockVideo, ShowList);
    for (int kind = 0; kind <= 8; ++kind)
        EXPECT_EQ(CVideoSearchCommonPort::GetSearchResultShowType(VideoDataType(kind)),
                  kind == LockVideo ? ShowList : ShowThumbnail)
            << kind;

    // Kind 7 has no setting: storing it changes nothing and announces nothing.
    const auto before =
        tesk_configuration::CLocalSystemConfigManager::Instance().GetSearchDisplayType();
    CVideoSearchCommonPort::SetSearchResultShowType(AllCameraFileVideo, ShowList);
    CVideoSearchCommonPort::SetSearchResultShowType(VcaSearchVideo, ShowList);
    const auto after =
        tesk_configuration::CLocalSystemConfigManager::Instance().GetSearchDisplayType();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);

    // A value the module never writes reads as thumbnails.
    tesk_configuration::SearchDisplayConfigType odd{-1, -1, -1, -1, 2, -1, -1};
    tesk_configuration::CSystemConfigManager::Instance().SetSearchDisplayConfig(odd);
    EXPECT_EQ(CVideoSearchCommonPort::GetSearchResultShowType(TagVideo), ShowThumbnail);
}

} // namespace
