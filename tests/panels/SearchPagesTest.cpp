#include "panels/AllVideoSearchWidget.h"
#include "panels/CustomMultiComBox.h"
#include "panels/LockVideoSearchWidget.h"
#include "panels/PersonVehicleVideoSearchWidget.h"
#include "panels/TagVideoSearchWidget.h"

#include "data/CustomVideoData.h"
#include "data/VideoDataManager.h"
#include "extension/VideoSearchExpandInterface.h"
#include "search/CommonFunction.h"
#include "search/SearchPlan.h"
#include "search/VideoSearchController.h"
#include "timebar/BaseFileProgressBar.h"
#include "timebar/TimeBarDelegate.h"
#include "views/ListSightCheckModel.h"
#include "views/ListSightTableView.h"
#include "views/MultiPageWidget.h"

#include "plexacontrol/ComboBox.h"
#include "quorbase/Util.h"
#include "resources/Resources.h"

#include "PanelsTestSupport.h"
#include "StoreSearch.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>

#include <cstdlib>

using namespace TeskVideoSearch;

namespace {

constexpr int kWaitMs = 30000;
const char *const kChildKindVariable = "TVS_PAGES_CHILD_KIND";

const int64_t kEnd = Quor::Base::TimeUtil::DaysFromCivil(2026, 11, 20) * 86400;

void InstallStore()
{
    static const auto server =
        StoreSearch::InstallStore("store", StoreSearch::DayOptions(7, 2, 4, kEnd));
}

// The last day of the store over `cameras`, or a period before the store began.
teskplaycontroller::CCameraVideoSearchCondition
Condition(teskplaycontroller::VideoSearchType type,
          const std::vector<TestKit::CameraRef> &cameras = TestKit::DirectoryCameras(),
          bool before_store = false)
{
    const int64_t end = kEnd - (before_store ? 30 * 86400 : 0);
    return TestKit::CameraSearchCondition(Quor::Base::GuidUtil::CreateGuid(), type, cameras,
                                          end - 86400, end);
}

int LastTotal(const QSignalSpy &totals)
{
    return totals.isEmpty() ? -1 : totals.last().at(1).toInt();
}

// A shown page bound to its own controller, as the panel builds it.
template<class Page>
struct PageFixture
{
    explicit PageFixture(VideoDataType page_kind)
        : kind(page_kind)
    {
        InstallStore();
        controller = std::make_shared<CVideoSearchController>();
        CClipSearchWidgetInitParam init;
        init.SetVal_ptr_expand_interface(&expand);
        page.InitWidgetParam(init);
        page.LoadWidget(controller, kind, FilterVcaNone);
        page.resize(1200, 700);
        page.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&page));
    }

    // Runs a search to its end; the last total the page reported, -1 for none.
    int Search(teskplaycontroller::CCameraVideoSearchCondition condition)
    {
        QSignalSpy results(controller.get(), &CVideoSearchController::SignalSearchResult);
        QSignalSpy totals(&page, &CAbstractSearchWidget::SignalUpdateDataTotalNum);
        page.ClearSearchResult(true);
        page.StartSearchVideo(condition);
        EXPECT_TRUE(QTest::qWaitFor([&] { return StoreSearch::Finished(results); }, kWaitMs));
        QTest::qWait(0);
        return LastTotal(totals);
    }

    // The controller's rows `begin` to `end` under the page's filter.
    CameraFilesList Rows(int begin, int end)
    {
        CameraFilesList rows;
        CVideoFileParam param;
        param.SetVal_qvc_filter_camera_keys(Manager()->GetFilterCamera());
        param.SetVal_data_type(kind);
        param.SetVal_begin_index(begin);
        param.SetVal_end_index(end);
        controller->GetVideoFiles(rows, param);
        return rows;
    }

    template<class T>
    T *Child(const char *name)
    {
        return page.template findChild<T *>(name);
    }

    bool Loading()
    {
        return Child<QStackedWidget>("ptr_stacked_widget_")->currentWidget() ==
               Child<QWidget>("ptr_notice_");
    }
    std::shared_ptr<CVideoDataManager> Manager() { return page.DataManager(); }

    // Zooms the time bar to its closest level, which cuts the recordings into the most rows,
    // and waits for the re-split page; the rows shown then, or -1 when it never came.
    int ResplitAtClosestLevel()
    {
        QSignalSpy changed(&page, &CAbstractSearchWidget::SignalResultDataChanged);
        Child<CBaseFileProgressBar>("ptr_bottom_time_widget_")
            ->SetCurrentTimeSliderLevel(CAnimationProgressBar::LevelSixHours);
        if (!QTest::qWaitFor([&] { return changed.count() == 2; }, kWaitMs))
            return -1;
        return Manager()->GetDataNum();
    }

    VideoDataType kind;
    std::shared_ptr<CVideoSearchController> controller;
    // The host's hooks with their base answers: thumbnails supported, the play window's scale.
    CVideoSearchExpandInterface expand;
    Page page;
};

