#include "ControllerTestSupport.h"

#include <QTimer>

#include <thread>

using namespace ControllerTest;
using teskplaycontroller::VideoSearchType;

namespace {

class SearchRoadTest : public ControllerFixture
{};

TEST_F(SearchRoadTest, StoresEachCameraInOrderAndFinishes)
{
    source_->SetCameraFiles("s1", "c1", DeviceFiles(3));
    teskplaycontroller::CameraSearchAnswer failure;
    failure.failed = true;
    failure.str_error_info = "offline";
    source_->SetCameraAnswer("s1", "c2", failure);
    source_->SetCameraFiles("s1", "c3", DeviceFiles(2));

    ASSERT_TRUE(Search("g1", teskplaycontroller::VideoSearchLock, {"c1", "c2", "c3"}));
    ASSERT_TRUE(WaitForEvent(ClipSearchFinished));
    const auto events = Events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].type, ClipSearchDataArrived);
    EXPECT_EQ(events[0].count, 3);
    EXPECT_EQ(events[1].type, ClipSearchDataArrived);
    EXPECT_EQ(events[1].count, 5);
    EXPECT_EQ(events[2].type, ClipSearchFinished);

    const auto cameras = controller_->GetSearchSuccessCameraInfo();
    ASSERT_EQ(cameras.size(), 2);
    EXPECT_EQ(cameras[0].GetVal_camera_key().GetVal_resource_id(), "c1");
    EXPECT_EQ(cameras[0].GetVal_camera_name(), "Gate");
    EXPECT_EQ(cameras[1].GetVal_camera_name(), "Dock");
    EXPECT_EQ(Lattice::CNewInfoDlg::ShownTexts().size(), 1);
    EXPECT_FALSE(controller_->IsSearching());
}

class SearchTypeTest : public ControllerFixture, public ::testing::WithParamInterface<int>
{};

