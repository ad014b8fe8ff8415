#include "search/VideoSearchCommonPort.h"

#include "configuration/Configuration.h"

#include <gtest/gtest.h>

using namespace TeskVideoSearch;

namespace {

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