// ---- searches ----------------------------------------------------------------------------

TEST(SearchPages, SearchThatFindsNothingReportsZeroAndDisablesTheTimeBar)
{
    PageFixture<CAllVideoSearchWidget> fixture(RegularVideo);
    EXPECT_EQ(fixture.Search(Condition(teskplaycontroller::VideoSearchRecord,
                                       TestKit::DirectoryCameras(), true)),
              0);
    EXPECT_FALSE(fixture.Child<QWidget>("ptr_time_progress_widget_")->isEnabled());
    EXPECT_FALSE(fixture.Loading());
    EXPECT_TRUE(fixture.Child<QWidget>("ptr_sort_combox_")->isEnabled());
}

TEST(SearchPages, APageIsBoundOnce)
{
    PageFixture<CAllVideoSearchWidget> fixture(RegularVideo);
    const auto manager = fixture.Manager();
    fixture.page.LoadWidget(std::make_shared<CVideoSearchController>(), LockVideo, FilterVcaNone);
    EXPECT_EQ(fixture.page.DataManager(), manager);
    EXPECT_EQ(fixture.page.SearchController(), fixture.controller);
    EXPECT_EQ(manager->GetDataType(), RegularVideo);

    CTagVideoSearchWidget unbound;
    unbound.LoadWidget(nullptr, TagVideo, FilterVcaNone);
    EXPECT_EQ(unbound.DataManager(), nullptr);
    auto condition = Condition(teskplaycontroller::VideoSearchTag);
    unbound.StartSearchVideo(condition); // nothing to prepare, and no crash
    CClipPlaybackParam param;
    param.SetVal_current_data_id(0);
    EXPECT_FALSE(unbound.GetPlaybackParam(param));
}

TEST(SearchPages, RefusedSearchEndsTheLoadingStateWithZero)
{
    PageFixture<CLockVideoSearchWidget> fixture(LockVideo);
    QSignalSpy totals(&fixture.page, &CAbstractSearchWidget::SignalUpdateDataTotalNum);
    auto nobody = Condition(teskplaycontroller::VideoSearchLock, {});
    fixture.page.ClearSearchResult(true);
    fixture.page.StartSearchVideo(nobody);
    ASSERT_EQ(totals.count(), 1);
    EXPECT_EQ(totals.at(0).at(0).value<VideoDataType>(), LockVideo);
    EXPECT_EQ(LastTotal(totals), 0);
    EXPECT_FALSE(fixture.Loading());
    EXPECT_FALSE(fixture.Child<QWidget>("ptr_time_progress_widget_")->isEnabled());
}