TEST_P(SearchTypeTest, OnlyKnownSearchTypesReportProgress)
{
    // Records, tags, locks and person-vehicle searches (0, 1, 2, 13) report in the other tests.
    const int type = GetParam();
    const bool handled = type == 10 || type == 11;
    source_->SetCameraFiles("s1", "c1", DeviceFiles(2));
    ASSERT_TRUE(Search("g1", static_cast<VideoSearchType>(type), {"c1"}));
    ASSERT_TRUE(WaitForEvent(ClipSearchFinished));
    const std::vector<int> expected =
        handled ? std::vector<int>{ClipSearchDataArrived, ClipSearchFinished}
                : std::vector<int>{ClipSearchFinished};
    EXPECT_EQ(EventTypes(), expected);
    // Every answer is audited, reported or not.
    EXPECT_EQ(OrlPluginManager::CLogBusinessInterfaceMgr::Instance().Records().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Types, SearchTypeTest, ::testing::Values(3, 9, 10, 11, 12, 14));

// A restart waits for the old search to end, its held camera interrupted or answering late; a
// late answer is dropped.
class RestartTest : public ControllerFixture, public ::testing::WithParamInterface<bool>
{};

TEST_P(RestartTest, NewSearchRunsOnceTheOldOneHasEnded)
{
    const bool late = GetParam();
    const std::string hold = CScriptedRecordingSource::CameraHoldPoint("s1", "c1");
    source_->AddHold(hold, late);
    source_->SetCameraFiles("s1", "c1", DeviceFiles(4));
    source_->SetCameraFiles("s1", "c3", DeviceFiles(2));
    ASSERT_TRUE(Search("old", teskplaycontroller::VideoSearchLock, {"c1", "c2"}));
    ASSERT_TRUE(source_->WaitUntilHeld(hold));

    ASSERT_TRUE(Search("new", teskplaycontroller::VideoSearchLock, {"c3"}));
    EXPECT_TRUE(spy_->isEmpty());
    if (late)
        source_->Release(hold);
    ASSERT_TRUE(WaitForEvent(ClipSearchFinished));
    Drain();

    using Seen = std::vector<std::pair<std::string, int>>;
    Seen states = {{"old", 4}, {"new", 2}, {"new", 3}};
    if (late)
        states.insert(states.begin(), {"old", 2});
    EXPECT_EQ(camera_states_, states);
    using Searched = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(source_->SearchedCameras(), (Searched{{"old", "c1"}, {"new", "c3"}}));
    EXPECT_EQ(EventTypes(), (std::vector<int>{ClipSearchDataArrived, ClipSearchFinished}));
    EXPECT_EQ(Events()[0].count, 2);
    teskplaycontroller::CCameraVideoSearchCondition running;
    controller_->GetCurrentSearchParam(running);
    EXPECT_EQ(running.GetVal_search_guid(), "new");
    const auto cameras = controller_->GetSearchSuccessCameraInfo();
    ASSERT_EQ(cameras.size(), 1);
    EXPECT_EQ(cameras[0].GetVal_camera_key().GetVal_resource_id(), "c3");
    EXPECT_EQ(
        controller_->GetTotalFileNum(LockVideo, {CameraKey("s1", "c1"), CameraKey("s1", "c3")}), 2);
}

INSTANTIATE_TEST_SUITE_P(OldCamera, RestartTest, ::testing::Values(false, true));

TEST_F(SearchRoadTest, RefusedRestartStillFinishes)
{
    const std::string hold = CScriptedRecordingSource::CameraHoldPoint("s1", "c1");
    source_->AddHold(hold);
    ASSERT_TRUE(Search("old", teskplaycontroller::VideoSearchLock, {"c1"}));
    ASSERT_TRUE(source_->WaitUntilHeld(hold));
    // No camera: the service refuses the new search once the old one is gone.
    ASSERT_TRUE(Search("new", teskplaycontroller::VideoSearchLock, {}));
    ASSERT_TRUE(WaitForEvent(ClipSearchFinished));
    EXPECT_EQ(EventTypes(), std::vector<int>{ClipSearchFinished});
    EXPECT_FALSE(controller_->IsSearching());
    EXPECT_FALSE(Search("again", teskplaycontroller::VideoSearchLock, {}));
}

TEST_F(SearchRoadTest, RestartAlsoEndsOnTheOldSearchsFinish)
{
    const std::string hold = CScriptedRecordingSource::CameraHoldPoint("s1", "c1");
    source_->AddHold(hold, true);
    ASSERT_TRUE(Search("old", teskplaycontroller::VideoSearchLock, {"c1"}));
    ASSERT_TRUE(source_->WaitUntilHeld(hold));
    ASSERT_TRUE(Search("new", teskplaycontroller::VideoSearchLock, {"c3"}));

    // The old search finished just as it was cancelled: its last word is "finished". The
    // restart is attempted then; the service, still busy, refuses it.
    CVideoSearchController::CameraParam finished;
    finished.search_guid = "old";
    finished.state_type = 3;
    std::thread service([&] { controller_->UpdateCameraSearchState(finished); });
    service.join();
    ASSERT_TRUE(WaitForEvent(ClipSearchFinished));
    EXPECT_EQ(EventTypes(), std::vector<int>{ClipSearchFinished});

    source_->Release(hold);
    ASSERT_TRUE(WaitForCameraState("old", 4));
    Drain();
    EXPECT_EQ(spy_->count(), 1);
}

TEST_F(SearchRoadTest, CancelWithoutRestartIsSilent)
{
    source_->SetCameraFiles("s1", "c1", DeviceFiles(2));
    source_->SetCameraFiles("s1", "c2", DeviceFiles(2));
    const std::string hold = CScriptedRecordingSource::CameraHoldPoint("s1", "c2");
    source_->AddHold(hold);
    ASSERT_TRUE(Search("g1", teskplaycontroller::VideoSearchLock, {"c1", "c2"}));
    ASSERT_TRUE(source_->WaitUntilHeld(hold));
    ASSERT_TRUE(WaitForEvent(ClipSearchDataArrived));
    const int before = spy_->count();
    EXPECT_TRUE(controller_->IsSearching());

    controller_->CancelSearch(false);
    ASSERT_TRUE(WaitForCameraState("g1", 4));
    Drain();
    EXPECT_EQ(spy_->count(), before);
    EXPECT_TRUE(controller_->GetSearchSuccessCameraInfo().isEmpty());
    EXPECT_FALSE(controller_->IsSearching());
    teskplaycontroller::CCameraVideoSearchCondition running;
    controller_->GetCurrentSearchParam(running);
    EXPECT_TRUE(running.GetVal_search_guid().empty());
}

// A service that answers many cameras before the interface thread gets round to them must not
// hold that thread for the whole burst: the event loop comes round between slices of answers,
// and the answers still arrive in order with the finish last.
TEST_F(SearchRoadTest, BurstOfAnswersIsTakenOverSeveralTurns)
{
    const std::string hold = CScriptedRecordingSource::CameraHoldPoint("s1", "c1");
    source_->AddHold(hold);
    ASSERT_TRUE(Search("burst", teskplaycontroller::VideoSearchRecord, {"c1"}, 600));
    ASSERT_TRUE(source_->WaitUntilHeld(hold));

    constexpr int kCameras = 40;
    std::thread service([&] {
        for (int i = 0; i < kCameras; ++i) {
            CVideoSearchController::CameraParam done;
            done.search_guid = "burst";
            done.state_type = teskplaycontroller::CameraStateDone;
            done.resource_key.site_id = "s1";
            done.resource_key.resource_id = "burst-" + std::to_string(i);
            done.vc_data_result = DeviceFiles(2000, 1000, 50);
            controller_->UpdateCameraSearchState(done);
        }
        CVideoSearchController::CameraParam finished;
        finished.search_guid = "burst";
        finished.state_type = teskplaycontroller::CameraStateFinished;
        controller_->UpdateCameraSearchState(finished);
    });
    service.join();

    int turns = 0;
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [&] { ++turns; });
    turn.start(0);
    std::vector<int> turn_of_answer;
    QObject::connect(controller_.get(), &CVideoSearchController::SignalSearchResult,
                     [&](const ClipSearchEvent &) { turn_of_answer.push_back(turns); });
    ASSERT_TRUE(WaitForEvent(ClipSearchFinished));

    const auto events = Events();
    ASSERT_EQ(events.size(), size_t(kCameras) + 1);
    int segments = 0;
    for (int i = 0; i < kCameras; ++i) {
        EXPECT_EQ(events[size_t(i)].type, ClipSearchDataArrived);
        // Each camera's recordings are split into segments as they arrive.
        EXPECT_GT(events[size_t(i)].count, segments);
        segments = events[size_t(i)].count;
    }
    EXPECT_EQ(events.back().type, ClipSearchFinished);
    const auto cameras = controller_->GetSearchSuccessCameraInfo();
    ASSERT_EQ(cameras.size(), kCameras);
    EXPECT_EQ(cameras.back().GetVal_camera_key().GetVal_resource_id(), "burst-39");
    ASSERT_EQ(turn_of_answer.size(), size_t(kCameras) + 1);
    EXPECT_GT(turn_of_answer.back(), turn_of_answer.front())
        << "every answer was handled in one turn of the event loop";
}

