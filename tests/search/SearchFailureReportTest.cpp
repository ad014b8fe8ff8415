#include "ControllerTestSupport.h"

#include <boost/any.hpp>

#include <thread>

using namespace ControllerTest;

namespace {

const QString kDeviceTemplate = "Korv-ControlClient.0cdc19656cf641c8a303bb5ca435f3d7.msg";
const QString kReasonTemplate = "Korv-ControlClient.f6fdab1051bf4248bbf4a18a434f575c.msg";
const QString kPersonVehicleTemplate = "Korv-ControlClient.54cbc90683024161aefeed1d2dfda64a.msg";
const QString kVCADeviceTemplate = "Korv-ControlClient.0cca1652109f42cab8a326bb277002aa.msg";
const QString kVCAMediaTemplate = "Korv-ControlClient.064700c0f8e84c98b55d1fd0e5bc44e1.msg";
const QString kSwitchSuffix = "<Korv-ControlClient.bfdf212110394e6f963b40126a1aac25.msg>";
const QString kDeviceText = "<TheDeviceToWhichBeloMdnwPukb>";
const QString kNoMediaText = "<Korv-ControlClient.853a16a8b101498fa1284357d296cbe5.msg>";

using OrlPluginManager::CLogBusinessInterfaceMgr;
namespace RD = ResourceData;

const Quor::Base::Error::ErrorCode kNoCode{};
const Quor::Base::Error::ErrorCode kOffline{0x20, 0x2001};

class FailureReportTest : public ControllerFixture
{
protected:
    void SetUp() override
    {
        ControllerFixture::SetUp();
        QCoreApplication::installTranslator(&translator_);
    }
    void TearDown() override
    {
        QCoreApplication::removeTranslator(&translator_);
        ControllerFixture::TearDown();
    }

