#include "configuration/Configuration.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace {

using tesk_configuration::CLocalSystemConfigManager;
using tesk_configuration::CSystemConfigManager;
using tesk_configuration::SearchDisplayConfigType;

TEST(Configuration, MinusOneLeavesFieldsAndChangeIsAnnounced)
{
    QSignalSpy changed(&CSystemConfigManager::Instance(),
                       &CSystemConfigManager::signalConfigContentChanged);
    SearchDisplayConfigType all{1, 1, 1, 1, 1, 1, 1};
    ASSERT_TRUE(CSystemConfigManager::Instance().SetSearchDisplayConfig(all));
    SearchDisplayConfigType one{-1, -1, -1, -1, 0, -1, -1};
    ASSERT_TRUE(CSystemConfigManager::Instance().SetSearchDisplayConfig(one));
    const auto read = CLocalSystemConfigManager::Instance().GetSearchDisplayType();
    EXPECT_EQ(read.regular_video_display_type, 1);
    EXPECT_EQ(read.tag_display_type, 0);
    EXPECT_EQ(read.other_display_type, 1);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(0).at(0).value<tesk_configuration::ConfigPage>(),
              tesk_configuration::ConfigPageSearchDisplay);
}

} // namespace