TEST_F(SearchRoadTest, CancelWithRestartStartsTheStoredSearchAgain)
{
    source_->SetCameraFiles("s1", "c1", DeviceFiles(2));
    const std::string hold = CScriptedRecordingSource::CameraHoldPoint("s1", "c1");
    source_->AddHold(hold);
    ASSERT_TRUE(Search("g1", teskplaycontroller::VideoSearchLock, {"c1"}));
    ASSERT_TRUE(source_->WaitUntilHeld(hold));
    // The conditions are reset, so the restart runs the empty search, which the service
    // refuses: the pages still get their finish.
    controller_->CancelSearch(true);
    ASSERT_TRUE(WaitForEvent(ClipSearchFinished));
    EXPECT_EQ(EventTypes(), std::vector<int>{ClipSearchFinished});
}

TEST_F(SearchRoadTest, StoreLimitCancelsTheSearchAndReportsMaxData)
{
    source_->SetCameraFiles("s1", "c1", DeviceFiles(4998));
    source_->SetCameraFiles("s1", "c2", DeviceFiles(10));
    source_->SetCameraFiles("s1", "c3", DeviceFiles(5));
    const std::string hold = CScriptedRecordingSource::CameraHoldPoint("s1", "c3");
    source_->AddHold(hold);
    ASSERT_TRUE(Search("g1", teskplaycontroller::VideoSearchTag, {"c1", "c2", "c3"}));
    ASSERT_TRUE(WaitForCameraState("g1", 4));
    Drain();

    const auto events = Events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].type, ClipSearchDataArrived);
    EXPECT_EQ(events[0].count, 4998);
    EXPECT_EQ(events[1].type, ClipSearchFinished);
    EXPECT_TRUE(events[1].max_data);
    EXPECT_EQ(events[2].type, ClipSearchDataArrived);
    EXPECT_EQ(events[2].count, 5000);
    EXPECT_EQ(controller_->GetTotalFileNum(LockVideo, {CameraKey("s1", "c2")}), 2);
    EXPECT_EQ(controller_->GetTotalFileNum(
                  AllCameraFileVideo,
                  {CameraKey("s1", "c1"), CameraKey("s1", "c2"), CameraKey("s1", "c3")}),
              5000);
    EXPECT_EQ(source_->SearchedCameras().size(), 3u);
}