TEST(SearchPages, TooMuchDataTipShowsUntilClosed)
{
    PageFixture<CLockVideoSearchWidget> fixture(LockVideo);
    fixture.Search(Condition(teskplaycontroller::VideoSearchLock));
    auto *tip = fixture.Child<QWidget>("ptr_max_main_widget_");
    EXPECT_FALSE(tip->isVisible());
    // The controller's answer when it stopped a search at its limit of stored files.
    ClipSearchEvent capped;
    capped.SetEventType(ClipSearchFinished);
    CClipSearchEventData capped_data = capped.GetEventData(); // shares the event's record
    capped_data.SetVal_max_data(true);
    fixture.page.OnSearchResult(capped);
    EXPECT_TRUE(tip->isVisible());
    QTest::mouseClick(fixture.Child<QPushButton>("ptr_max_tip_close_btn_"), Qt::LeftButton);
    EXPECT_FALSE(tip->isVisible());
    // A new search starts without it.
    fixture.page.OnSearchResult(capped);
    fixture.Search(Condition(teskplaycontroller::VideoSearchLock));
    EXPECT_FALSE(tip->isVisible());
}

// A finished search fills the filter, the views and the bands, and serves playback and export.
TEST(SearchPages, FinishedSearchFillsTheViewsAndServesPlaybackAndExport)
{
    PageFixture<CAllVideoSearchWidget> fixture(RegularVideo);
    const auto cameras = TestKit::DirectoryCameras();
    const int total = fixture.Search(Condition(teskplaycontroller::VideoSearchRecord, cameras));
    ASSERT_GT(total, 0);
    EXPECT_EQ(fixture.Manager()->GetDataNum(), total);
    EXPECT_EQ(fixture.Child<CCustomMultiComBox>("ptr_camera_combox_")->GetCheckedData().size(),
              static_cast<int>(cameras.size()));
    EXPECT_TRUE(fixture.Child<QWidget>("ptr_time_progress_widget_")->isEnabled());
    auto *grid = fixture.Child<CMultiPageWidget>("ptr_thumbnail_widget_");
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid->GetDataInfoByID(0) != nullptr; }, kWaitMs));
    // The last row has its bands, found by the row's number.
    auto *bar = fixture.Child<CBaseFileProgressBar>("ptr_bottom_time_widget_");
    QVector<TimeBarParam> selected;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            fixture.page.UpdataTimeSliderCurrentFile(total - 1);
            selected = bar->TimeBarDelegate()->SelectedBars();
            return !selected.isEmpty();
        },
        kWaitMs));
    const CameraFilesList rows = fixture.Rows(total - 1, total - 1);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(selected.size(), rows.front().second.size());
    EXPECT_EQ(selected.front().dtStart, rows.front().second.front()->GetFileBegTime());

    // Playback: the result, its neighbours and the time type.
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->GetDataInfoByID(1) != nullptr; }, kWaitMs));
    CClipPlaybackParam first;
    first.SetVal_current_data_id(0);
    ASSERT_TRUE(fixture.page.GetPlaybackParam(first));
    EXPECT_FALSE(first.GetVal_b_previous_btn_enable());
    EXPECT_TRUE(first.GetVal_b_next_btn_enable());
    EXPECT_EQ(first.GetVal_total_num(), total);
    PlaybackFileVector files;
    grid->GetDataInfoByID(0)->GetFileDatas(files);
    ASSERT_FALSE(files.isEmpty());
    EXPECT_EQ(first.GetVal_playback_files(), files);
    ASSERT_NE(first.GetVal_ptr_camera_for_play(), nullptr);
    EXPECT_EQ(QString::fromStdString(first.GetVal_ptr_camera_for_play()->GetCameraID()),
              grid->GetDataInfoByID(0)->GetPairData(KeyCameraId).toString());

    CClipPlaybackParam second;
    second.SetVal_current_data_id(1);
    ASSERT_TRUE(fixture.page.GetPlaybackParam(second));
    EXPECT_TRUE(second.GetVal_b_previous_btn_enable());

    CClipPlaybackParam missing;
    missing.SetVal_current_data_id(fixture.Manager()->GetDataNum() + 5);
    EXPECT_FALSE(fixture.page.GetPlaybackParam(missing));

    // Export: the ticked results, one record per camera.
    auto *download = fixture.Child<QPushButton>("ptr_download_button_");
    EXPECT_FALSE(download->isEnabled());
    grid->SetAllThumbnailsChecked(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return download->isEnabled(); }, kWaitMs));

    QVector<CVideoDownloadInfo> records;
    DownloadTimeType time;
    fixture.page.GetExportInfo(records, time);
    const auto ticked = grid->GetAllCheckedDataInfo();
    ASSERT_FALSE(ticked.isEmpty());
    int groups = 0;
    QSet<QString> exported;
    for (const CVideoDownloadInfo &record : records) {
        EXPECT_FALSE(exported.contains(record.GetVal_camera_id())) << "one record per camera";
        exported.insert(record.GetVal_camera_id());
        groups += record.GetVal_playback_files().size();
        EXPECT_EQ(record.GetVal_qvc_custom_file_name().size(),
                  record.GetVal_playback_files().size());
    }
    EXPECT_EQ(groups, ticked.size());
}

