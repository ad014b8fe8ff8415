#include "views/MultiPageWidget.h"
#include "StoreSearch.h"
#include "extension/VideoSearchExpandInterface.h"
#include "views/GridThumbnailWidget.h"
#include "views/ListSightWidget.h"
#include "views/MultiPageGroupWidget.h"
#include "views/MultiPageMoreWidget.h"
#include "views/VideoOperationWidget.h"

#include "recordserver/TimeStrip.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>

using namespace TeskVideoSearch;

namespace {

constexpr int kWaitMs = 30000;
constexpr int kResults = 150;

// Every camera of the store can show pictures.
class ThumbnailHost : public CVideoSearchExpandInterface
{
public:
    bool IsSupportThumbnail(const ResourceData::StorageMediaType &,
                            const ResourceData::StorageLocation &, const QString &,
                            const QString &) override
    {
        return true;
    }
    bool IsSupportSearchByImage() override { return true; }
};

// One finished search of regular recordings (split in half hours) for the whole binary.
const StoreSearch::Searched &Search()
{
    static const StoreSearch::Searched searched = [] {
        const int64_t end = Quor::Base::TimeUtil::DaysFromCivil(2026, 11, 20) * 86400;
        // The last two cameras fail every search.
        static const auto server =
            StoreSearch::InstallStore("grid-store", StoreSearch::DayOptions(7, 2, 8, end));
        return StoreSearch::SearchDay(teskplaycontroller::VideoSearchRecord, end, 1800, kWaitMs);
    }();
    return searched;
}

// A shown view of the first `count` results in the given order.
struct GridFixture
{
    explicit GridFixture(FileSortType sort = SortStored, int count = kResults,
                         QSize size = {760, 560})
    {
        const StoreSearch::Searched &searched = Search();
        manager = StoreSearch::Manager(searched, RegularVideo, sort, &host);
        EXPECT_GE(searched.controller->GetTotalFileNum(RegularVideo, searched.keys), count);
        view.resize(size);
        view.InitPageWidget(manager, QString());
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        ends = std::make_unique<QSignalSpy>(manager.get(),
                                            &CVideoDataManager::SignalLoadEndDataToList);
        begins = std::make_unique<QSignalSpy>(manager.get(),
                                              &CVideoDataManager::SignalLoadBeginDataToList);
        this->count = count;
    }

    void Prepare()
    {
        manager->SetCurrentDataNum(count, true);
        EXPECT_TRUE(QTest::qWaitFor([&] { return view.GetThumbnailCount() > 0; }, kWaitMs));
    }

    QScrollArea *Area() const { return view.findChild<QScrollArea *>("ptr_scrollarea_"); }
    QScrollBar *Bar() const { return Area()->verticalScrollBar(); }
    CMultiPageMoreWidget *Tip() const { return view.findChild<CMultiPageMoreWidget *>(); }

    void Wheel(int delta)
    {
        QWidget *viewport = Area()->viewport();
        const QPoint at = viewport->rect().center();
        QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &wheel);
    }

    // Wheels down as an operator at the bottom does until a page is asked for (the tip turns
    // into the waiting animation) or nothing more is offered; true when a page was asked for.
    bool WheelAtEnd(bool down)
    {
        QCoreApplication::processEvents();
        Bar()->setValue(down ? Bar()->maximum() : 0);
        for (int gesture = 0; gesture < 20; ++gesture) {
            Wheel(down ? -120 : 120);
            QCoreApplication::processEvents();
            if (Tip()->isVisible() && Tip()->GetTipState() == MoreTipLoading)
                return true;
            if (!Tip()->isVisible() && Bar()->value() == (down ? Bar()->maximum() : 0))
                return false;
        }
        return false;
    }

