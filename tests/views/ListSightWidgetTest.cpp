#include "views/ListSightWidget.h"
#include "StoreSearch.h"
#include "WaitFor.h"
#include "views/ListSightCheckModel.h"
#include "views/ListSightTableView.h"

#include "plexacontrol/StandardItemModel.h"
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <QElapsedTimer>

#include <algorithm>

using namespace TeskVideoSearch;

namespace {

constexpr int kWaitMs = 20000;

// One finished search per kind over the store, for the whole binary.
std::shared_ptr<CVideoDataManager> Manager(VideoDataType kind, FileSortType sort)
{
    const int64_t end = Quor::Base::TimeUtil::DaysFromCivil(2026, 11, 20) * 86400;
    static const auto server =
        StoreSearch::InstallStore("store", StoreSearch::DayOptions(5, 2, 4, end));
    static std::map<int, StoreSearch::Searched> searches;
    const auto type = kind == RegularVideo ? teskplaycontroller::VideoSearchRecord
                      : kind == LockVideo  ? teskplaycontroller::VideoSearchLock
                                           : teskplaycontroller::VideoSearchTag;
    if (!searches.count(type))
        searches[type] = StoreSearch::SearchDay(type, end, 1800, kWaitMs);
    const StoreSearch::Searched &searched = searches[type];
    auto manager = StoreSearch::Manager(searched, kind, sort);
    manager->SetCurrentDataNum(searched.controller->GetTotalFileNum(kind, searched.keys), false);
    return manager;
}

// A shown list over a manager, with its model under a structural tester.
struct ListFixture
{
    explicit ListFixture(std::shared_ptr<CVideoDataManager> data_manager, int width = 1000)
        : manager(std::move(data_manager))
    {
        CListSightWidgetParam param;
        param.SetVal_ptr_data_manager(manager);
        widget.resize(width, 420);
        widget.InitListWidget(param);
        view = widget.findChild<CListSightTableView *>("ptr_group_view_");
        model = qobject_cast<CListSightCheckModel *>(view->model());
        tester = std::make_unique<QAbstractItemModelTester>(
            model, QAbstractItemModelTester::FailureReportingMode::Warning);
        widget.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&widget));
    }

    // Announces a range as the thumbnail view would, and waits for the rows.
    void Load(int begin, int end, bool prepend = false)
    {
        const int before = ItemRows().size();
        if (prepend)
            emit manager->SignalLoadBeginDataToList(begin, end);
        else
            emit manager->SignalLoadEndDataToList(begin, end);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ItemRows().size() > before; }, kWaitMs));
    }

    // First cells of item rows, in display order.
    QList<QModelIndex> ItemRows() const
    {
        QList<QModelIndex> rows;
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex top = model->index(row, 0);
            if (top.data(RoleDataId).isValid())
                rows << top;
            for (int child = 0; child < model->rowCount(top); ++child)
                rows << model->index(child, 0, top);
        }
        return rows;
    }

    QList<int> Ids() const
    {
        QList<int> ids;
        for (const QModelIndex &index : ItemRows())
            ids << index.data(RoleDataId).toInt();
        return ids;
    }

    void ClickCheckBox(const QModelIndex &index)
    {
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->CheckBoxRect(index).center());
    }

    void ClickText(const QModelIndex &index)
    {
        view->scrollTo(index);
        const QRect cell = view->visualRect(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          QPoint(cell.right() - 20, cell.center().y()));
    }

    void Wheel(int delta)
    {
        const QPoint at = view->viewport()->rect().center();
        QWheelEvent wheel(at, view->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &wheel);
    }

    std::shared_ptr<CVideoDataManager> manager;
    CListSightWidget widget;
    CListSightTableView *view = nullptr;
    CListSightCheckModel *model = nullptr;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

int CheckOf(const QModelIndex &index)
{
    return index.data(Qt::CheckStateRole).toInt();
}

} // namespace