TEST_F(SearchRoadTest, RegularRecordingsHaveNoStoreLimit)
{
    source_->SetCameraFiles("s1", "c1", DeviceFiles(4998));
    source_->SetCameraFiles("s1", "c2", DeviceFiles(10));
    ASSERT_TRUE(Search("g1", teskplaycontroller::VideoSearchRecord, {"c1", "c2"}));
    ASSERT_TRUE(WaitForEvent(ClipSearchFinished));
    EXPECT_EQ(EventTypes(), (std::vector<int>{2, 2, 3}));
    EXPECT_EQ(
        controller_->GetTotalFileNum(LockVideo, {CameraKey("s1", "c1"), CameraKey("s1", "c2")}),
        5008);
}

TEST_F(SearchRoadTest, DestroyingWhileAnAnswerIsHeldReturns)
{
    const std::string hold = CScriptedRecordingSource::CameraHoldPoint("s1", "c1");
    source_->AddHold(hold);
    ASSERT_TRUE(Search("g1", teskplaycontroller::VideoSearchLock, {"c1", "c2"}));
    ASSERT_TRUE(source_->WaitUntilHeld(hold));
    spy_.reset();
    controller_.reset();
    Drain();
    SUCCEED();
}

// VCA searches.

class VCARoadTest : public ControllerFixture
{
protected:
    void Start(const CScriptedRecordingSource::VCAScript &script, int number = 7)
    {
        source_->SetVCAScript(script);
        auto condition = TestKit::VCASearchCondition("vca", number);
        ASSERT_TRUE(controller_->SearchVCAFiles(condition));
    }
};

TEST_F(VCARoadTest, FinishWhilePollingComesFromTheDrain)
{
    CScriptedRecordingSource::VCAScript script;
    script.pushes = {DeviceFiles(30), DeviceFiles(100), DeviceFiles(100)};
    script.final_param.vca_configed = false;
    script.final_param.support_vca_configed = true;
    Start(script);
    ASSERT_TRUE(WaitForEvent(ClipSearchFinished));
    Drain();

    const auto events = Events();
    std::vector<int> counts;
    for (size_t i = 0; i + 1 < events.size(); ++i) {
        EXPECT_EQ(events[i].type, ClipSearchDataArrived) << i;
        counts.push_back(events[i].count);
    }
    EXPECT_EQ(counts, (std::vector<int>{30, 80, 130, 180, 230}));
    const SeenEvent &last = events.back();
    EXPECT_EQ(last.type, ClipSearchFinished);
    EXPECT_FALSE(last.vca_config);
    EXPECT_TRUE(last.support_vca_config);
    EXPECT_EQ(controller_->GetTotalFileNum(VcaSearchVideo, {CameraKey("s1", "c1")}), 230);
    EXPECT_EQ(OrlPluginManager::CLogBusinessInterfaceMgr::Instance().Records().size(), 1u);
}

