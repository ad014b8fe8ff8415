#include "arborin/SelectedStorageCameraWidget.h"
#include "WaitFor.h"

#include "playcontroller/CameraForPlay.h"
#include "pluginmanager/PluginManager.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTreeWidget>

using namespace Arborin;

namespace {

struct Published
{
    const char *site;
    const char *id;
    const char *name;
    int location; // -1: no record plan
    bool configured;
};

void Publish(const std::vector<Published> &cameras_wanted)
{
    auto &directory = OrlPluginManager::CCameraDirectory::Instance();
    auto &registry = teskplaycontroller::CPlaybackParamRegistry::Instance();
    directory.Clear();
    registry.Clear();
    std::vector<OrlPluginManager::Camera> cameras;
    for (const Published &wanted : cameras_wanted) {
        OrlPluginManager::Camera camera;
        camera.site_id = wanted.site;
        camera.id = wanted.id;
        camera.name = wanted.name;
        cameras.push_back(camera);
        if (wanted.location >= 0) {
            teskplaycontroller::OrlPlayBackParamSet plan;
            plan.location_type = wanted.location;
            plan.storage_media_type = ResourceData::StorageMediaCVR;
            plan.stream_type = 10;
            plan.record_plan_configured = wanted.configured;
            registry.Set(wanted.site, wanted.id, plan);
        }
    }
    directory.SetCameras(cameras);
}

const std::vector<Published> kCameras = {
    {"S2", "C21", "Roof East", ResourceData::StorageLocationDevice, true},
    {"S1", "C11", "Lobby", ResourceData::StorageLocationDevice, true},
    {"S1", "C12", "Gate North", ResourceData::StorageLocationCentral, true},
    {"S1", "C13", "gate south", ResourceData::StorageLocationCentral, true},
    {"S1", "C14", "Hall", -1, true},
    {"S2", "C22", "Roof West", ResourceData::StorageLocationDevice, false},
};

// "name[state]" per visible item, children indented; states: ' ' none, '~' some, 'x' all.
QString Dump(const QTreeWidgetItem *item, int depth = 0)
{
    QString out;
    if (depth > 0 && !item->isHidden()) {
        const char state = item->checkState(0) == Qt::Checked            ? 'x'
                           : item->checkState(0) == Qt::PartiallyChecked ? '~'
                                                                         : ' ';
        out += QString(2 * (depth - 1), ' ') + item->text(0) + "[" + state + "]\n";
    }
    if (item->isHidden())
        return out;
    for (int i = 0; i < item->childCount(); ++i)
        out += Dump(item->child(i), depth + 1);
    return out;
}

class StorageCameraTree : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Publish(kCameras);
        CSelectedResourceParam param;
        param.qvc_resource_codes = {1001, 1010};
        widget_.InitWidget(param);
        widget_.resize(300, 500);
        widget_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget_));
    }
    void TearDown() override { Publish({}); }

    QString Tree() const { return Dump(widget_.GetTreeWidget()->invisibleRootItem()); }

    QTreeWidgetItem *Item(const QString &text) const
    {
        const auto found =
            widget_.GetTreeWidget()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        EXPECT_EQ(found.size(), 1) << text.toStdString();
        return found.value(0);
    }

    // Clicks the check box of the row, as the operator does.
    void ClickCheck(const QString &text)
    {
        QTreeWidget *tree = widget_.GetTreeWidget();
        QTreeWidgetItem *item = Item(text);
        tree->scrollToItem(item);
        const QRect row = tree->visualItemRect(item);
        const int indicator = tree->style()->pixelMetric(QStyle::PM_IndicatorWidth);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          QPoint(row.left() + indicator / 2 + 2, row.center().y()));
        // Clicks are separate gestures: what the widget defers to the next turn happens now.
        QCoreApplication::processEvents();
    }

    QStringList Selected() const
    {
        QStringList ids;
        for (const auto &resource : widget_.GetAllSelectedResource())
            ids << QString::fromStdString(resource.site_id + ":" + resource.camera_id);
        return ids;
    }

    CSelectedStorageCameraWidget widget_;
};