// Each layout has its columns; together they fill the widget, whatever its width.
TEST(ListSightWidget, ColumnsOfEachLayoutFillTheWidth)
{
    struct Case
    {
        VideoDataType kind;
        FileSortType sort;
        int columns;
    };
    const Case cases[] = {{LockVideo, SortBeginAscending, 3},
                          {LockVideo, SortStored, 2},
                          {VcaSearchVideo, SortStored, 2},
                          {TagVideo, SortStored, 5},
                          {TagVideo, SortBeginAscending, 6}};
    for (const Case &c : cases) {
        ListFixture list(Manager(c.kind, c.sort));
        QHeaderView *header = list.view->header();
        ASSERT_EQ(header->count(), c.columns) << c.kind;
        const int first = header->sectionSize(0);
        for (const int width : {1000, 2000}) {
            list.widget.resize(width, 420);
            int total = 0;
            for (int section = 0; section < header->count(); ++section)
                total += header->sectionSize(section);
            EXPECT_EQ(total, width - CListSightWidget::kReservedWidth) << c.kind << " " << width;
        }
        EXPECT_GE(header->sectionSize(0), 2 * first) << c.kind;
    }
}

TEST(ListSightWidget, CameraRowsCountTheirFilesAndHoldTheirItems)
{
    ListFixture list(Manager(RegularVideo, SortStored));
    const int total = list.manager->GetDataNum();
    ASSERT_GT(total, 8);
    list.Load(0, total - 1);
    EXPECT_EQ(list.Ids().size(), total);
    for (int row = 0; row < list.model->rowCount(); ++row) {
        const QModelIndex camera = list.model->index(row, 0);
        EXPECT_TRUE(camera.data(RoleCameraRow).toBool());
        const QString title = camera.data().toString();
        EXPECT_TRUE(title.endsWith(QStringLiteral(" (%1)").arg(list.model->rowCount(camera))))
            << title.toStdString();
    }
    // A new count from the data manager rewrites the title.
    const QModelIndex first = list.model->index(0, 0);
    ResourceNumMap counts;
    counts[{first.data(RoleSiteId).toString(), first.data(RoleCameraId).toString()}] = 99;
    emit list.manager->SignalUpdateResourceNum(counts);
    TVS_WAIT_TRUE(list.model->index(0, 0).data().toString().endsWith(" (99)"), kWaitMs);
}

TEST(ListSightWidget, MarksPropagateBetweenCameraRowsAndItems)
{
    ListFixture list(Manager(RegularVideo, SortStored));
    list.Load(0, list.manager->GetDataNum() - 1);
    QSignalSpy any_checked(&list.widget, &CListSightWidget::SignalItemCheckStateChanged);
    QSignalSpy play(&list.widget, &CListSightWidget::SignalDataOperate);
    const QModelIndex camera = list.model->index(0, 0);
    ASSERT_GE(list.model->rowCount(camera), 2);

    list.ClickCheckBox(camera);
    EXPECT_EQ(CheckOf(camera), Qt::Checked);
    for (int row = 0; row < list.model->rowCount(camera); ++row)
        EXPECT_EQ(CheckOf(list.model->index(row, 0, camera)), Qt::Checked);
    ASSERT_EQ(any_checked.size(), 1);
    EXPECT_TRUE(any_checked.last().at(0).toBool());

    const QModelIndex item = list.model->index(1, 0, camera);
    list.ClickCheckBox(item);
    EXPECT_EQ(CheckOf(item), Qt::Unchecked);
    EXPECT_EQ(CheckOf(camera), Qt::PartiallyChecked);
    EXPECT_TRUE(any_checked.last().at(0).toBool());
    QList<int> expected_ids;
    for (int row = 0; row < list.model->rowCount(camera); ++row) {
        if (row != 1)
            expected_ids << list.model->index(row, 0, camera).data(RoleDataId).toInt();
    }
    EXPECT_EQ(list.widget.GetCheckedIndexID(), expected_ids);

    // Unchecking the rest leaves the camera row unchecked and nothing checked anywhere.
    for (int row = 0; row < list.model->rowCount(camera); ++row) {
        if (row != 1)
            list.ClickCheckBox(list.model->index(row, 0, camera));
    }
    EXPECT_EQ(CheckOf(camera), Qt::Unchecked);
    EXPECT_FALSE(any_checked.last().at(0).toBool());
    // Checking every item one by one checks the camera row.
    for (int row = 0; row < list.model->rowCount(camera); ++row)
        list.ClickCheckBox(list.model->index(row, 0, camera));
    EXPECT_EQ(CheckOf(camera), Qt::Checked);
    EXPECT_TRUE(play.isEmpty());
}