TEST_F(VCARoadTest, ASecondSearchPollsUntilItsOwnEnd)
{
    CScriptedRecordingSource::VCAScript script;
    script.pushes = {DeviceFiles(10), DeviceFiles(10)};
    Start(script, 1);
    ASSERT_TRUE(WaitForEvent(ClipSearchFinished));
    spy_->clear();

    script.pushes = {DeviceFiles(5), DeviceFiles(100)};
    source_->AddHold(CScriptedRecordingSource::kVCABeforeFinal);
    Start(script, 2);
    ASSERT_TRUE(source_->WaitUntilHeld(CScriptedRecordingSource::kVCABeforeFinal));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !Events().empty() && Events().back().count == 105; }, 10000));
    EXPECT_EQ(EventTypes(), std::vector<int>(Events().size(), ClipSearchDataArrived));
    source_->Release(CScriptedRecordingSource::kVCABeforeFinal);
    ASSERT_TRUE(WaitForEvent(ClipSearchFinished));
    EXPECT_EQ(Events().back().type, ClipSearchFinished);
    EXPECT_EQ(controller_->GetTotalFileNum(VcaSearchVideo, {CameraKey("s1", "c1")}), 105);
}

TEST_F(VCARoadTest, ASearchThatCannotStartStillFinishes)
{
    teskplaycontroller::CRecordingSourceRegistry::SetSource(nullptr);
    auto condition = TestKit::VCASearchCondition("vca", 1);
    EXPECT_TRUE(controller_->SearchVCAFiles(condition));
    EXPECT_EQ(EventTypes(), std::vector<int>{ClipSearchFinished});
}

TEST_F(VCARoadTest, MoreThanMaximumEndsWithMaxData)
{
    CScriptedRecordingSource::VCAScript script;
    script.pushes = {DeviceFiles(30)};
    script.final_param = CScriptedRecordingSource::VCAScript::FinalParam(5);
    script.final_param.vc_data_result = DeviceFiles(5);
    Start(script);
    ASSERT_TRUE(WaitForEvent(ClipSearchFinished));
    Drain();
    const auto events = Events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].count, 30);
    EXPECT_EQ(events[1].type, ClipSearchDataArrived);
    EXPECT_EQ(events[1].count, 35);
    EXPECT_EQ(events[2].type, ClipSearchFinished);
    EXPECT_TRUE(events[2].max_data);
}

TEST_F(VCARoadTest, StatesOfAnotherSearchAreForwarded)
{
    CScriptedRecordingSource::VCAScript script;
    teskplaycontroller::CVCAIncrementalObserver::Param foreign;
    foreign.search_guid = "someone-else";
    foreign.state_type = 7;
    script.foreign_states.push_back(foreign);
    foreign.state_type = 8;
    script.foreign_states.push_back(foreign);
    // The same states of the running search mean nothing here.
    foreign.search_guid.clear();
    script.foreign_states.push_back(foreign);
    foreign.state_type = 7;
    script.foreign_states.push_back(foreign);
    Start(script);
    ASSERT_TRUE(WaitForEvent(ClipSearchFinished));
    EXPECT_EQ(EventTypes(), (std::vector<int>{6, 7, 3}));
}

