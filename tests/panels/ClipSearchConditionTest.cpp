#include "panels/ClipSearchCondition.h"
#include "WaitFor.h"
#include "panels/SearchCalendarWidget.h"
#include "panels/TagConditionWidget.h"

#include "PanelsTestSupport.h"

#include "mirelog/Log.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

using namespace TeskVideoSearch;
using PanelsTest::PublishedCamera;

namespace {

constexpr qint64 kDay = 86400;

QString Text(const char *key)
{
    return CClipSearchCondition::tr(key);
}

Arborin::SelectedStorageResource Resource(const std::string &site, const std::string &camera)
{
    Arborin::SelectedStorageResource resource;
    resource.site_id = site;
    resource.camera_id = camera;
    return resource;
}

void Unfold(CClipSearchCondition &column)
{
    column.GetTagConditionWidget()->SetExpanded(true);
}

// Clicks a kind box on its indicator (a wide box does not take clicks right of its text) once
// the column has made room for it after unfolding.
void ClickBox(CClipSearchCondition &column, const char *name)
{
    auto *box = column.findChild<QCheckBox *>(name);
    ASSERT_TRUE(box) << name;
    const QPoint indicator(box->style()->pixelMetric(QStyle::PM_IndicatorWidth) / 2 + 1,
                           box->height() / 2);
    TVS_WAIT_TRUE(column.childAt(box->mapTo(&column, indicator)) == box, 5000);
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator);
}

class ClipSearchConditionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(english_.IsLoaded());
        PanelsTest::PublishCameras({
            {"S1", "C1", "Lobby", ResourceData::StorageLocationDevice},
            {"S1", "C2", "Gate", ResourceData::StorageLocationCentral},
            {"S1", "C3", "Hall", ResourceData::StorageLocationDevice, false},
            {"S1", "C4", "Yard"},
            {"S1", "C5", "Dock", ResourceData::StorageLocationCentral, true, 10},
            {"S2", "C6", "Roof"},
        });
        OrlPluginManager::CCameraDirectory::Instance().SetPermissionDenied(
            "S1", "C4", ResourceData::PermissionPlayback, true);
    }
    void TearDown() override { PanelsTest::PublishCameras({}); }

    std::unique_ptr<CClipSearchCondition> MakeColumn(int max_cameras = 16,
                                                     TagDisplayType mode = TagDisplaySimple)
    {
        auto column = std::make_unique<CClipSearchCondition>();
        CConditionWidgetInitParam param;
        param.SetVal_max_camera_num(max_cameras);
        param.SetVal_tag_show_type(mode);
        column->InitWidget(param);
        return column;
    }

    PanelsTest::EnglishTexts english_;
    PanelsTest::TipRecorder tips_;
};

TEST_F(ClipSearchConditionTest, SearchPeriodRule)
{
    auto column = MakeColumn();
    struct Case
    {
        qint64 span;
        const char *refusal; // null: accepted
    };
    // The rule's edges are the search plan's; here what the column makes of its answers.
    const Case cases[] = {{7 * kDay, nullptr}, {7 * kDay + 1, "SearchForVideoClipsWsfvfFlzo"}};
    const QDateTime begin(QDate(2026, 11, 20), QTime(10, 0, 0));
    for (const Case &c : cases) {
        tips_.texts.clear();
        column->GetCalendarWidget()->SetCustomTime(begin, begin.addSecs(c.span));
        OrlSearchTimeType::TimeType type = OrlSearchTimeType::DeviceTime;
        int64_t got_begin = -1;
        int64_t got_end = -1;
        const bool ok = column->GetSearchParam(type, got_begin, got_end);
        EXPECT_EQ(ok, c.refusal == nullptr) << c.span;
        if (c.refusal) {
            EXPECT_EQ(tips_.texts, QStringList{Text(c.refusal)}) << c.span;
            EXPECT_EQ(got_begin, -1);
        } else {
            EXPECT_TRUE(tips_.texts.isEmpty()) << c.span;
            EXPECT_EQ(got_begin, begin.toSecsSinceEpoch());
            EXPECT_EQ(got_end, begin.toSecsSinceEpoch() + c.span);
            EXPECT_EQ(type, OrlSearchTimeType::ClientTime);
        }
    }
}

TEST_F(ClipSearchConditionTest, NoKindTickedRefusesTheSearch)
{
    auto column = MakeColumn(16, TagDisplayFull);
    QVector<VideoDataType> kinds;
    ASSERT_TRUE(column->GetSearchTypes(kinds));
    EXPECT_EQ(kinds.size(), 7);
    column->GetTagConditionWidget()->SetExpanded(true);
    EXPECT_FALSE(column->GetSearchTypes(kinds));
    EXPECT_EQ(tips_.texts,
              QStringList{Text("Korv-ControlClient.0c47fc201897455f8766ee8cfe092672.msg")});
    EXPECT_EQ(column->GetTagType(), TagTypeInvalid);
}