// Sites, their storages and cameras as the host lists them; parents show whether some or all of
// their cameras are ticked.
TEST_F(StorageCameraTree, ParentsShowWhetherSomeOrAllCamerasAreTicked)
{
    EXPECT_EQ(widget_.CameraCount(), 6);
    QSignalSpy changed(&widget_, &CSelectedStorageCameraWidget::SignalSelectionChanged);
    ClickCheck("Gate North");
    EXPECT_EQ(Tree(), "S1[~]\n"
                      "  Central storage[~]\n"
                      "    Gate North[x]\n"
                      "    gate south[ ]\n"
                      "  Device storage[ ]\n"
                      "    Lobby[ ]\n"
                      "    Hall[ ]\n"
                      "S2[ ]\n"
                      "  Device storage[ ]\n"
                      "    Roof East[ ]\n"
                      "    Roof West[ ]\n");
    ClickCheck("gate south");
    ClickCheck("S2");
    EXPECT_EQ(Tree(), "S1[~]\n"
                      "  Central storage[x]\n"
                      "    Gate North[x]\n"
                      "    gate south[x]\n"
                      "  Device storage[ ]\n"
                      "    Lobby[ ]\n"
                      "    Hall[ ]\n"
                      "S2[x]\n"
                      "  Device storage[x]\n"
                      "    Roof East[x]\n"
                      "    Roof West[x]\n");
    EXPECT_EQ(Selected(), (QStringList{"S1:C12", "S1:C13", "S2:C21", "S2:C22"}));
    const auto first = widget_.GetAllSelectedResource().front();
    EXPECT_EQ(first.camera_name, "Gate North");
    EXPECT_EQ(first.location_type, ResourceData::StorageLocationCentral);
    EXPECT_EQ(first.storage_media_type, ResourceData::StorageMediaCVR);
    // Ticking a site changes many cameras; it is reported once.
    TVS_WAIT_TRUE(changed.count() >= 3, 5000);
    EXPECT_EQ(changed.count(), 3);

    ClickCheck("S1"); // partly ticked: ticks all
    EXPECT_EQ(Selected().size(), 6);
    ClickCheck("S1");
    EXPECT_EQ(Selected(), (QStringList{"S2:C21", "S2:C22"}));
}

TEST_F(StorageCameraTree, SearchBoxFiltersByNameAsOneTypes)
{
    struct Step
    {
        const char *keys; // typed, or "\b" for a backspace
        QStringList visible_cameras;
    };
    const Step steps[] = {
        {"ga", {"Gate North", "gate south"}},
        {"te s", {"gate south"}},
        {"\b\b", {"Gate North", "gate south"}},
    };
    QLineEdit *edit = widget_.GetSearchEdit();
    auto visible = [this] {
        QStringList names;
        QTreeWidgetItemIterator it(widget_.GetTreeWidget(),
                                   QTreeWidgetItemIterator::NotHidden |
                                       QTreeWidgetItemIterator::NoChildren);
        for (; *it; ++it)
            names << (*it)->text(0);
        return names;
    };
    for (const Step &step : steps) {
        if (QString(step.keys) == "\b\b") {
            QTest::keyClick(edit, Qt::Key_Backspace);
            QTest::keyClick(edit, Qt::Key_Backspace);
        } else {
            QTest::keyClicks(edit, step.keys);
        }
        EXPECT_EQ(visible(), step.visible_cameras) << edit->text().toStdString();
    }
    EXPECT_EQ(Tree(), "S1[ ]\n"
                      "  Central storage[ ]\n"
                      "    Gate North[ ]\n"
                      "    gate south[ ]\n");
    QTest::keyClicks(edit, "zzz");
    EXPECT_EQ(Tree(), "");
    edit->clear();
    EXPECT_EQ(visible().size(), 6);
}

TEST_F(StorageCameraTree, InsertTicksNamedCamerasOnly)
{
    QSignalSpy finished(&widget_, &CSelectedStorageCameraWidget::SignalInsertResourceFinished);
    SelectedStorageResource lobby;
    lobby.site_id = "S1";
    lobby.camera_id = "C11";
    SelectedStorageResource wrong_site = lobby;
    wrong_site.site_id = "S2";
    SelectedStorageResource roof;
    roof.site_id = "S2";
    roof.camera_id = "C22";
    EXPECT_EQ(widget_.InsertSelectedResource({roof, wrong_site, lobby}), 2);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(Selected(), (QStringList{"S1:C11", "S2:C22"}));
    EXPECT_EQ(widget_.InsertSelectedResource({}), 0);
    EXPECT_EQ(finished.count(), 2);

    widget_.StopWorking();
    EXPECT_TRUE(Selected().isEmpty());
}

TEST_F(StorageCameraTree, SwitchOfUserReadsTheCamerasAgain)
{
    widget_.InsertSelectedResource({{"S1", "C11", "", 1, 2}});
    Publish({{"S3", "C31", "Dock", ResourceData::StorageLocationDevice, true}});
    widget_.UpdateAfterSwitchUser();
    EXPECT_EQ(Tree(), "S3[ ]\n"
                      "  Device storage[ ]\n"
                      "    Dock[ ]\n");
    EXPECT_TRUE(Selected().isEmpty());
}

TEST(RecordPlan, FromTheRecordingServersPlans)
{
    Publish(kCameras);
    struct Case
    {
        const char *site;
        const char *camera;
        bool found;
    };
    const Case cases[] = {
        {"S1", "C12", true}, {"S1", "C14", false}, {"S2", "C22", false}, {"S9", "C12", false}};
    for (const Case &c : cases) {
        CCameraRecordSetInfo info;
        EXPECT_EQ(CDownloadRecordPlanObject::GetRecordPlan(c.site, c.camera, info), c.found)
            << c.camera;
        EXPECT_EQ(info.qvc_record_plans.size(), c.found ? 1 : 0) << c.camera;
    }
    CCameraRecordSetInfo info;
    CDownloadRecordPlanObject::GetRecordPlan("S1", "C12", info);
    EXPECT_EQ(info.qvc_record_plans[0].location_type, ResourceData::StorageLocationCentral);
    EXPECT_EQ(info.qvc_record_plans[0].stream_type, 10);
    Publish({});
}

} // namespace