    QList<int> Ids() const
    {
        QList<int> ids;
        for (CMultiPageGroupWidget *group : view.GetGroups())
            ids << group->GetThumbnails().keys();
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    QList<CGridThumbnailWidget *> VisibleTiles() const
    {
        QList<CGridThumbnailWidget *> tiles;
        const QRect viewport = Area()->viewport()->rect();
        for (CMultiPageGroupWidget *group : view.GetGroups()) {
            for (CGridThumbnailWidget *tile : group->GetThumbnails()) {
                const QRect at(tile->mapTo(Area()->viewport(), QPoint()), tile->size());
                if (at.intersects(viewport))
                    tiles << tile;
            }
        }
        return tiles;
    }

    int TilesFetching() const
    {
        int fetching = 0;
        for (CMultiPageGroupWidget *group : view.GetGroups()) {
            for (CGridThumbnailWidget *tile : group->GetThumbnails())
                fetching += tile->ThumbnailState() == ThumbnailFetching ? 1 : 0;
        }
        return fetching;
    }

    ThumbnailHost host;
    std::shared_ptr<CVideoDataManager> manager;
    CMultiPageWidget view;
    std::unique_ptr<QSignalSpy> ends;
    std::unique_ptr<QSignalSpy> begins;
    int count = 0;
};

QList<int> Range(int first, int last)
{
    QList<int> ids;
    for (int id = first; id <= last; ++id)
        ids << id;
    return ids;
}

QList<QVariant> Pair(int a, int b)
{
    return {a, b};
}

} // namespace

TEST(MultiPageWidget, PagesOfSixtyAtTheBottomUntilTheEnd)
{
    GridFixture grid;
    grid.Prepare();
    EXPECT_EQ(grid.Ids(), Range(0, 59));
    EXPECT_FALSE(grid.view.findChild<QWidget *>("ptr_no_data_widget_")->isVisible());

    ASSERT_TRUE(grid.WheelAtEnd(true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid.view.GetThumbnailCount() == 120; }, kWaitMs));
    EXPECT_EQ(grid.Ids(), Range(0, 119));

    ASSERT_TRUE(grid.WheelAtEnd(true));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return grid.view.GetThumbnailCount() == kResults; }, kWaitMs));
    EXPECT_EQ(grid.Ids(), Range(0, kResults - 1));
    EXPECT_FALSE(grid.Tip()->isVisible());

    // At the end nothing more is offered, so a third gesture asks for nothing.
    EXPECT_FALSE(grid.WheelAtEnd(true));
    EXPECT_FALSE(grid.Tip()->isVisible());
    EXPECT_EQ(grid.view.GetThumbnailCount(), kResults);
    // The list of the page follows exactly the ranges added.
    ASSERT_EQ(grid.ends->size(), 3);
    EXPECT_EQ(grid.ends->at(0), Pair(0, 59));
    EXPECT_EQ(grid.ends->at(1), Pair(60, 119));
    EXPECT_EQ(grid.ends->at(2), Pair(120, 149));
}

TEST(MultiPageWidget, JumpShowsTheFullPageAroundTheIdThenGrowsUpwards)
{
    GridFixture grid;
    grid.manager->SetCurrentDataNum(kResults, false);
    grid.view.LoadCustomPageData(145);
    EXPECT_EQ(grid.Ids(), Range(90, 149));
    ASSERT_EQ(grid.ends->size(), 1);
    EXPECT_EQ(grid.ends->at(0), Pair(90, 149));
    // Once laid out, the view scrolls the jumped-to tile into view.
    CGridThumbnailWidget *target = grid.view.GetThumbnail(145);
    ASSERT_TRUE(target);
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid.VisibleTiles().contains(target); }, kWaitMs));

    ASSERT_TRUE(grid.WheelAtEnd(false));
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid.view.GetThumbnailCount() == 120; }, kWaitMs));
    EXPECT_EQ(grid.Ids(), Range(30, 149));
    ASSERT_EQ(grid.begins->size(), 1);
    EXPECT_EQ(grid.begins->at(0), Pair(30, 89));
    // The tile that was on top stays in view rather than jumping to the new top.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return grid.VisibleTiles().contains(grid.view.GetThumbnail(90)); }, kWaitMs));
    // Groups stay in camera order: each group's ids follow the previous group's.
    int previous = -1;
    for (CMultiPageGroupWidget *group : grid.view.GetGroups()) {
        EXPECT_GT(group->GetLowestDataId(), previous);
        previous = group->GetHighestDataId();
    }
}

