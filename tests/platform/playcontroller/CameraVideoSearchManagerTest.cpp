#include "SearchServiceTestSupport.h"

#include "playcontroller/CameraVideoSearchManager.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

using namespace SearchServiceTest;

namespace {

class CameraSearchManagerTest : public ServiceFixture<CCameraVideoSearchManager, CCameraCollector>
{
protected:
    // A tag search of cameras of site s1.
    static CCameraVideoSearchCondition Condition(const std::string &guid,
                                                 const std::vector<std::string> &cameras)
    {
        std::vector<TestKit::CameraRef> refs;
        for (const auto &id : cameras)
            refs.push_back({"s1", id});
        return TestKit::CameraSearchCondition(guid, VideoSearchTag, refs);
    }
};

TEST_F(CameraSearchManagerTest, AnswersOnItsOwnThreadOneCameraAtATime)
{
    source_->SetCameraFiles("s1", "c1", DeviceFiles(2));
    CameraSearchAnswer failure;
    failure.failed = true;
    failure.param_error_type = 3;
    failure.pair_storage_info = {ResourceData::StorageLocationAuxiliary,
                                 ResourceData::StorageMediaCloud};
    failure.error_code = {0x20, 0x2002};
    failure.str_error_info = "unreachable";
    source_->SetCameraAnswer("s1", "c2", failure);
    source_->SetCameraFiles("s1", "c3", DeviceFiles(1));

    ASSERT_TRUE(manager_->SearchCameraFiles(Condition("g1", {"c1", "c2", "c3"})));
    ASSERT_TRUE(collector_.WaitForState(3));

    const auto params = collector_.Params();
    ASSERT_EQ(params.size(), 4u);
    const std::vector<std::pair<int, std::string>> expected = {
        {2, "c1"}, {1, "c2"}, {2, "c3"}, {3, ""}};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(params[i].state_type, expected[i].first) << i;
        EXPECT_EQ(params[i].resource_key.resource_id, expected[i].second) << i;
        EXPECT_EQ(params[i].search_guid, "g1");
        EXPECT_EQ(params[i].search_type, VideoSearchTag);
    }
    EXPECT_EQ(params[0].vc_data_result.size(), 2u);
    EXPECT_EQ(params[0].resource_key.site_id, "s1");
    EXPECT_EQ(params[1].param_error_type, 3);
    EXPECT_EQ(params[1].pair_storage_info.first, ResourceData::StorageLocationAuxiliary);
    EXPECT_EQ(params[1].pair_storage_info.second, ResourceData::StorageMediaCloud);
    EXPECT_EQ(params[1].error_code, (Quor::Base::Error::ErrorCode{0x20, 0x2002}));
    EXPECT_EQ(params[1].str_error_info, "unreachable");
    EXPECT_TRUE(params[1].vc_data_result.empty());
    EXPECT_EQ(params[2].vc_data_result.size(), 1u);
    for (const auto &thread : collector_.Threads())
        EXPECT_NE(thread, std::this_thread::get_id());
}

TEST_F(CameraSearchManagerTest, RefusesWhatItCannotStart)
{
    CCameraVideoSearchManager uninitialised;
    EXPECT_FALSE(uninitialised.SearchCameraFiles(Condition("g", {"c1"})));
    EXPECT_FALSE(manager_->SearchCameraFiles(Condition("g", {})));
    EXPECT_FALSE(manager_->SearchCameraFiles(
        CCameraVideoSearchCondition(std::shared_ptr<CameraVideoSearchCondition>())));

    CRecordingSourceRegistry::SetSource(nullptr);
    EXPECT_FALSE(manager_->SearchCameraFiles(Condition("g", {"c1"})));
    CRecordingSourceRegistry::SetSource(source_);

    const std::string hold = CScriptedRecordingSource::CameraHoldPoint("s1", "c1");
    source_->AddHold(hold);
    ASSERT_TRUE(manager_->SearchCameraFiles(Condition("g1", {"c1"})));
    ASSERT_TRUE(source_->WaitUntilHeld(hold));
    EXPECT_TRUE(manager_->IsSearching());
    EXPECT_FALSE(manager_->SearchCameraFiles(Condition("g2", {"c1"})));
    source_->Release(hold);
    ASSERT_TRUE(collector_.WaitForState(3));
    // The final answer is out: the next search may start at once.
    EXPECT_FALSE(manager_->IsSearching());
    EXPECT_TRUE(manager_->SearchCameraFiles(Condition("g3", {"c1"})));
    ASSERT_TRUE(collector_.WaitFor([](const auto &params) {
        return params.back().search_guid == "g3" && params.back().state_type == 3;
    }));
}

TEST_F(CameraSearchManagerTest, CancelEndsWithOneInterruptionAndNothingAfter)
{
    source_->SetCameraFiles("s1", "c1", DeviceFiles(1));
    const std::string hold = CScriptedRecordingSource::CameraHoldPoint("s1", "c2");
    source_->AddHold(hold);
    ASSERT_TRUE(manager_->SearchCameraFiles(Condition("g1", {"c1", "c2", "c3"})));
    ASSERT_TRUE(source_->WaitUntilHeld(hold));
    manager_->CancelSearching();
    ASSERT_TRUE(collector_.WaitForState(4));
    manager_->UninitManager();

    const auto params = collector_.Params();
    ASSERT_EQ(params.size(), 2u);
    EXPECT_EQ(params[0].state_type, 2);
    EXPECT_EQ(params[1].state_type, 4);
    EXPECT_EQ(params[1].search_guid, "g1");
    const auto searched = source_->SearchedCameras();
    ASSERT_EQ(searched.size(), 2u);
    EXPECT_EQ(searched[1].second, "c2");
    EXPECT_FALSE(manager_->IsSearching());
}

TEST_F(CameraSearchManagerTest, AnswerAlreadyOnItsWayArrivesBeforeTheInterruption)
{
    source_->SetCameraFiles("s1", "c1", DeviceFiles(3));
    const std::string hold = CScriptedRecordingSource::CameraHoldPoint("s1", "c1");
    source_->AddHold(hold, true);
    ASSERT_TRUE(manager_->SearchCameraFiles(Condition("old", {"c1", "c2"})));
    ASSERT_TRUE(source_->WaitUntilHeld(hold));
    manager_->CancelSearching();
    source_->Release(hold);
    ASSERT_TRUE(collector_.WaitForState(4));
    manager_->UninitManager();

    const auto params = collector_.Params();
    ASSERT_EQ(params.size(), 2u);
    EXPECT_EQ(params[0].state_type, 2);
    EXPECT_EQ(params[0].search_guid, "old");
    EXPECT_EQ(params[0].vc_data_result.size(), 3u);
    EXPECT_EQ(params[1].state_type, 4);
}

TEST_F(CameraSearchManagerTest, DestroyingWhileAnAnswerIsHeldReturns)
{
    const std::string hold = CScriptedRecordingSource::CameraHoldPoint("s1", "c1");
    source_->AddHold(hold);
    ASSERT_TRUE(manager_->SearchCameraFiles(Condition("g1", {"c1", "c2"})));
    ASSERT_TRUE(source_->WaitUntilHeld(hold));
    manager_.reset();
    for (const auto &param : collector_.Params())
        EXPECT_NE(param.state_type, 2);
}

} // namespace