TEST(SearchPages, DeletingASearchedCameraClearsThePage)
{
    PageFixture<CAllVideoSearchWidget> fixture(RegularVideo);
    const auto cameras = TestKit::DirectoryCameras();
    fixture.Search(Condition(teskplaycontroller::VideoSearchRecord, {cameras.front()}));
    auto *grid = fixture.Child<CMultiPageWidget>("ptr_thumbnail_widget_");
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->GetDataInfoByID(0) != nullptr; }, kWaitMs));
    // Another camera going changes nothing.
    emit OrlPluginManager::CCameraManager::Instance().SignalCamerasDelete(
        {QString::fromStdString(cameras.back().id)});
    EXPECT_GT(fixture.Manager()->GetDataNum(), 0);
    emit OrlPluginManager::CCameraManager::Instance().SignalCamerasDelete(
        {QString::fromStdString(cameras.front().id)});
    EXPECT_EQ(fixture.Manager()->GetDataNum(), 0);
    EXPECT_EQ(grid->GetDataInfoByID(0), nullptr);
    EXPECT_FALSE(fixture.Child<QWidget>("ptr_download_button_")->isEnabled());
}

// ---- tool row ----------------------------------------------------------------------------

TEST(SearchPages, SortAndFilterReportTheNewTotalAndAChangedResult)
{
    PageFixture<CAllVideoSearchWidget> fixture(RegularVideo);
    fixture.Search(Condition(teskplaycontroller::VideoSearchRecord));
    QSignalSpy totals(&fixture.page, &CAbstractSearchWidget::SignalUpdateDataTotalNum);
    QSignalSpy changed(&fixture.page, &CAbstractSearchWidget::SignalResultDataChanged);

    auto *sort = fixture.Child<PlexaControl::CComboBox>("ptr_sort_combox_");
    sort->setCurrentIndex(1);
    ASSERT_EQ(totals.count(), 1);
    EXPECT_EQ(fixture.Manager()->GetFileSortType(), SortBeginAscending);
    EXPECT_EQ(changed.count(), 1);
    const int all = LastTotal(totals);

    // Untick the first camera: the total drops by exactly that camera's rows.
    auto *filter = fixture.Child<CCustomMultiComBox>("ptr_camera_combox_");
    const CResourceKey dropped = filter->itemData(0).value<CResourceKey>();
    QVector<CResourceKey> kept;
    for (const QVariant &data : filter->GetCheckedData()) {
        if (!teskplaycontroller::IsSameKey(data.value<CResourceKey>(), dropped))
            kept.append(data.value<CResourceKey>());
    }
    filter->showPopup();
    filter->SetItemChecked(0, false);
    filter->hidePopup();
    ASSERT_EQ(totals.count(), 2);
    EXPECT_EQ(changed.count(), 2);
    CResourceKey dropped_key = dropped;
    const int dropped_rows = fixture.controller->GetSingleCameraFilesNum(RegularVideo, dropped_key);
    EXPECT_GT(dropped_rows, 0);
    EXPECT_EQ(LastTotal(totals), all - dropped_rows);
    const QVector<CResourceKey> filtered = fixture.Manager()->GetFilterCamera();
    ASSERT_EQ(filtered.size(), kept.size());
    for (int i = 0; i < kept.size(); ++i)
        EXPECT_TRUE(teskplaycontroller::IsSameKey(filtered[i], kept[i]));
}