TEST(MultiPageWidget, PicturesShowTheirMomentFewInFlightAndAreReleasedOutOfView)
{
    GridFixture grid(SortStored, kResults, {760, 420});
    QSignalSpy answers(grid.manager.get(), &CVideoDataManager::SignalThumbnailFinished);
    grid.Prepare();
    int most_in_flight = 0;
    const auto sample = [&] {
        most_in_flight =
            std::max({most_in_flight, grid.TilesFetching(), grid.view.GetThumbnailsInFlight()});
    };
    QObject::connect(grid.manager.get(), &CVideoDataManager::SignalThumbnailFinished, &grid.view,
                     sample);
    const auto all_visible_loaded = [&] {
        sample();
        const auto tiles = grid.VisibleTiles();
        return !tiles.isEmpty() && std::all_of(tiles.begin(), tiles.end(), [](auto *tile) {
            return tile->ThumbnailState() == ThumbnailLoaded;
        });
    };
    ASSERT_TRUE(QTest::qWaitFor(all_visible_loaded, kWaitMs));
    for (CGridThumbnailWidget *tile : grid.VisibleTiles()) {
        int64_t shown = -1;
        EXPECT_TRUE(teskrecordserver::ReadTimeStrip(tile->GetItem()->GetThumbnailImage(), shown))
            << "tile " << tile->GetDataId();
        EXPECT_EQ(shown, tile->ThumbnailTime()) << "tile " << tile->GetDataId();
    }
    // A tick on the first tile outlives its check box while the tile is out of view.
    CGridThumbnailWidget *first = grid.view.GetThumbnail(0);
    ASSERT_TRUE(first && first->HasForm());
    QTest::mouseClick(first->findChild<QCheckBox *>("ptr_checkbox_"), Qt::LeftButton);
    ASSERT_TRUE(first->IsChecked());
    // Fast scrolling through everything: many tiles pass by, still at most 5 asked at once.
    for (int pass = 0; pass < 2; ++pass) {
        for (int step = 0; step < 40; ++step) {
            grid.Wheel(-120);
            sample();
            QCoreApplication::processEvents();
            if (grid.Tip()->isVisible() && grid.Tip()->GetTipState() == MoreTipLoading) {
                ASSERT_TRUE(QTest::qWaitFor([&] { return !grid.Tip()->isVisible(); }, kWaitMs));
            }
        }
    }
    EXPECT_EQ(grid.view.GetThumbnailCount(), kResults);
    // Then screen by screen, each settling, until more than 100 pictures came in.
    grid.Bar()->setValue(0);
    while (answers.size() <= CMultiPageWidget::kReleaseEveryDownloads &&
           grid.Bar()->value() < grid.Bar()->maximum()) {
        ASSERT_TRUE(QTest::qWaitFor(all_visible_loaded, kWaitMs)) << grid.Bar()->value();
        grid.Bar()->setValue(grid.Bar()->value() + grid.Bar()->pageStep());
    }
    grid.Bar()->setValue(grid.Bar()->maximum());
    ASSERT_TRUE(QTest::qWaitFor(all_visible_loaded, kWaitMs));
    EXPECT_LE(most_in_flight, CMultiPageWidget::kMaxThumbnailsInFlight);
    EXPECT_GT(most_in_flight, 1);
    // Tiles far above were loaded once and have given their pictures and forms back.
    EXPECT_FALSE(grid.VisibleTiles().contains(first));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return first->ThumbnailState() == ThumbnailNotLoaded; }, kWaitMs));
    EXPECT_FALSE(first->HasForm());
    EXPECT_EQ(first->findChild<QCheckBox *>("ptr_checkbox_"), nullptr);
    int forms = 0;
    for (const CMultiPageGroupWidget *group : grid.view.GetGroups()) {
        for (const CGridThumbnailWidget *tile : group->GetThumbnails())
            forms += tile->HasForm() ? 1 : 0;
    }
    EXPECT_LT(forms, kResults / 2);
    EXPECT_EQ(grid.view.GetCheckedThumbnails(), QList<int>{0});
    // Back in view, the tile is built again with its tick.
    grid.Bar()->setValue(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return first->HasForm(); }, kWaitMs));
    const auto *box = first->findChild<QCheckBox *>("ptr_checkbox_");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->checkState(), Qt::Checked);
}