    CMarkingTranslator translator_;
};

struct CameraFailureCase
{
    const char *name;
    int search_type;
    int param_error;
    bool switch_storage;
    RD::StorageLocation location;
    std::string error_text;
    Quor::Base::Error::ErrorCode error_code;
    QString expected; // empty: no notification
};

class CameraFailureTest : public FailureReportTest,
                          public ::testing::WithParamInterface<CameraFailureCase>
{};

TEST_P(CameraFailureTest, NotifiesAndAuditsTheFailure)
{
    const CameraFailureCase param = GetParam();
    teskplaycontroller::CameraSearchAnswer failure;
    failure.failed = true;
    failure.param_error_type = param.param_error;
    failure.next_switch_other_storage = param.switch_storage;
    failure.pair_storage_info = {param.location, RD::StorageMediaDevice};
    failure.error_code = param.error_code;
    failure.str_error_info = param.error_text;
    failure.trace_id = "trace-1";
    source_->SetCameraAnswer("s1", "c1", failure);
    source_->SetCameraFiles("s1", "c2", DeviceFiles(1));
    ASSERT_TRUE(Search("g1", static_cast<teskplaycontroller::VideoSearchType>(param.search_type),
                       {"c1", "c2"}));
    ASSERT_TRUE(WaitForEvent(ClipSearchFinished));

    // The failure emits nothing and the other camera goes on.
    EXPECT_EQ(EventTypes(), (std::vector<int>{ClipSearchDataArrived, ClipSearchFinished}));
    const QStringList shown = Lattice::CNewInfoDlg::ShownTexts();
    if (param.expected.isEmpty()) {
        EXPECT_TRUE(shown.isEmpty());
    } else {
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0], param.expected);
    }

    const auto records = CLogBusinessInterfaceMgr::Instance().Records();
    ASSERT_EQ(records.size(), 2u);
    const auto &record = records[0];
    EXPECT_EQ(record.record.camera_name, "Gate");
    EXPECT_EQ(record.record.result, 0);
    EXPECT_EQ(record.record.before_result, 2);
    EXPECT_EQ(record.record.flag, param.param_error == 0 ? 1 : 0);
    EXPECT_EQ(record.record.error_code, param.error_code);
    EXPECT_EQ(boost::any_cast<std::string>(record.items.at(0x9F003)), "trace-1");
    EXPECT_EQ(boost::any_cast<int>(record.items.at(0x9F009)), param.location);
    // Tag searches are audited as 3, lock searches as 4, everything else as 0.
    const int audited_type = param.search_type == 1 ? 3 : param.search_type == 2 ? 4 : 0;
    EXPECT_EQ(boost::any_cast<int>(record.items.at(0x9F00E)), audited_type);
    EXPECT_EQ(boost::any_cast<int64_t>(record.items.at(0x9F00B)), 90000); // the period's end
    EXPECT_EQ(records[1].record.result, 1);
    EXPECT_EQ(records[1].record.camera_name, "Yard");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CameraFailureTest,
    ::testing::Values(
        CameraFailureCase{"DeviceWithSwitch", 1, 2, true, RD::StorageLocationAuxiliary, "", kNoCode,
                          kDeviceTemplate + "(Gate,<AuxiliaryStoragewoaCtIrG>,<Tag>," +
                              kDeviceText + ")" + kSwitchSuffix},
        CameraFailureCase{"NoMedia", 2, 3, false, RD::StorageLocationCentral, "x", kNoCode,
                          kDeviceTemplate + "(Gate,<TheCentral>,<LockOJORE6H7>," + kNoMediaText +
                              ")"},
        CameraFailureCase{"PersonVehicle", 13, 0, true, RD::StorageLocationDevice, "disk full",
                          kNoCode, kPersonVehicleTemplate + "(Gate,disk full)"},
        CameraFailureCase{
            "ReasonFromErrorCode", 1, 0, true, RD::StorageLocationDevice, "", kOffline,
            kReasonTemplate + "(Gate,<EquipmentStorage>,<Tag>)The device is offline. " +
                kSwitchSuffix},
        CameraFailureCase{
            "RegularRecordings", 0, 0, false, RD::StorageLocationMain, "busy", kOffline,
            kReasonTemplate + "(Gate,<MainMemoryFnGvCDGv>,"
                              "<Korv-ControlClient.6d6bdf8d3e7a4ae4958d3550b2d9a734.button>)busy "},
        CameraFailureCase{"OtherParameterError", 10, 1, true, RD::StorageLocationDevice, "x",
                          kOffline, QString()}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(FailureReportTest, SuccessRecordsCarryTheSearchItems)
{
    teskplaycontroller::CameraSearchAnswer answer;
    answer.files = DeviceFiles(2);
    answer.trace_id = "trace-ok";
    answer.pair_storage_info = {RD::StorageLocationMain, RD::StorageMediaNVR};
    source_->SetCameraAnswer("s1", "c1", answer);
    const std::string hold = CScriptedRecordingSource::CameraHoldPoint("s1", "c2");
    source_->AddHold(hold);
    ASSERT_TRUE(Search("g1", teskplaycontroller::VideoSearchTag, {"c1", "c2"}));
    ASSERT_TRUE(source_->WaitUntilHeld(hold));

    // An answer for a camera outside the running search is audited without search items.
    CVideoSearchController::CameraParam stranger;
    stranger.search_guid = "g1";
    stranger.state_type = 2;
    stranger.search_type = teskplaycontroller::VideoSearchTag;
    stranger.resource_key.resource_id = "c4";
    stranger.resource_key.site_id = "s1";
    stranger.vc_data_result = DeviceFiles(1);
    std::thread service([&] { controller_->UpdateCameraSearchState(stranger); });
    service.join();
    ASSERT_TRUE(QTest::qWaitFor([&] { return spy_->count() == 2; }, 10000));

    const auto records = CLogBusinessInterfaceMgr::Instance().Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].record.result, 1);
    EXPECT_EQ(records[0].record.before_result, 0);
    EXPECT_EQ(records[0].record.camera_name, "Gate");
    EXPECT_EQ(boost::any_cast<std::string>(records[0].items.at(0x9F003)), "trace-ok");
    EXPECT_EQ(boost::any_cast<int>(records[0].items.at(0x9F009)), RD::StorageLocationMain);
    EXPECT_EQ(boost::any_cast<int>(records[0].items.at(0x9F00E)), RD::OrlVideoSearchTag);
    EXPECT_EQ(records[1].record.camera_id, "c4");
    EXPECT_EQ(records[1].record.camera_name, "Hall");
    EXPECT_TRUE(records[1].items.empty());
    EXPECT_EQ(controller_->GetSearchSuccessCameraInfo().size(), 2);
    source_->Release(hold);
    ASSERT_TRUE(WaitForEvent(ClipSearchFinished));
    EXPECT_EQ(CLogBusinessInterfaceMgr::Instance().Records().size(), 3u);
}