// Only a new level of the time bar splits the recordings again. The bands of the many rows it
// gives reach the bar a share at a time: every row once, under its own number; a clear before
// they have all come leaves the bar empty.
TEST(SearchPages, ANewLevelSplitsAgainAndTheBandsOfEveryRowArriveOnce)
{
    PageFixture<CAllVideoSearchWidget> fixture(RegularVideo);
    const int before = fixture.Search(Condition(teskplaycontroller::VideoSearchRecord));
    QSignalSpy totals(&fixture.page, &CAbstractSearchWidget::SignalUpdateDataTotalNum);
    QSignalSpy changed(&fixture.page, &CAbstractSearchWidget::SignalResultDataChanged);
    auto *bar = fixture.Child<CBaseFileProgressBar>("ptr_bottom_time_widget_");
    auto *sort = fixture.Child<PlexaControl::CComboBox>("ptr_sort_combox_");
    // An unknown level, or the one the search was cut for (1800 s a day), changes nothing.
    emit bar->SignalLevelChanged(static_cast<CAnimationProgressBar::TotalValue>(42));
    emit bar->SignalLevelChanged(CAnimationProgressBar::LevelOneDay);
    EXPECT_EQ(changed.count(), 0);
    bar->SetCurrentTimeSliderLevel(CAnimationProgressBar::LevelSixHours);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_FALSE(changed.at(0).at(0).toBool());
    EXPECT_FALSE(sort->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return changed.count() == 2; }, kWaitMs));
    EXPECT_TRUE(sort->isEnabled());
    // 600 s segments instead of 1800 s: about three times the rows.
    const int total = fixture.Manager()->GetDataNum();
    EXPECT_EQ(LastTotal(totals), total);
    EXPECT_GT(total, 2 * before);
    ASSERT_GT(total, 300);
    const CameraFilesList rows = fixture.Rows(0, total - 1);
    ASSERT_EQ(rows.size(), total);
    int files = 0;
    for (const CameraFilesEntry &row : rows)
        files += row.second.size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->TimeBarDelegate()->TimeBars().size() == files; },
                                kWaitMs));
    for (int turn = 0; turn < 20; ++turn)
        QCoreApplication::processEvents();
    EXPECT_EQ(bar->TimeBarDelegate()->TimeBars().size(), files);
    for (int row = 0; row < total; ++row) {
        const PlaybackFilePtr &file = rows[row].second.front();
        const std::string index =
            CCommonFunction::CreateTimeSliderFileIndex(row, row).toStdString();
        const auto found =
            bar->FindPlayFileByTime((file->GetFileBegTime() + file->GetFileEndTime()) / 2);
        EXPECT_TRUE(std::any_of(found.begin(), found.end(),
                                [&](const auto &band) { return band->GetFileIndex() == index; }))
            << "row " << row;
    }

    // Another order loads them again, and the page is cleared before they come.
    sort->setCurrentIndex(1);
    fixture.page.ClearSearchResult(true);
    for (int turn = 0; turn < 20; ++turn)
        QCoreApplication::processEvents();
    EXPECT_TRUE(bar->TimeBarDelegate()->TimeBars().isEmpty());
    const PlaybackFilePtr &last = rows.back().second.front();
    EXPECT_TRUE(bar->FindPlayFileByTime(last->GetFileBegTime()).isEmpty());
}