TEST(ListSightWidget, APageUnderACheckedOrFoldedCameraKeepsItsStateTrue)
{
    ListFixture list(Manager(RegularVideo, SortStored));
    const int total = list.manager->GetDataNum();
    ASSERT_GT(total, 40);
    list.Load(0, total / 2 - 1);
    QSignalSpy any_checked(&list.widget, &CListSightWidget::SignalItemCheckStateChanged);
    const int cameras = list.model->rowCount();
    const QModelIndex last = list.model->index(cameras - 1, 0);
    list.ClickCheckBox(last);
    ASSERT_EQ(CheckOf(last), Qt::Checked);
    const QModelIndex first = list.model->index(0, 0);
    list.view->collapse(first);
    const int signals_before = any_checked.size();

    // The next page goes on with the last camera, and adds cameras of its own.
    list.Load(total / 2, total - 1);
    ASSERT_GT(list.model->rowCount(), cameras);
    EXPECT_EQ(CheckOf(last), Qt::PartiallyChecked);
    int checked = 0;
    for (int row = 0; row < list.model->rowCount(last); ++row)
        checked += CheckOf(list.model->index(row, 0, last)) == Qt::Checked;
    EXPECT_GT(checked, 0);
    EXPECT_LT(checked, list.model->rowCount(last));
    EXPECT_EQ(any_checked.size(), signals_before);
    EXPECT_FALSE(list.view->isExpanded(first));
    for (int row = 1; row < list.model->rowCount(); ++row)
        EXPECT_TRUE(list.view->isExpanded(list.model->index(row, 0))) << row;
}

TEST(ListSightWidget, BulkMarksAndMarksByDataId)
{
    ListFixture list(Manager(RegularVideo, SortBeginAscending));
    list.Load(0, 9);
    list.widget.SetIndexChecked({2, 5});
    EXPECT_EQ(list.widget.GetCheckedIndexID(), (QList<int>{2, 5}));
    list.widget.SetIndexCheckState(true);
    EXPECT_EQ(list.widget.GetCheckedIndexID().size(), 10);
    QSignalSpy any_checked(&list.widget, &CListSightWidget::SignalItemCheckStateChanged);
    list.widget.SetIndexCheckState(false);
    EXPECT_TRUE(list.widget.GetCheckedIndexID().isEmpty());
    ASSERT_EQ(any_checked.size(), 1);
    EXPECT_FALSE(any_checked.last().at(0).toBool());
}

TEST(ListSightWidget, OnlyTheFirstColumnTextPlays)
{
    ListFixture list(Manager(RegularVideo, SortBeginAscending));
    list.Load(0, 9);
    QSignalSpy play(&list.widget, &CListSightWidget::SignalDataOperate);
    const QModelIndex row = list.ItemRows().at(3);

    list.ClickCheckBox(row);
    EXPECT_EQ(CheckOf(row), Qt::Checked);
    EXPECT_TRUE(play.isEmpty());

    list.ClickText(row.sibling(row.row(), 1));
    EXPECT_TRUE(play.isEmpty());

    list.ClickText(row);
    ASSERT_EQ(play.size(), 1);
    EXPECT_EQ(play.last().at(0).toInt(), int(OperationPlay));
    EXPECT_EQ(play.last().at(1).toInt(), 3);
    EXPECT_EQ(CheckOf(row), Qt::Checked);

    // An arrow key that moves to the next row plays it, as a click would.
    QTest::keyClick(list.view, Qt::Key_Down);
    ASSERT_EQ(play.size(), 2);
    EXPECT_EQ(play.last().at(1).toInt(), 4);
}

TEST(ListSightWidget, TimeOrderRowsShowCameraAndDuration)
{
    ListFixture list(Manager(RegularVideo, SortBeginAscending));
    list.Load(0, 9);
    const auto items = list.manager->GetDataByIndex(0, 9);
    for (int row = 0; row < 10; ++row) {
        PlaybackFileVector files;
        items[row]->GetFileDatas(files);
        int64_t seconds = 0;
        for (const auto &file : files)
            seconds += file->GetFileEndTime() - file->GetFileBegTime();
        const QString duration = list.model->index(row, 2).data().toString();
        const QStringList parts = duration.split(':');
        ASSERT_EQ(parts.size(), 3) << duration.toStdString();
        EXPECT_TRUE(std::all_of(parts.begin(), parts.end(),
                                [](const QString &part) { return part.size() >= 2; }));
        EXPECT_EQ(parts[0].toLongLong() * 3600 + parts[1].toLongLong() * 60 + parts[2].toLongLong(),
                  seconds);
        EXPECT_EQ(list.model->index(row, 1).data().toString(),
                  items[row]->GetPairData(KeyCameraName).toString());
        EXPECT_TRUE(list.model->index(row, 0).data().toString().contains(" - "));
    }
}