TEST(MultiPageWidget, GroupBoxFollowsItsTilesAndReportsAnyChecked)
{
    GridFixture grid;
    grid.Prepare();
    QSignalSpy report(&grid.view, &CMultiPageWidget::SignalThumbnailsCheckedStateChanged);
    ASSERT_GE(grid.view.GetGroups().size(), 2);
    CMultiPageGroupWidget *group = grid.view.GetGroups().front();
    auto *box = group->findChild<QCheckBox *>("ptr_checkbox_");
    ASSERT_TRUE(box && box->isTristate());
    EXPECT_TRUE(group->GetTitleText().endsWith(
        QString(" (%1)").arg(group->GetThumbnail(group->GetLowestDataId())
                                 ->GetItem()
                                 ->GetPairData(KeyCameraFileCount)
                                 .toInt())));

    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(box->checkState(), Qt::Checked);
    EXPECT_EQ(grid.view.GetCheckedThumbnails().size(), group->GetThumbnailCount());
    ASSERT_FALSE(report.isEmpty());
    EXPECT_TRUE(report.last().at(0).toBool());

    // Unchecking one tile by its own box leaves the group partly checked.
    CGridThumbnailWidget *tile = group->GetThumbnail(group->GetLowestDataId());
    QTest::mouseClick(tile->findChild<QCheckBox *>("ptr_checkbox_"), Qt::LeftButton);
    EXPECT_FALSE(tile->IsChecked());
    EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
    EXPECT_TRUE(report.last().at(0).toBool());

    // A click on a partly checked box checks all, the next unchecks all.
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(box->checkState(), Qt::Checked);
    EXPECT_TRUE(tile->IsChecked());
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(box->checkState(), Qt::Unchecked);
    EXPECT_FALSE(report.last().at(0).toBool());
    EXPECT_TRUE(grid.view.GetCheckedThumbnails().isEmpty());

    // Tiles added to a checked group start checked; a new camera's group does not.
    grid.view.SetAllThumbnailsChecked(true);
    const QList<CMultiPageGroupWidget *> before = grid.view.GetGroups();
    ASSERT_TRUE(grid.WheelAtEnd(true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid.view.GetThumbnailCount() == 120; }, kWaitMs));
    ASSERT_GT(grid.view.GetGroups().size(), before.size());
    for (CMultiPageGroupWidget *shown : grid.view.GetGroups()) {
        const bool old = before.contains(shown);
        EXPECT_EQ(shown->GetCheckedIds().size(), old ? shown->GetThumbnailCount() : 0);
    }
    EXPECT_GT(before.back()->GetHighestDataId(), 59);
}

TEST(MultiPageWidget, ResultInTimeOrderIsOneUntitledGroup)
{
    GridFixture grid(SortBeginAscending);
    grid.Prepare();
    ASSERT_EQ(grid.view.GetGroups().size(), 1);
    EXPECT_FALSE(
        grid.view.GetGroups().front()->findChild<QWidget *>("ptr_title_frame_")->isVisible());
    EXPECT_EQ(grid.Ids(), Range(0, 59));
    // Six columns of 175 px with 4 px between them fit in 760 px less the scroll bar.
    EXPECT_EQ(grid.view.GetGroups().front()->GetColumnCount(),
              (grid.Area()->viewport()->width() + 4) / (175 + 4));

    grid.view.ClearData();
    EXPECT_EQ(grid.view.GetThumbnailCount(), 0);
    EXPECT_TRUE(grid.view.findChild<QWidget *>("ptr_no_data_widget_")->isVisible());
    EXPECT_FALSE(grid.Area()->isVisible());
}