TEST_F(VCARoadTest, CancelStopsPollingAndSilencesTheSearch)
{
    CScriptedRecordingSource::VCAScript script;
    script.pushes = {DeviceFiles(10), DeviceFiles(10)};
    source_->AddHold(CScriptedRecordingSource::kVCABeforeFinal);
    Start(script);
    ASSERT_TRUE(source_->WaitUntilHeld(CScriptedRecordingSource::kVCABeforeFinal));
    ASSERT_TRUE(WaitForEvent(ClipSearchDataArrived));
    controller_->CancelSearch(false);
    source_->Release(CScriptedRecordingSource::kVCABeforeFinal);
    const int before = spy_->count();
    Drain();
    EXPECT_EQ(spy_->count(), before);
    EXPECT_TRUE(controller_->GetSearchSuccessCameraInfo().isEmpty());
}

// Counts and deletions.

TEST_F(ControllerFixture, PersonVehicleCounts)
{
    auto plain_person = DeviceFiles(1).front();
    plain_person->SetEventType(2);
    source_->SetCameraFiles("s1", "c1",
                            {PersonVehicleFile(0, 2), PersonVehicleFile(60, 2),
                             PersonVehicleFile(120, 4), PersonVehicleFile(180, 1), plain_person});
    source_->SetCameraFiles("s1", "c2", {PersonVehicleFile(0, 4), LabelFile(60, 101)});
    ASSERT_TRUE(Search("g1", teskplaycontroller::VideoSearchPersonVehicle, {"c1", "c2"}));
    ASSERT_TRUE(WaitForEvent(ClipSearchFinished));

    const QVector<CResourceKey> both = {CameraKey("s1", "c1"), CameraKey("s1", "c2")};
    EXPECT_EQ(controller_->GetTotalFileNum(PersonDetectVideo, both), 2);
    EXPECT_EQ(controller_->GetTotalFileNum(VehicleDetectVideo, both), 2);
    CResourceKey c1 = CameraKey("s1", "c1");
    EXPECT_EQ(controller_->GetSingleCameraFilesNum(VehicleDetectVideo, c1), 1);
    EXPECT_EQ(controller_->GetTotalFileNum(RegularVideo, both), 0);

    int person = -5;
    int vehicle = -5;
    controller_->GetVCAPersonOrVehicleFileNum(person, vehicle);
    EXPECT_EQ(person, 4);
    EXPECT_EQ(vehicle, 3);
    int both_kinds = -5;
    controller_->GetVCAIsPersonIsVehicleFileNum(both_kinds);
    EXPECT_EQ(both_kinds, 1);
}

class CDerivedLabelFile : public teskplaycontroller::CLabelFile
{
public:
    using CLabelFile::CLabelFile;
};

class CDerivedPersonVehicleFile : public teskplaycontroller::CPersonVehicleFile
{
public:
    using CPersonVehicleFile::CPersonVehicleFile;
};

TEST_F(ControllerFixture, ResultsOfDerivedClassesCountAsTheirKind)
{
    auto label = std::make_shared<CDerivedLabelFile>(0, 59, "tag");
    label->SetRcordLabelType(101);
    auto vehicle = std::make_shared<CDerivedPersonVehicleFile>(60, 119, "pv");
    vehicle->SetEventType(4);
    source_->SetCameraFiles("s1", "c1", {label, vehicle, LabelFile(120, 102)});
    auto condition = Condition("g1", teskplaycontroller::VideoSearchTag, {"c1"});
    auto extra = std::make_shared<teskplaycontroller::CLableExtra>();
    extra->SetVal_label_type(101);
    condition.SetVal_ptr_label_extra(extra);
    ASSERT_TRUE(controller_->SearchCameraFiles(condition, 0));
    ASSERT_TRUE(WaitForEvent(ClipSearchFinished));
    EXPECT_EQ(controller_->GetTotalFileNum(TagVideo, {CameraKey("s1", "c1")}), 1);
    EXPECT_EQ(controller_->GetTotalFileNum(EventAlarmVideo, {CameraKey("s1", "c1")}), 1);
    EXPECT_EQ(controller_->GetTotalFileNum(VehicleDetectVideo, {CameraKey("s1", "c1")}), 1);
}

} // namespace