TEST(SearchPages, SecondSplitShowsTheSegmentsOfOneRecordingAndStepsBack)
{
    PanelsTest::EnglishTexts english;
    PageFixture<CAllVideoSearchWidget> fixture(RegularVideo);
    const int searched = fixture.Search(Condition(teskplaycontroller::VideoSearchRecord));
    QSignalSpy totals(&fixture.page, &CAbstractSearchWidget::SignalUpdateDataTotalNum);
    auto *grid = fixture.Child<CMultiPageWidget>("ptr_thumbnail_widget_");
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->GetDataInfoByID(0) != nullptr; }, kWaitMs));
    const auto result = grid->GetDataInfoByID(0);
    PlaybackFileVector files;
    result->GetFileDatas(files);
    ASSERT_FALSE(files.isEmpty());
    const int64_t length = files.back()->GetFileEndTime() - files.front()->GetFileBegTime();
    ASSERT_GT(length, 120);
    // The tile's pop-up stores the chosen length before it asks for the split.
    result->InsertPairData(KeySplitLength, 60);

    QSignalSpy changed(&fixture.page, &CAbstractSearchWidget::SignalResultDataChanged);
    emit grid->SignalDataOperate(OperationSplit, 0);
    ASSERT_EQ(changed.count(), 1);
    const int segments = LastTotal(totals);
    EXPECT_GE(segments, static_cast<int>(length / 60));
    EXPECT_EQ(fixture.Manager()->GetDataNum(), segments);
    auto *back = fixture.Child<QWidget>("ptr_back_widget_");
    EXPECT_TRUE(back->isVisible());
    EXPECT_FALSE(fixture.Child<QWidget>("ptr_time_progress_widget_")->isVisible());
    EXPECT_NE(fixture.Child<QWidget>("ptr_result_no_shadow_widget_"), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->GetDataInfoByID(1) != nullptr; }, kWaitMs));
    PlaybackFileVector first_segment;
    grid->GetDataInfoByID(0)->GetFileDatas(first_segment);
    ASSERT_FALSE(first_segment.isEmpty());
    EXPECT_LE(first_segment.back()->GetFileEndTime() - first_segment.front()->GetFileBegTime(), 60);
    TestSupport::SaveShot(&fixture.page, "all-second-split.png");

    // "Back" on the bar returns to the search's own rows.
    QTest::mouseClick(back->findChild<QWidget *>("ptr_left_widget_"), Qt::LeftButton);
    EXPECT_EQ(LastTotal(totals), searched);
    EXPECT_FALSE(back->isVisible());
    EXPECT_TRUE(fixture.Child<QWidget>("ptr_time_progress_widget_")->isVisible());
    EXPECT_NE(fixture.Child<QWidget>("ptr_result_widget_"), nullptr);
}

// ---- time bar and playback ---------------------------------------------------------------