TEST(GridThumbnailWidget, ClicksPlayOnlyWhenReleasedInsideAndNotOnTheMoreLabel)
{
    GridFixture grid;
    grid.Prepare();
    CGridThumbnailWidget *tile = grid.view.GetThumbnail(3);
    ASSERT_TRUE(tile);
    QSignalSpy operate(&grid.view, &CMultiPageWidget::SignalDataOperate);

    QTest::mouseClick(tile, Qt::LeftButton, {}, tile->rect().center());
    ASSERT_EQ(operate.size(), 1);
    EXPECT_EQ(operate.at(0).at(0).value<OperationType>(), OperationPlay);
    EXPECT_EQ(operate.at(0).at(1).toInt(), 3);

    QTest::mousePress(tile, Qt::LeftButton, {}, tile->rect().center());
    QTest::mouseRelease(tile, Qt::LeftButton, {}, QPoint(tile->width() + 20, 10));
    EXPECT_EQ(operate.size(), 1);

    // Hovering shows the more label (half-hour segments can be split); a release on it plays
    // nothing.
    QEvent enter(QEvent::Enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(tile, &enter);
    auto *more = tile->findChild<QLabel *>("ptr_more_label_");
    ASSERT_TRUE(more);
    ASSERT_TRUE(more->isVisible());
    const CVideoOperationInitParam param = tile->GetOperationParam();
    EXPECT_TRUE(param.GetVal_is_show_split_btn());
    EXPECT_FALSE(param.GetVal_map_split_time_type().count(SplitHalfHour));
    EXPECT_TRUE(param.GetVal_map_split_time_type().count(SplitTwentyMinutes));
    const QPoint on_more = more->geometry().center();
    QTest::mousePress(tile, Qt::LeftButton, {}, on_more);
    QTest::mouseRelease(tile, Qt::LeftButton, {}, on_more);
    EXPECT_EQ(operate.size(), 1);
    CVideoOperationWidget &popup = CVideoOperationWidget::Instance();
    EXPECT_TRUE(popup.isVisible());

    // The pop-up answers the tile it was last opened for, once.
    CGridThumbnailWidget *other = grid.view.GetThumbnail(4);
    QApplication::sendEvent(tile, &leave);
    EXPECT_FALSE(more->isVisible());
    QApplication::sendEvent(other, &enter);
    auto *other_more = other->findChild<QLabel *>("ptr_more_label_");
    QTest::mousePress(other, Qt::LeftButton, {}, other_more->geometry().center());
    QTest::mouseRelease(other, Qt::LeftButton, {}, other_more->geometry().center());
    emit popup.SignalSecondSplitClicked();
    ASSERT_EQ(operate.size(), 2);
    EXPECT_EQ(operate.at(1).at(0).value<OperationType>(), OperationSplit);
    EXPECT_EQ(operate.at(1).at(1).toInt(), 4);
    // The length chosen is kept on the item, shorter than the item itself.
    const int length = other->GetItem()->GetPairData(KeySplitLength).toInt();
    PlaybackFileVector files;
    other->GetItem()->GetFileDatas(files);
    EXPECT_GT(length, 0);
    EXPECT_LT(length, files.back()->GetFileEndTime() - files.front()->GetFileBegTime());
    emit popup.SignalSecondSearchClicked();
    ASSERT_EQ(operate.size(), 3);
    EXPECT_EQ(operate.at(2).at(0).value<OperationType>(), OperationSecondSearch);
    EXPECT_EQ(operate.at(2).at(1).toInt(), 4);
    popup.hide();
}

TEST(GridThumbnailWidget, RefusedPictureShowsFailureAndReleaseKeepsOtherStates)
{
    // A manager without a search cannot ask: the tile's picture fails after its delay.
    auto manager = std::make_shared<CVideoDataManager>();
    auto item = std::make_shared<CCustomVideoData>();
    item->SetFileDatas({std::make_shared<CPlaybackFile>(1000, 1600, "f0")});
    item->InsertPairData(KeyDataId, 0);
    item->InsertPairData(KeyThumbnailSupported, true);
    CGridThumbnailWidget tile(item, manager);
    tile.show();
    QSignalSpy finished(&tile, &CGridThumbnailWidget::SignalThumbnailFinished);
    ASSERT_TRUE(tile.NeedsThumbnail());
    EXPECT_TRUE(tile.RequestThumbnail());
    EXPECT_EQ(tile.ThumbnailState(), ThumbnailFetching);
    EXPECT_TRUE(tile.findChild<QLabel *>("ptr_animation_label_")->isVisible());
    ASSERT_TRUE(finished.wait(kWaitMs));
    EXPECT_FALSE(finished.at(0).at(0).toBool());
    EXPECT_EQ(tile.ThumbnailState(), ThumbnailFailed);
    EXPECT_FALSE(tile.NeedsThumbnail());
    EXPECT_FALSE(tile.findChild<QLabel *>("ptr_animation_label_")->isVisible());
    // The failure picture sits in the middle of the picture area.
    const QImage shot = tile.grab().toImage();
    TestSupport::SaveShot(&tile, "tile-failed.png");
    EXPECT_NE(shot.pixel(tile.rect().center()), shot.pixel(10, tile.height() / 2));
    // Only a loaded picture is released; a failed one stays failed.
    tile.ReleaseThumbnail();
    EXPECT_EQ(tile.ThumbnailState(), ThumbnailFailed);
}

TEST(MultiPageWidget, LooksWithRealPictures)
{
    qApp->setStyleSheet(TeskResources::ClientStyleSheet());
    const QString dir = qEnvironmentVariableIsSet("TVS_SCREENSHOT_DIR")
                            ? qEnvironmentVariable("TVS_SCREENSHOT_DIR")
                            : TestSupport::ScratchDir();
    GridFixture grid(SortStored, kResults, {1000, 560});
    grid.Prepare();
    // Pictures on their way show the waiting animation.
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid.TilesFetching() > 0; }, kWaitMs));
    EXPECT_TRUE(grid.view.grab().save(dir + "/thumbnail-view-waiting.png"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const auto tiles = grid.VisibleTiles();
            return std::all_of(tiles.begin(), tiles.end(), [](auto *tile) {
                return tile->ThumbnailState() == ThumbnailLoaded;
            });
        },
        kWaitMs));
    grid.view.SetFocusedThumbnail(5);
    grid.view.SetCheckedThumbnails({1, 5, 6});
    CGridThumbnailWidget *hovered = grid.view.GetThumbnail(2);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(hovered, &enter);
    auto *more = hovered->findChild<QLabel *>("ptr_more_label_");
    ASSERT_TRUE(more && more->isVisible());
    QApplication::sendEvent(more, &enter);
    EXPECT_EQ(more->objectName(), QString("ptr_more_label_hover_"));
    QTest::mouseClick(hovered, Qt::LeftButton, {}, more->geometry().center());
    CVideoOperationWidget &popup = CVideoOperationWidget::Instance();
    ASSERT_TRUE(popup.isVisible());

    QImage shot = grid.view.grab().toImage();
    // The focused tile wears its red frame; a plain one does not.
    const QPoint focused = grid.view.GetThumbnail(5)->mapTo(&grid.view, QPoint(1, 1));
    const QPoint plain = grid.view.GetThumbnail(3)->mapTo(&grid.view, QPoint(1, 1));
    const auto reddish = [&](const QPoint &at) {
        return qRed(shot.pixel(at)) - qGreen(shot.pixel(at)) > 100;
    };
    EXPECT_TRUE(reddish(focused));
    EXPECT_FALSE(reddish(plain));
    {
        QPainter painter(&shot);
        painter.drawPixmap(grid.view.mapFromGlobal(popup.pos()), popup.grab());
    }
    EXPECT_TRUE(shot.save(dir + "/thumbnail-view.png"));
    popup.hide();

    // At the bottom the more tip offers the next page.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            grid.Bar()->setValue(grid.Bar()->maximum());
            QWidget *viewport = grid.Area()->viewport();
            return grid.Tip()->isVisible() &&
                   viewport->rect().contains(
                       QRect(grid.Tip()->mapTo(viewport, QPoint()), grid.Tip()->size()));
        },
        kWaitMs));
    EXPECT_TRUE(grid.view.grab().save(dir + "/thumbnail-view-more.png"));
    qApp->setStyleSheet(QString());
}