TEST_F(ClipSearchConditionTest, CameraChecks)
{
    // Cameras as "site:camera", split at ','; tips split at '|'.
    struct Case
    {
        const char *name;
        int max_cameras;
        QString selected;
        bool ok;
        QString kept; // in order
        QString tips;
    };
    const QString unknown = Text("Korv-ControlClient.cebac1fb50f74653a316d109d2c1b583.msg");
    const QString at_most = "At most 2 cameras can be searched at once; the first 2 are used.";
    const QString no_plan = "No recording schedule is configured for Hall.";
    const Case cases[] = {
        {"none selected", 16, "", false, "", Text("PleaseSelectACamera")},
        {"unknown camera skipped", 16, "S9:C9,S1:C1", true, "S1:C1", unknown},
        {"camera of another site is unknown", 16, "S2:C1", false, "", unknown},
        {"no playback permission left out silently", 16, "S1:C4,S2:C6", true, "S2:C6", ""},
        {"only a camera without permission", 16, "S1:C4", false, "", ""},
        {"no record plan", 16, "S1:C3,S1:C2", true, "S1:C2", no_plan},
        {"more than the maximum: the first ones", 2, "S1:C1,S1:C2,S2:C6", true, "S1:C1,S1:C2",
         at_most},
        {"the maximum counts before the checks", 2, "S1:C4,S1:C3,S2:C6", false, "",
         at_most + "|" + no_plan}};
    const auto split = [](const QString &text, char separator) {
        return text.isEmpty() ? QStringList() : text.split(separator);
    };
    for (const Case &c : cases) {
        tips_.texts.clear();
        auto column = MakeColumn(c.max_cameras);
        QList<Arborin::SelectedStorageResource> resources;
        for (const QString &camera : split(c.selected, ','))
            resources << Resource(camera.section(':', 0, 0).toStdString(),
                                  camera.section(':', 1).toStdString());
        QVector<CVideoSearchContionCameraInfo> cameras;
        EXPECT_EQ(column->GetCameraInfo(cameras, resources), c.ok) << c.name;
        QStringList kept;
        for (const auto &info : cameras) {
            const auto camera = info.GetVal_ptr_camera_for_play();
            kept << QString::fromStdString(camera->GetSiteID() + ":" + camera->GetCameraID());
        }
        EXPECT_EQ(kept, split(c.kept, ',')) << c.name;
        EXPECT_EQ(tips_.texts, split(c.tips, '|')) << c.name;
    }
}

TEST_F(ClipSearchConditionTest, RecordPlanGivesStorageAndStream)
{
    auto column = MakeColumn();
    QVector<CVideoSearchContionCameraInfo> cameras;
    auto dock = Resource("S1", "C5");
    dock.location_type = ResourceData::StorageLocationCentral;
    ASSERT_TRUE(column->GetCameraInfo(cameras, {Resource("S1", "C1"), dock}));
    ASSERT_EQ(cameras.size(), 2);
    EXPECT_EQ(cameras[0].GetVal_location_type(), ResourceData::StorageLocationDevice);
    EXPECT_EQ(cameras[0].GetVal_camera_name(), "Lobby");
    EXPECT_EQ(cameras[1].GetVal_location_type(), ResourceData::StorageLocationCentral);
    EXPECT_EQ(cameras[1].GetVal_stream_type(), 0); // the device-chosen stream is searched as main
    EXPECT_EQ(cameras[1].GetVal_ptr_camera_for_play()->GetCameraName(), "Dock");
    EXPECT_EQ(cameras[1].GetVal_ptr_camera_for_play()->GetWorkStationID(), "S1-dev");
}

TEST_F(ClipSearchConditionTest, TickedTreeCamerasReachTheSearch)
{
    auto column = MakeColumn();
    column->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(column.get()));
    QTreeWidget *tree = column->GetStorageCameraWidget()->GetTreeWidget();
    const auto gate = tree->findItems("Gate", Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(gate.size(), 1);
    tree->scrollToItem(gate.front());
    const QRect row = tree->visualItemRect(gate.front());
    // The check box sits at the row's left, after the indentation.
    QTest::mouseClick(
        tree->viewport(), Qt::LeftButton, {},
        QPoint(row.left() + tree->style()->pixelMetric(QStyle::PM_IndicatorWidth) / 2 + 2,
               row.center().y()));
    QList<Arborin::SelectedStorageResource> resources;
    column->GetStorageResources(resources);
    ASSERT_EQ(resources.size(), 1);
    EXPECT_EQ(resources.front().camera_id, "C2");
    QVector<CVideoSearchContionCameraInfo> cameras;
    EXPECT_TRUE(column->GetCameraInfo(cameras, resources));
}