TEST(SearchPages, ClickedBandFocusesItsResultAndAsksForPlayback)
{
    PageFixture<CAllVideoSearchWidget> fixture(RegularVideo);
    const auto cameras = TestKit::DirectoryCameras();
    fixture.Search(Condition(teskplaycontroller::VideoSearchRecord, {cameras.front()}));
    // The closest level of the pages, so that neighbouring recordings lie outside the click's
    // tolerance; it cuts the recordings again.
    auto *bar = fixture.Child<CBaseFileProgressBar>("ptr_bottom_time_widget_");
    const int total = fixture.ResplitAtClosestLevel();
    ASSERT_GT(total, 2);

    // A row beyond the first page of the grid, found on its own in the controller's rows.
    const int wanted = total - 2;
    const CameraFilesList rows = fixture.Rows(wanted, wanted);
    ASSERT_EQ(rows.size(), 1);
    const PlaybackFilePtr file = rows.front().second.front();
    const int64_t middle = (file->GetFileBegTime() + file->GetFileEndTime()) / 2;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !bar->FindPlayFileByTime(middle).isEmpty(); }, kWaitMs));

    bar->SetPlayBackTime(static_cast<unsigned>(middle));
    QSignalSpy play(&fixture.page, &CAbstractSearchWidget::SignalStartPlaybackVideo);
    // The window stays within the searched span, so the time may lie off the centre.
    int x_of_middle = 0;
    for (int x = 0; x < bar->width(); ++x) {
        if (std::llabs(bar->TimeTConvertToDateTime(x).toSecsSinceEpoch() - middle) <
            std::llabs(bar->TimeTConvertToDateTime(x_of_middle).toSecsSinceEpoch() - middle))
            x_of_middle = x;
    }
    const QPoint at(x_of_middle, 60);
    QTest::mousePress(bar, Qt::LeftButton, {}, at);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, at);
    ASSERT_EQ(bar->TimeBarDelegate()->SelectedBars().size(), 1);
    ASSERT_EQ(play.count(), 1);
    EXPECT_EQ(play.at(0).at(0).value<VideoDataType>(), RegularVideo);
    EXPECT_EQ(play.at(0).at(1).toInt(), wanted);
    auto *grid = fixture.Child<CMultiPageWidget>("ptr_thumbnail_widget_");
    EXPECT_NE(grid->GetDataInfoByID(wanted), nullptr);
    auto *list = fixture.Child<CListSightTableView>("ptr_group_view_");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return list->currentIndex().data(RoleDataId).toInt() == wanted; }, kWaitMs));
}

// ---- every kind ------------------------------------------------------------------------

// The condition of the one search that serves `kind`, as the panel groups kinds.
teskplaycontroller::CCameraVideoSearchCondition ConditionOfKind(VideoDataType kind)
{
    const QVector<CSearchGroup> groups = GroupKindsIntoSearches({kind});
    EXPECT_EQ(groups.size(), 1);
    auto condition = Condition(groups.value(0).search_type);
    ApplySearchGroup(groups.value(0), condition);
    return condition;
}

// Pages that the panel searches for: the page only prepares, the search runs on the shared
// controller.
template<class Page>
int SearchSharedPage(PageFixture<Page> &fixture)
{
    QSignalSpy totals(&fixture.page, &CAbstractSearchWidget::SignalUpdateDataTotalNum);
    auto condition = ConditionOfKind(fixture.kind);
    fixture.page.ClearSearchResult(true);
    fixture.page.StartSearchVideo(condition);
    EXPECT_TRUE(fixture.Loading());
    EXPECT_TRUE(totals.isEmpty()) << "the page does not search on its own";
    EXPECT_TRUE(fixture.controller->SearchCameraFiles(condition, 0));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return !fixture.Loading() &&
                   fixture.template Child<QWidget>("ptr_sort_combox_")->isEnabled();
        },
        kWaitMs));
    return LastTotal(totals);
}

// Shows both presentations and checks each holds the rows.
template<class Page>
void CheckBothPresentations(PageFixture<Page> &fixture, const QString &name, int total)
{
    ASSERT_GT(total, 0) << qPrintable(name);
    auto *grid = fixture.template Child<CMultiPageWidget>("ptr_thumbnail_widget_");
    auto *list = fixture.template Child<CListSightTableView>("ptr_group_view_");
    QTest::mouseClick(fixture.template Child<QPushButton>("ptr_thumbnail_btn_"), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid->GetDataInfoByID(0) != nullptr; }, kWaitMs));
    if (qEnvironmentVariableIsSet("TVS_SCREENSHOT_DIR"))
        QTest::qWait(1500); // thumbnails arrive from the store's decoder
    TestSupport::SaveShot(&fixture.page, name + "-thumbnails.png");
    QTest::mouseClick(fixture.template Child<QPushButton>("ptr_list_btn_"), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return list->model()->rowCount() > 0; }, kWaitMs));
    TestSupport::SaveShot(&fixture.page, name + "-list.png");
    QTest::mouseClick(fixture.template Child<QPushButton>("ptr_thumbnail_btn_"), Qt::LeftButton);
}