struct VCAFailureCase
{
    const char *name;
    int param_error;
    bool switch_storage;
    RD::StorageLocation location;
    RD::StorageMediaType media;
    teskplaycontroller::VCASearchType vca_type;
    int vca_event_type;
    std::string error_text;
    QString expected; // the event's text for parameter error 0, else the notification
    int expected_count;
};

class VCAFailureTest : public FailureReportTest,
                       public ::testing::WithParamInterface<VCAFailureCase>
{};

TEST_P(VCAFailureTest, ReportsTheFailureInTheEventOrAsANotification)
{
    const VCAFailureCase param = GetParam();
    CScriptedRecordingSource::VCAScript script;
    script.pushes = {DeviceFiles(4)};
    script.final_param = CScriptedRecordingSource::VCAScript::FinalParam(2);
    script.final_param.param_error_type = param.param_error;
    script.final_param.next_switch_other_storage = param.switch_storage;
    script.final_param.pair_storage_info = {param.location, param.media};
    script.final_param.vca_type = param.vca_type;
    script.final_param.vca_event_type = param.vca_event_type;
    script.final_param.str_error_info = param.error_text;
    script.final_param.error_code = {0x20, 0x2003};
    source_->SetVCAScript(script);
    auto condition = TestKit::VCASearchCondition("vca", 3);
    ASSERT_TRUE(controller_->SearchVCAFiles(condition));
    ASSERT_TRUE(WaitForVCAState(2));
    Drain();

    const auto events = Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events[0].type, ClipSearchDataArrived);
    if (param.param_error == 0) {
        ASSERT_EQ(events.size(), 2u);
        EXPECT_EQ(events[1].type, ClipSearchFailed);
        EXPECT_EQ(events[1].error, param.expected);
        EXPECT_EQ(events[1].count, param.expected_count);
        EXPECT_TRUE(Lattice::CNewInfoDlg::ShownTexts().isEmpty());
    } else {
        EXPECT_EQ(events.size(), 1u);
        EXPECT_EQ(Lattice::CNewInfoDlg::ShownTexts(), QStringList({param.expected}));
    }

    const auto records = CLogBusinessInterfaceMgr::Instance().Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].record.result, 1);
    EXPECT_EQ(records[1].record.result, 0);
    EXPECT_EQ(records[1].record.before_result, 2);
    EXPECT_EQ(records[1].record.flag, 1);
    EXPECT_EQ(records[1].record.error_code, (Quor::Base::Error::ErrorCode{0x20, 0x2003}));
    EXPECT_EQ(records[1].record.camera_name, "Gate");
    EXPECT_TRUE(records[1].items.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VCAFailureTest,
    ::testing::Values(
        VCAFailureCase{"ReasonFromErrorCode", 0, true, RD::StorageLocationDevice,
                       RD::StorageMediaDevice, teskplaycontroller::VCASearchMotion, -1, "",
                       "VideoRetrievalFailedOyWUrwFt(Gate)The device did not answer in time." +
                           kSwitchSuffix,
                       4},
        VCAFailureCase{"ReasonText", 0, false, RD::StorageLocationDevice, RD::StorageMediaDevice,
                       teskplaycontroller::VCASearchMotion, 2, "lost",
                       "VideoRetrievalFailedOyWUrwFt(Gate)lost", 0},
        VCAFailureCase{"Device", 2, true, RD::StorageLocationCentral, RD::StorageMediaDevice,
                       teskplaycontroller::VCASearchMotion, -1, "",
                       kVCADeviceTemplate + "(Gate,<TheCentral>)" + kDeviceText + kSwitchSuffix, 0},
        VCAFailureCase{"Media", 3, false, RD::StorageLocationMain, RD::StorageMediaCloud,
                       teskplaycontroller::VCASearchLineCrossing, -1, "",
                       kVCADeviceTemplate + "(Gate,<MainMemoryFnGvCDGv>)" + kVCAMediaTemplate +
                           "(<Korv-ControlClient.74191b2096b44926a0f4ca68ab06ec77.name>,"
                           "<LineCrossingDetection>)",
                       0},
        VCAFailureCase{"MediaLiteral", 3, true, RD::StorageLocationDevice, RD::StorageMediaCVR,
                       teskplaycontroller::VCASearchIntrusion, -1, "",
                       kVCADeviceTemplate + "(Gate,<EquipmentStorage>)" + kVCAMediaTemplate +
                           "(CVR,<MotionDetecting>)" + kSwitchSuffix,
                       0}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