TEST(ListSightWidget, RangesAppendAndPrependInOrder)
{
    for (FileSortType sort : {SortBeginAscending, SortStored}) {
        ListFixture list(Manager(RegularVideo, sort));
        ASSERT_GE(list.manager->GetDataNum(), 30);
        list.Load(10, 19);
        list.Load(0, 9, true);
        list.Load(20, 29);
        QList<int> ids = list.Ids();
        EXPECT_EQ(ids.size(), 30);
        if (sort == SortBeginAscending) {
            for (int i = 0; i < ids.size(); ++i)
                EXPECT_EQ(ids[i], i);
        } else {
            // Within each camera the items keep the result order.
            for (int row = 0; row < list.model->rowCount(); ++row) {
                const QModelIndex camera = list.model->index(row, 0);
                for (int child = 1; child < list.model->rowCount(camera); ++child)
                    EXPECT_LT(list.model->index(child - 1, 0, camera).data(RoleDataId).toInt(),
                              list.model->index(child, 0, camera).data(RoleDataId).toInt());
            }
            std::sort(ids.begin(), ids.end());
            for (int i = 0; i < ids.size(); ++i)
                EXPECT_EQ(ids[i], i);
        }
    }
}

TEST(ListSightWidget, WheelAtTheEndsAsksForMoreAfterADelay)
{
    ListFixture list(Manager(RegularVideo, SortBeginAscending), 900);
    const int total = list.manager->GetDataNum();
    ASSERT_GT(total, 60);
    list.Load(20, 59);
    QSignalSpy more_end(&list.widget, &CListSightWidget::SignalLoadMoreEndData);
    QSignalSpy more_begin(&list.widget, &CListSightWidget::SignalLoadMoreBeginData);
    QScrollBar *bar = list.view->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);

    bar->setValue(bar->maximum());
    list.Wheel(-120);
    EXPECT_TRUE(more_end.isEmpty()); // not before the delay
    list.Wheel(-120);                // a request is pending: no second one
    ASSERT_TRUE(more_end.wait(kWaitMs));
    EXPECT_EQ(more_end.size(), 1);
    EXPECT_TRUE(more_begin.isEmpty());
    list.Load(60, total - 1);

    bar->setValue(0);
    list.Wheel(120);
    ASSERT_TRUE(more_begin.wait(kWaitMs));
    EXPECT_EQ(more_begin.size(), 1);
    list.Load(0, 19, true);
    EXPECT_EQ(list.Ids().size(), total);

    // The whole result is shown: no more requests at either end.
    bar->setValue(bar->maximum());
    list.Wheel(-120);
    bar->setValue(0);
    list.Wheel(120);
    // A request that does exist, made afterwards, arrives after any that the gestures above
    // might have scheduled: only it may arrive.
    list.widget.ClearData();
    list.Load(0, 19);
    bar->setValue(bar->maximum());
    list.Wheel(-120);
    ASSERT_TRUE(more_end.wait(kWaitMs));
    EXPECT_EQ(more_end.size(), 2);
    EXPECT_EQ(more_begin.size(), 1);
}

TEST(ListSightWidget, ClearDataEmptiesAndLooks)
{
    ListFixture list(Manager(TagVideo, SortStored), 1000);
    list.Load(0, std::min(list.manager->GetDataNum(), 12) - 1);
    list.view->expandAll();
    list.ClickCheckBox(list.ItemRows().at(1));
    TestSupport::SaveShot(&list.widget, "list-tag-camera.png");
    list.widget.ClearData();
    EXPECT_EQ(list.model->rowCount(), 0);
    EXPECT_EQ(list.model->columnCount(), 5);
    list.widget.ShowEmptyWidget(true);
    TestSupport::SaveShot(&list.widget, "list-empty.png");

    ListFixture by_time(Manager(RegularVideo, SortBeginAscending), 1000);
    by_time.Load(0, 14);
    by_time.ClickCheckBox(by_time.ItemRows().at(2));
    TestSupport::SaveShot(&by_time.widget, "list-lock-time.png");
    ListFixture grouped(Manager(RegularVideo, SortStored), 1000);
    grouped.Load(0, 14);
    grouped.ClickCheckBox(grouped.ItemRows().at(0));
    TestSupport::SaveShot(&grouped.widget, "list-lock-camera.png");
}