TEST(GridThumbnailWidget, ToolTipsTellElidedTextsAndMissingSupport)
{
    auto item = std::make_shared<CCustomVideoData>();
    item->SetFileDatas({std::make_shared<CPlaybackFile>(1000, 1600, "f0")});
    const QString name = "A camera with a name far too long for any tile of the view";
    item->InsertPairData(KeyCameraName, name);
    item->InsertPairData(KeyShowCameraName, true);
    item->InsertPairData(KeyBeginTimeText, QString("01:00"));
    item->InsertPairData(KeyThumbnailSupported, true);
    CGridThumbnailWidget tile(item, nullptr);
    tile.show();
    const auto move_to = [&](QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, tile.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&tile, &move);
        return tile.toolTip();
    };
    EXPECT_EQ(move_to({20, 14}), name);
    EXPECT_EQ(move_to({20, CGridThumbnailWidget::kHeight - 14}), QString()); // short enough
    EXPECT_EQ(move_to({20, CGridThumbnailWidget::kHeight / 2}), QString());
    item->InsertPairData(KeyThumbnailSupported, false);
    EXPECT_FALSE(move_to({20, CGridThumbnailWidget::kHeight / 2}).isEmpty());
    EXPECT_FALSE(tile.NeedsThumbnail());
}
