#include "SearchServiceTestSupport.h"

#include "playcontroller/VCAIncrementalManager.h"

#include <gtest/gtest.h>

using namespace SearchServiceTest;

namespace {

class VCAManagerTest : public ServiceFixture<CVCAIncrementalManager, CVCACollector>
{
protected:
    static CVCAIncrementalCondition Condition(const std::string &guid, int number)
    {
        return TestKit::VCASearchCondition(guid, number, {"s1", "c1"}, VCASearchLineCrossing);
    }
};

TEST_F(VCAManagerTest, FirstPushIsAnnouncedLaterPushesArePulledInBatches)
{
    CScriptedRecordingSource::VCAScript script;
    script.pushes = {DeviceFiles(3), DeviceFiles(40), DeviceFiles(30)};
    CVCAIncrementalObserver::Param foreign;
    foreign.search_guid = "someone-else";
    foreign.state_type = 7;
    script.foreign_states = {foreign};
    script.final_param.vca_configed = false;
    script.final_param.support_vca_configed = true;
    source_->SetVCAScript(script);

    ASSERT_TRUE(manager_->StartSearching(Condition("g1", 11)));
    ASSERT_TRUE(collector_.WaitForState(6));

    const auto params = collector_.Params();
    ASSERT_EQ(params.size(), 3u);
    EXPECT_EQ(params[0].state_type, 7);
    EXPECT_EQ(params[0].search_guid, "someone-else");
    EXPECT_EQ(params[1].state_type, 1);
    EXPECT_EQ(params[1].search_guid, "g1");
    EXPECT_EQ(params[1].vc_data_result.size(), 3u);
    EXPECT_EQ(params[1].resource_key.resource_id, "c1");
    EXPECT_EQ(params[1].resource_key.site_id, "s1");
    EXPECT_EQ(params[1].vca_type, VCASearchLineCrossing);
    EXPECT_FALSE(params[2].vca_configed);
    EXPECT_TRUE(params[2].support_vca_configed);
    for (const auto &thread : collector_.Threads())
        EXPECT_NE(thread, std::this_thread::get_id());

    VCAIncrementalCondition condition;
    PlaybackFileList files;
    ASSERT_TRUE(manager_->GetManagerSearchData(condition, files, 50));
    EXPECT_EQ(condition.search_number, 11);
    EXPECT_EQ(condition.camera_id, "c1");
    EXPECT_EQ(files.size(), 50u);
    EXPECT_EQ(files.front()->GetFileName(), "f0");
    ASSERT_TRUE(manager_->GetManagerSearchData(condition, files, -1));
    EXPECT_EQ(files.size(), 20u);
    EXPECT_FALSE(manager_->GetManagerSearchData(condition, files, -1));
    EXPECT_TRUE(files.empty());
}

TEST_F(VCAManagerTest, CancelDropsTheBufferAndSilencesTheSearch)
{
    CScriptedRecordingSource::VCAScript script;
    script.pushes = {DeviceFiles(1), DeviceFiles(5)};
    source_->SetVCAScript(script);
    source_->AddHold(CScriptedRecordingSource::kVCABeforeFinal);
    ASSERT_TRUE(manager_->StartSearching(Condition("g1", 1)));
    ASSERT_TRUE(source_->WaitUntilHeld(CScriptedRecordingSource::kVCABeforeFinal));
    manager_->CancelSearching();
    manager_->UninitManager();

    const auto params = collector_.Params();
    ASSERT_EQ(params.size(), 1u);
    EXPECT_EQ(params[0].state_type, 1);
    VCAIncrementalCondition condition;
    PlaybackFileList files;
    EXPECT_FALSE(manager_->GetManagerSearchData(condition, files, -1));
}

TEST_F(VCAManagerTest, ANewSearchReplacesTheRunningOne)
{
    CScriptedRecordingSource::VCAScript script;
    script.pushes = {DeviceFiles(2)};
    source_->SetVCAScript(script);
    source_->AddHold(CScriptedRecordingSource::kVCABeforeFirstPush);
    ASSERT_TRUE(manager_->StartSearching(Condition("first", 1)));
    ASSERT_TRUE(source_->WaitUntilHeld(CScriptedRecordingSource::kVCABeforeFirstPush));
    ASSERT_TRUE(manager_->StartSearching(Condition("second", 2)));
    ASSERT_TRUE(collector_.WaitForState(6));
    for (const auto &param : collector_.Params())
        EXPECT_EQ(param.search_guid, "second");
    EXPECT_EQ(source_->VCASearchCount(), 2);
}

TEST_F(VCAManagerTest, RefusesWithoutSourceOrInitialisation)
{
    CVCAIncrementalManager uninitialised;
    EXPECT_FALSE(uninitialised.StartSearching(Condition("g", 1)));
    CRecordingSourceRegistry::SetSource(nullptr);
    EXPECT_FALSE(manager_->StartSearching(Condition("g", 1)));
}

TEST_F(VCAManagerTest, DestroyingWhileHeldReturns)
{
    source_->AddHold(CScriptedRecordingSource::kVCABeforeFirstPush);
    ASSERT_TRUE(manager_->StartSearching(Condition("g1", 1)));
    ASSERT_TRUE(source_->WaitUntilHeld(CScriptedRecordingSource::kVCABeforeFirstPush));
    manager_.reset();
    EXPECT_TRUE(collector_.Params().empty());
}

} // namespace