TEST_F(ClipSearchConditionTest, GoToSearchSelectsCameraAndPeriodAndLogsMalformedText)
{
    auto column = MakeColumn();
    CSearchCalendarWidget *calendar = column->GetCalendarWidget();
    QSignalSpy time_changed(calendar, &CSearchCalendarWidget::SignalTimeChanged);
    column->GoToSearchByCustomParam(
        R"({"SiteID":"S1","ResourceID":"C2","StartTime":"2026-11-20T08:00:00+08:00",)"
        R"("EndTime":"2026-11-21T08:30:00+08:00","Other":1})");
    QList<Arborin::SelectedStorageResource> resources;
    column->GetStorageResources(resources);
    ASSERT_EQ(resources.size(), 1);
    EXPECT_EQ(resources.front().site_id, "S1");
    EXPECT_EQ(resources.front().camera_id, "C2");
    EXPECT_EQ(calendar->currentIndex(), calendar->GetTimeRangeIndex(RangeCustom));
    EXPECT_EQ(time_changed.count(), 0);
    OrlSearchTimeType::TimeType type;
    int64_t begin = 0;
    int64_t end = 0;
    ASSERT_TRUE(column->GetSearchParam(type, begin, end));
    EXPECT_EQ(begin, 1795132800); // 2026-11-20 00:00:00 UTC
    EXPECT_EQ(end, 1795132800 + kDay + 1800);

    // Only a camera: the period stays.
    column->GoToSearchByCustomParam(R"({"SiteID":"S2","ResourceID":"C6"})");
    column->GetStorageResources(resources);
    ASSERT_EQ(resources.size(), 1);
    EXPECT_EQ(resources.front().camera_id, "C6");

    // Text that is not a JSON object changes nothing and is logged.
    QStringList errors;
    const int listener = mirelog::AddListener([&errors](const mirelog::Record &record) {
        if (record.level == mirelog::LevelError)
            errors << QString::fromStdString(record.text);
    });
    for (const char *text : {R"({"SiteID": "S1", "ResourceID": "C1",)", "not json", "[1, 2]"})
        column->GoToSearchByCustomParam(text);
    mirelog::RemoveListener(listener);
    ASSERT_EQ(errors.size(), 3);
    for (const QString &line : errors)
        EXPECT_TRUE(line.contains("Parsing json data failed. error:")) << line.toStdString();
    column->GetStorageResources(resources);
    ASSERT_EQ(resources.size(), 1);
    EXPECT_EQ(resources.front().camera_id, "C6");
    ASSERT_TRUE(column->GetSearchParam(type, begin, end));
    EXPECT_EQ(begin, 1795132800);
    EXPECT_EQ(end, 1795132800 + kDay + 1800);
}

TEST_F(ClipSearchConditionTest, SearchButtonAndSwitchOfUser)
{
    auto column = MakeColumn(16, TagDisplayFull);
    column->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(column.get()));
    QSignalSpy search(column.get(), &CClipSearchCondition::SignalSearchClicked);
    QTest::mouseClick(column->findChild<QPushButton *>("ptr_search_btn_"), Qt::LeftButton);
    EXPECT_EQ(search.count(), 1);

    column->GetStorageCameraWidget()->InsertSelectedResource({Resource("S1", "C1")});
    column->GetCalendarWidget()->SetCustomTime(QDateTime(QDate(2026, 1, 1), QTime()),
                                               QDateTime(QDate(2026, 1, 2), QTime()));
    Unfold(*column);
    ClickBox(*column, "ptr_lock_check_");
    ASSERT_EQ(column->GetTagConditionWidget()->GetSearchKinds(), QVector<VideoDataType>{LockVideo});

    column->UpdateAfterSwitchUser();
    QList<Arborin::SelectedStorageResource> resources;
    column->GetStorageResources(resources);
    EXPECT_TRUE(resources.isEmpty());
    EXPECT_EQ(column->GetCalendarWidget()->currentIndex(), 1);
    EXPECT_FALSE(column->GetCalendarWidget()->isEditable());
    EXPECT_TRUE(column->GetTagConditionWidget()->GetSearchKinds().isEmpty());

    column->GetStorageCameraWidget()->InsertSelectedResource({Resource("S1", "C1")});
    column->ClearCondition();
    column->GetStorageResources(resources);
    EXPECT_TRUE(resources.isEmpty());
}

TEST_F(ClipSearchConditionTest, WakeUpOutcomes)
{
    auto column = MakeColumn();
    auto &devices = OrlPluginManager::CDeviceBusinessMgr::Instance();
    const std::pair<OrlPluginManager::EnumWakeupStatus, int> cases[] = {
        {OrlPluginManager::WakeupSucceeded, 0}, {OrlPluginManager::WakeupTimeout, 1}};
    for (const auto &c : cases) {
        tips_.texts.clear();
        QSignalSpy delivered(
            &devices, &OrlPluginManager::CDeviceBusinessMgr::SignalWakeUpCameraResultInMainThread);
        devices.NotifyWakeUpResult("ws", "C1", c.first, {});
        ASSERT_TRUE(delivered.wait(5000));
        EXPECT_EQ(tips_.texts.size(), c.second) << c.first;
    }
}

} // namespace