TEST(SearchPages, EveryKindOfPageShowsItsRowsInBothPresentations)
{
    PanelsTest::EnglishTexts english;
    // In the client's look, for the screenshots.
    const QString previous_sheet = qApp->styleSheet();
    qApp->setStyleSheet(TeskResources::ClientStyleSheet());
    {
        PageFixture<CAllVideoSearchWidget> all(RegularVideo);
        CheckBothPresentations(all, "all", all.Search(ConditionOfKind(RegularVideo)));
        // The export button and the stored order share a key but not a text.
        if (english.IsLoaded()) {
            EXPECT_NE(all.Child<QPushButton>("ptr_download_button_")->text(),
                      all.Child<PlexaControl::CComboBox>("ptr_sort_combox_")->itemText(0));
        }
    }
    {
        PageFixture<CLockVideoSearchWidget> locked(LockVideo);
        CheckBothPresentations(locked, "locked", locked.Search(ConditionOfKind(LockVideo)));
    }
    {
        PageFixture<CTagVideoSearchWidget> manual(TagVideo);
        CheckBothPresentations(manual, "manual-tag", SearchSharedPage(manual));
    }
    {
        PageFixture<CPersonVehicleVideoSearchWidget> person(PersonDetectVideo);
        CheckBothPresentations(person, "person", SearchSharedPage(person));
    }
    qApp->setStyleSheet(previous_sheet);
}

// ---- presentation ------------------------------------------------------------------------

// Run by PresentationChosenForAKindIsRestoredByANewProcess in a child process.
TEST(SearchPagesChildProcess, PrintsThePresentationItShows)
{
    if (qEnvironmentVariableIsEmpty(kChildKindVariable))
        GTEST_SKIP() << "run by the presentation test";
    const auto kind = static_cast<VideoDataType>(qEnvironmentVariableIntValue(kChildKindVariable));
    CTagVideoSearchWidget page;
    CClipSearchWidgetInitParam init;
    page.InitWidgetParam(init);
    page.LoadWidget(std::make_shared<CVideoSearchController>(), kind, FilterVcaNone);
    auto *stacked = page.findChild<QStackedWidget *>("ptr_stacked_widget_");
    printf("shown:%s\n", qPrintable(stacked->currentWidget()->objectName()));
}

TEST(SearchPages, PresentationChosenForAKindIsRestoredByANewProcess)
{
    PageFixture<CTagVideoSearchWidget> manual(TagVideo);
    QTest::mouseClick(manual.Child<QPushButton>("ptr_list_btn_"), Qt::LeftButton);
    EXPECT_EQ(manual.Child<QStackedWidget>("ptr_stacked_widget_")->currentWidget(),
              manual.Child<QWidget>("ptr_list_page_"));

    auto shown_by_child = [](VideoDataType kind) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(kChildKindVariable, QString::number(kind));
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--gtest_filter=SearchPagesChildProcess.*"});
        EXPECT_TRUE(child.waitForFinished(kWaitMs));
        const QString out = QString::fromLocal8Bit(child.readAllStandardOutput());
        const int at = out.indexOf("shown:");
        return at < 0 ? QString() : out.mid(at + 6).section('\n', 0, 0).trimmed();
    };
    EXPECT_EQ(shown_by_child(TagVideo), "ptr_list_page_");
    // Other kinds keep their own choice.
    EXPECT_EQ(shown_by_child(EventAlarmVideo), "ptr_thumbnail_page_");

    QTest::mouseClick(manual.Child<QPushButton>("ptr_thumbnail_btn_"), Qt::LeftButton);
    EXPECT_EQ(shown_by_child(TagVideo), "ptr_thumbnail_page_");
}

} // namespace
