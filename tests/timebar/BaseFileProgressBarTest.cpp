#include "Screenshot.h"
#include "TimeBarTestSupport.h"

#include "timebar/FileTipBar.h"
#include "timebar/LevelPanel.h"
#include "timebar/TimeBarDelegate.h"
#include "timebar/TimeBarLoadingLabel.h"

#include "TestSupport.h"
#include "plexacontrol/IconTextPushButton.h"
#include "quorbase/Util.h"
#include "recordserver/RecordingServer.h"
#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QTranslator>

#include <random>

using namespace TeskVideoSearch;
using namespace TimeBarTest;

namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 86;
constexpr int kRow = 60; // below the labels, above the date label
constexpr int kWaitMs = 10000;
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlue = qRgb(33, 150, 243);

// Level 1 puts 72 seconds in a pixel and the centre (x = 600) at noon.
int64_t AtX(int x)
{
    return kNoon + (x - kWidth / 2) * 72;
}

class BaseFileProgressBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TeskResources::Register();
        parent_ = std::make_unique<QWidget>();
        parent_->resize(kWidth, 300);
        bar_ = new CClockedBar(parent_.get());
        bar_->setGeometry(0, 300 - kHeight, kWidth, kHeight);
        OrlPluginManager::COrlTimeZoneInfor utc;
        bar_->SetDeviceTimeZoneInfor(utc);
        bar_->SetCurrentTimeSliderLevel(CAnimationProgressBar::LevelOneDay);
        bar_->InitTip(parent_.get());
        parent_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(parent_.get()));
        bar_->SetPlayBackTime(kNoon);
    }
    void TearDown() override { parent_.reset(); }

    QImage Grab() { return bar_->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    CFileTipBar *Tip() { return parent_->findChild<CFileTipBar *>("d_ptr_->ptr_file_tip"); }
    QList<PlexaControl::CIconTextPushButton *> TipButtons()
    {
        QList<PlexaControl::CIconTextPushButton *> shown;
        for (auto *button : Tip()->findChildren<PlexaControl::CIconTextPushButton *>()) {
            if (!button->isHidden())
                shown.push_back(button);
        }
        return shown;
    }
    void Click(QPoint pos)
    {
        QTest::mousePress(bar_, Qt::LeftButton, {}, pos);
        QTest::mouseRelease(bar_, Qt::LeftButton, {}, pos);
    }

    // A bar beside the one under test, set up alike, to be given the same files in one list.
    std::unique_ptr<CClockedBar> Twin()
    {
        auto twin = std::make_unique<CClockedBar>(parent_.get());
        twin->setGeometry(bar_->geometry());
        OrlPluginManager::COrlTimeZoneInfor utc;
        twin->SetDeviceTimeZoneInfor(utc);
        twin->SetCurrentTimeSliderLevel(CAnimationProgressBar::LevelOneDay);
        twin->SetPlayBackTime(kNoon);
        return twin;
    }

    // The bar under test holds the same bands as `other`, in the same order.
    void ExpectSameBands(CClockedBar &other)
    {
        const auto bands = bar_->TimeBarDelegate()->TimeBars();
        const auto expected = other.TimeBarDelegate()->TimeBars();
        ASSERT_EQ(bands.size(), expected.size());
        for (int i = 0; i < bands.size(); ++i) {
            EXPECT_EQ(bands[i].dtStart, expected[i].dtStart) << i;
            EXPECT_EQ(bands[i].dtEnd, expected[i].dtEnd) << i;
            EXPECT_EQ(bands[i].iTimeType, expected[i].iTimeType) << i;
        }
    }

    std::unique_ptr<QWidget> parent_;
    CClockedBar *bar_ = nullptr;
};

// ---- bands on the image -------------------------------------------------------------------

TEST_F(BaseFileProgressBarTest, OverlappingFilesDrawOneBandOfEvenOpacity)
{
    bar_->AddTimeSliderFile({File("0-1", AtX(100), AtX(200)), File("0-2", AtX(150), AtX(250))});
    const QImage image = Grab();
    const QRgb single = image.pixel(120, kRow);
    EXPECT_NE(single, kWhite);
    EXPECT_NE(single, kBlue);
    EXPECT_EQ(image.pixel(175, kRow), single);
    EXPECT_EQ(image.pixel(225, kRow), single);
    EXPECT_EQ(image.pixel(99, kRow), kWhite);
    EXPECT_EQ(image.pixel(250, kRow), kWhite);
    EXPECT_EQ(image.pixel(120, 29), kWhite); // nothing in the header
}

TEST_F(BaseFileProgressBarTest, FilesShorterThanAPixelAreOnePixelWide)
{
    bar_->SetCurrentTimeSliderLevel(CAnimationProgressBar::LevelSevenDays);
    bar_->SetPlayBackTime(kNoon);
    TimeBarParam empty;
    empty.dtStart = empty.dtEnd = kNoon - 100000;
    empty.barColor = kBlue;
    TimeBarParam short_file = empty;
    short_file.dtStart = kNoon + 100000;
    short_file.dtEnd = kNoon + 100001;
    bar_->AppendTimeBar({empty, short_file});
    const QImage image = Grab();
    QList<int> columns;
    for (int x = 1; x < kWidth - 1; ++x) {
        if (image.pixel(x, kRow) != kWhite)
            columns.push_back(x);
    }
    ASSERT_EQ(columns.size(), 2);
    // 504 seconds per pixel at this level.
    EXPECT_NEAR(columns[0], 600 - 100000 / 504.0, 1);
    EXPECT_NEAR(columns[1], 600 + 100000 / 504.0, 1);
}

TEST_F(BaseFileProgressBarTest, SelectedBandIsOpaqueAndHiddenTypesAreNotDrawn)
{
    bar_->AddTimeSliderFile({File("0-1", AtX(100), AtX(200)), File("0-2", AtX(150), AtX(250))});
    bar_->SyncSelectFileToTimeBar("0-2");
    QImage image = Grab();
    EXPECT_EQ(image.pixel(200, kRow), kBlue);
    EXPECT_NE(image.pixel(120, kRow), kBlue);
    EXPECT_EQ(bar_->GetCurrentUTCTime(), kNoon); // inside the window: no scroll

    bar_->SetTimeBarVisible(0, false);
    EXPECT_FALSE(bar_->IsTimeBarVisible(0));
    EXPECT_FALSE(bar_->IsTimeBarVisible(7)); // not a type of the layer
    bar_->SetTimeBarVisible(7, true);
    EXPECT_FALSE(bar_->IsTimeBarVisible(7));
    image = Grab();
    EXPECT_EQ(image.pixel(120, kRow), kWhite);
    EXPECT_EQ(image.pixel(200, kRow), kBlue); // the selection is not a kind of record
    for (int type : bar_->TimeBarDelegate()->Types())
        bar_->SetTimeBarVisible(type, false);
    EXPECT_EQ(Grab().pixel(200, kRow), kWhite);
}

TEST_F(BaseFileProgressBarTest, NothingIsDrawnOutsideTheAllowedRange)
{
    bar_->SetSearchTimeRange(QDateTime::fromSecsSinceEpoch(AtX(550)),
                             QDateTime::fromSecsSinceEpoch(AtX(650)));
    bar_->AddTimeSliderFile({File("0-1", AtX(300), AtX(900))});
    const QImage image = Grab();
    EXPECT_EQ(image.pixel(540, kRow), kWhite);
    EXPECT_NE(image.pixel(560, kRow), kWhite);
    EXPECT_NE(image.pixel(640, kRow), kWhite);
    EXPECT_EQ(image.pixel(660, kRow), kWhite);
}

TEST_F(BaseFileProgressBarTest, AnEmptyFileInTheListShowsNothing)
{
    bar_->AddTimeSliderFile({File("0-1", AtX(100), AtX(200))});
    ASSERT_EQ(bar_->TimeBarDelegate()->TimeBars().size(), 1);
    bar_->AddTimeSliderFile({File("0-1", AtX(100), AtX(200)), nullptr, File("0-3", 1, 2)});
    EXPECT_TRUE(bar_->TimeBarDelegate()->TimeBars().isEmpty());
    EXPECT_EQ(Grab().pixel(120, kRow), kWhite);
}

TEST_F(BaseFileProgressBarTest, AFileLayerRemovedByTheHostComesBackOnUse)
{
    bar_->AddTimeSliderFile({File("0-1", AtX(100), AtX(200))});
    bar_->RemoveAllDelegate();
    EXPECT_TRUE(bar_->Delegate().isEmpty());
    EXPECT_EQ(Grab().pixel(120, kRow), kWhite);
    bar_->AddTimeSliderFile({File("0-1", AtX(100), AtX(200))});
    ASSERT_EQ(bar_->Delegate().size(), 1);
    EXPECT_EQ(bar_->Delegate().front(), bar_->TimeBarDelegate());
    EXPECT_NE(Grab().pixel(120, kRow), kWhite);
}

// ---- hover, click and selection -----------------------------------------------------------

TEST_F(BaseFileProgressBarTest, HoverListsTheFilesUnderThePointerAndClearsWhereNoneLie)
{
    bar_->AddTimeSliderFile({File("0-1", AtX(100), AtX(200)), File("0-2", AtX(150), AtX(250))});
    HoverMove(*bar_, {120, kRow});
    ASSERT_TRUE(Tip()->isVisible());
    ASSERT_EQ(TipButtons().size(), 1);
    EXPECT_TRUE(TipButtons().front()->text().endsWith("(file_0-1.mp4)"));
    EXPECT_EQ(bar_->TimeBarDelegate()->HoverBars().size(), 1);

    HoverMove(*bar_, {175, kRow});
    ASSERT_EQ(TipButtons().size(), 2);
    EXPECT_EQ(Tip()->height(), 2 * 30 + 2 * 8 + 16);
    // The tip sits above the bar in its parent.
    EXPECT_EQ(Tip()->y(), 300 - Tip()->height() - kHeight + 20);

    HoverMove(*bar_, {400, kRow});
    EXPECT_FALSE(Tip()->isVisible());
    EXPECT_TRUE(bar_->TimeBarDelegate()->HoverBars().isEmpty());

    HoverMove(*bar_, {120, kRow});
    ASSERT_EQ(bar_->TimeBarDelegate()->HoverBars().size(), 1);
    QSignalSpy left(bar_, &CAnimationProgressBar::SignalLeave);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(bar_, &leave);
    EXPECT_EQ(left.count(), 1);
    EXPECT_TRUE(bar_->TimeBarDelegate()->HoverBars().isEmpty());
}

TEST_F(BaseFileProgressBarTest, ClickOnTwoFilesSelectsBothAndTheTipPicksOne)
{
    bar_->AddTimeSliderFile({File("0-1", AtX(100), AtX(200)), File("0-2", AtX(150), AtX(250))});
    QSignalSpy selected(bar_, &CBaseFileProgressBar::SignalSelectFile);
    Click({175, kRow});
    EXPECT_EQ(bar_->TimeBarDelegate()->SelectedBars().size(), 2);
    EXPECT_EQ(selected.count(), 0);

    Click({225, kRow});
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.at(0).at(0).value<std::shared_ptr<TimeSliderFile>>()->GetFileIndex(), "0-2");

    HoverMove(*bar_, {175, kRow});
    ASSERT_EQ(TipButtons().size(), 2);
    QTest::mouseClick(TipButtons().front(), Qt::LeftButton);
    ASSERT_EQ(selected.count(), 2);
    EXPECT_EQ(selected.at(1).at(0).value<std::shared_ptr<TimeSliderFile>>()->GetFileIndex(), "0-1");
    EXPECT_FALSE(Tip()->isVisible());
    ASSERT_EQ(bar_->TimeBarDelegate()->SelectedBars().size(), 1);
    EXPECT_EQ(bar_->TimeBarDelegate()->SelectedBars().front().dtStart, AtX(100));
}

TEST_F(BaseFileProgressBarTest, SelectingAFilePartlyOutsideScrollsItsStartToTheLeftEdge)
{
    const int64_t begin = kNoon + 40000;
    bar_->AddTimeSliderFile({File("3-12", begin, begin + 10000)});
    bar_->SyncSelectFileToTimeBar("no-such-file");
    EXPECT_EQ(bar_->GetCurrentUTCTime(), kNoon);
    EXPECT_TRUE(bar_->TimeBarDelegate()->SelectedBars().isEmpty());

    bar_->SyncSelectFileToTimeBar("3-12");
    EXPECT_NEAR(bar_->GetSliderLeftUTCTime() / 1000.0, begin, 2);
    EXPECT_EQ(bar_->TimeBarDelegate()->SelectedBars().size(), 1);
}

TEST_F(BaseFileProgressBarTest, FindPlayFileByTimeToleratesHalfAScaleUnit)
{
    bar_->AddTimeSliderFile({File("0-1", 1000, 2000), File("0-2", 1500, 3000)});
    // A scale unit is 100 px, read as seconds: 50 s either side.
    EXPECT_EQ(bar_->FindPlayFileByTime(949).size(), 0);
    EXPECT_EQ(bar_->FindPlayFileByTime(950).size(), 1);
    EXPECT_EQ(bar_->FindPlayFileByTime(1700).size(), 2);
    EXPECT_EQ(bar_->FindPlayFileByTime(3050).size(), 1);
    EXPECT_EQ(bar_->FindPlayFileByTime(3051).size(), 0);

    // A long recording that began before many short ones is still found between them.
    bar_->AddTimeSliderFile({File("1-1", 100, 100000), File("1-2", 5000, 5100),
                             File("1-3", 6000, 6100), File("1-2", 5000, 5100)});
    const auto found = bar_->FindPlayFileByTime(50000);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found.front()->GetFileIndex(), "1-1");
    EXPECT_EQ(bar_->FindPlayFileByTime(5050).size(), 2); // the repeated key counts once
}

// A load in slices that mostly go forward in time, as the pages hand them over, of several kinds
// with overlaps and repeats: the bar holds and paints exactly what one list would give it.
TEST_F(BaseFileProgressBarTest, SlicesInTimeOrderPaintAsOneList)
{
    std::mt19937 rng(7);
    const TimeSliderFileType kinds[] = {SliderRegular, SliderAlarm, SliderMotion, SliderTag};
    std::vector<std::shared_ptr<TimeSliderFile>> files;
    int64_t begin = kNoon - 11 * 3600;
    for (int i = 0; i < 600; ++i) {
        begin += static_cast<int64_t>(rng() % 150);
        // Now and then a file from further back, as another camera's rows would bring.
        const int64_t start = rng() % 10 == 0 ? begin - static_cast<int64_t>(rng() % 3000) : begin;
        const std::string index = std::to_string(i % 580) + "-" + std::to_string(i % 580);
        files.push_back(std::make_shared<TimeSliderFile>(
            index, "f", start, start + 30 + static_cast<int64_t>(rng() % 900), kinds[rng() % 4],
            "c"));
    }
    const auto twin = Twin();
    CClockedBar &whole = *twin;
    whole.AddTimeSliderFile(files);

    bar_->AddTimeSliderFile({});
    for (size_t from = 0; from < files.size();) {
        const size_t to = std::min(files.size(), from + 1 + rng() % 80);
        bar_->AppendTimeSliderFiles({files.begin() + static_cast<std::ptrdiff_t>(from),
                                     files.begin() + static_cast<std::ptrdiff_t>(to)});
        from = to;
    }
    ExpectSameBands(whole);
    for (int64_t t = kNoon - 11 * 3600; t < kNoon + 14 * 3600; t += 997)
        ASSERT_EQ(bar_->FindPlayFileByTime(t).size(), whole.FindPlayFileByTime(t).size()) << t;
    // Close up, where painting starts from the first band in view and stops after the last.
    for (CClockedBar *each : {static_cast<CClockedBar *>(bar_), &whole})
        each->SetCurrentTimeSliderLevel(CAnimationProgressBar::LevelTwoHours);
    for (int64_t t = kNoon - 10 * 3600; t < kNoon + 13 * 3600; t += 1800) {
        bar_->SetPlayBackTime(t);
        whole.SetPlayBackTime(t);
        ASSERT_EQ(Grab(), whole.grab().toImage().convertToFormat(QImage::Format_RGB32)) << t;
    }
}

// Files handed over in several lists end as they would in one: bands in order of begin, equal
// begins in the order given, a repeated key found once, whichever list held its first copy.
TEST_F(BaseFileProgressBarTest, FilesAddedInSeveralListsEndAsInOne)
{
    const std::vector<std::shared_ptr<TimeSliderFile>> files = {
        File("0-0", 5000, 9000),   File("1-1", 100, 100000), File("2-2", 5000, 5100),
        File("3-3", 300, 400),     File("2-2", 5000, 5100),  File("4-4", 5000, 5100),
        File("5-5", 20000, 20500), File("6-6", 300, 350),    File("7-7", 99000, 99999)};
    // Its twin, to compare with: the tolerance of a look-up follows the bar's width.
    const auto twin = Twin();
    CClockedBar &whole = *twin;
    whole.AddTimeSliderFile(files);
    for (const std::vector<size_t> &cuts :
         std::vector<std::vector<size_t>>{{1, 2, 3, 4, 5, 6, 7, 8}, {3, 5}, {8}}) {
        bar_->AddTimeSliderFile({});
        size_t from = 0;
        for (size_t cut : cuts) {
            bar_->AppendTimeSliderFiles({files.begin() + from, files.begin() + cut});
            from = cut;
        }
        bar_->AppendTimeSliderFiles({files.begin() + from, files.end()});
        ExpectSameBands(whole);
        for (int64_t t : {0, 320, 5050, 7000, 20200, 50000, 99500, 200000}) {
            QStringList found;
            for (const auto &file : bar_->FindPlayFileByTime(t))
                found << QString::fromStdString(file->GetFileIndex());
            QStringList wanted;
            for (const auto &file : whole.FindPlayFileByTime(t))
                wanted << QString::fromStdString(file->GetFileIndex());
            EXPECT_EQ(found, wanted) << t;
        }
        EXPECT_EQ(bar_->FindPlayFileByTime(5050).size(), 4); // 2-2 once
    }
}

TEST_F(BaseFileProgressBarTest, AListWithAnEmptyFileIsRefusedWholeAndClearingForgetsTheFiles)
{
    bar_->AddTimeSliderFile({File("0-1", AtX(100), AtX(200))});
    bar_->AppendTimeSliderFiles({File("0-2", AtX(300), AtX(400)), nullptr});
    EXPECT_EQ(bar_->TimeBarDelegate()->TimeBars().size(), 1);
    EXPECT_TRUE(bar_->FindPlayFileByTime(AtX(350)).isEmpty());
    EXPECT_EQ(bar_->FindPlayFileByTime(AtX(150)).size(), 1);

    // A hover over the cleared bar finds nothing, and later files are not joined by old ones.
    bar_->ClearData(true, false);
    EXPECT_TRUE(bar_->FindPlayFileByTime(AtX(150)).isEmpty());
    bar_->AppendTimeSliderFiles({File("0-2", AtX(300), AtX(400))});
    EXPECT_TRUE(bar_->FindPlayFileByTime(AtX(150)).isEmpty());
    EXPECT_EQ(bar_->FindPlayFileByTime(AtX(350)).size(), 1);
    EXPECT_EQ(bar_->TimeBarDelegate()->TimeBars().size(), 1);
}

// ---- panel, loading, texts ----------------------------------------------------------------

TEST_F(BaseFileProgressBarTest, LevelPanelFollowsTheLevelAndZooms)
{
    auto *up = bar_->findChild<QPushButton *>("ptr_up_button");
    auto *down = bar_->findChild<QPushButton *>("ptr_down_button");
    auto *label = bar_->findChild<QLabel *>("ptr_label_");
    ASSERT_TRUE(up && down && label);
    EXPECT_EQ(label->text(), "24h");
    EXPECT_TRUE(up->isEnabled());
    EXPECT_TRUE(down->isEnabled());

    QSignalSpy level(bar_, &CAnimationProgressBar::SignalLevelChanged);
    QTest::mouseClick(down, Qt::LeftButton);
    ASSERT_TRUE(level.wait(kWaitMs));
    EXPECT_EQ(bar_->GetCurrentLevel(), CAnimationProgressBar::LevelSevenDays);
    EXPECT_EQ(label->text(), "7d");
    EXPECT_FALSE(down->isEnabled());

    bar_->SetLevelRange(CAnimationProgressBar::LevelSevenDays,
                        CAnimationProgressBar::LevelSixHours);
    bar_->SetCurrentTimeSliderLevel(CAnimationProgressBar::LevelSixHours);
    EXPECT_EQ(label->text(), "6h");
    EXPECT_FALSE(up->isEnabled());
    EXPECT_TRUE(down->isEnabled());
}

TEST_F(BaseFileProgressBarTest, ShownRangeAndDateAreDeviceLocal)
{
    OrlPluginManager::COrlTimeZoneInfor zone;
    zone.utc_bias = 8 * 3600;
    bar_->SetDeviceTimeZoneInfor(zone);
    bar_->SetShowTimeRange(QDateTime::fromSecsSinceEpoch(kNoon),
                           QDateTime::fromSecsSinceEpoch(kNoon + 86399));
    auto *range = bar_->findChild<QLabel *>("ptr_show_range_label_");
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(range->text(), "2026/06/01 20:00:00 ~ 2026/06/02 19:59:59");
    bar_->SetPlayBackTime(kNoon + 14400); // midnight in the device's zone
    QSignalSpy dragged(bar_, &CAnimationProgressBar::SignalDragAtTime);
    QTest::mousePress(bar_, Qt::LeftButton, {}, {600, kRow});
    DragMove(*bar_, {601, kRow});
    ASSERT_EQ(dragged.count(), 1);
    QTest::mouseRelease(bar_, Qt::LeftButton, {}, {601, kRow});
    EXPECT_EQ(bar_->findChild<QLabel *>("ptr_date_label_")->text(), "2026/06/01");
}

// Written as a host writes against the documented signatures, with the client's names.
TEST_F(BaseFileProgressBarTest, HostSignaturesWithTheClientsIntegerNames)
{
    const std::function<__int64(__int64)> to_device = [](__int64 t) {
        return t + 3600;
    };
    const CTimeBarParam band =
        CBaseFileProgressBar::NewATimeBarParam(File("0-1", 100, 200), to_device, false);
    EXPECT_EQ(band.GetVal_dtStart(), 3700);
    EXPECT_EQ(band.GetVal_dtEnd(), 3800);
    EXPECT_EQ(band.GetVal_barColor(), QColor(kBlue));
    EXPECT_EQ(CBaseFileProgressBar::NewATimeBarParam(File("0-1", 100, 200), {}).GetVal_dtEnd(),
              200);
}

struct IsoCase
{
    const char *text;
    int64_t expected;
};

class IsoTimeTest : public BaseFileProgressBarTest, public ::testing::WithParamInterface<IsoCase>
{};

TEST_P(IsoTimeTest, ReadsTheOffsetForm)
{
    EXPECT_EQ(bar_->ISOTimeToTimeT(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, IsoTimeTest,
                         ::testing::Values(IsoCase{"2026-06-01T12:00:00Z", kNoon},
                                           IsoCase{"2026-06-01T20:00:00+08:00", kNoon},
                                           IsoCase{"2026-06-01T07:00:00-5:00", kNoon},
                                           IsoCase{"2026-06-01T06:30:00-05:30", kNoon},
                                           IsoCase{"not a time", -1}, IsoCase{"", -1}));

// ---- a day of the embedded store, at every level ------------------------------------------

TEST_F(BaseFileProgressBarTest, ADayOfStoreRecordingsAtEveryLevel)
{
    teskrecordserver::GeneratorOptions options;
    options.seed = 13;
    options.sites = 1;
    options.cameras = 3;
    options.days = 1;
    options.anchor = kNoon + 43200;
    options.clip_fps = 2;
    options.jpeg_capture_hours = 0;
    teskrecordserver::CRecordingServer store;
    const auto status =
        store.Open((TestSupport::ScratchDir() + "/timebar-store").toStdString(), options);
    ASSERT_TRUE(status.IsOk()) << status.Message();
    std::vector<std::shared_ptr<TimeSliderFile>> files;
    for (const auto &camera : store.Catalogue().Cameras()) {
        for (const auto &row : store.Catalogue().Recordings(camera.site_id, camera.id,
                                                            kNoon - 43200, kNoon + 43200)) {
            files.push_back(std::make_shared<TimeSliderFile>(std::to_string(files.size()) + "-0",
                                                             row.file_name, row.begin, row.end,
                                                             SliderRegular, camera.id));
        }
    }
    ASSERT_GT(files.size(), 10u);

    bar_->SetShowTimeRange(QDateTime::fromSecsSinceEpoch(kNoon - 43200),
                           QDateTime::fromSecsSinceEpoch(kNoon + 43200));
    bar_->AddTimeSliderFile(files);
    bar_->SyncSelectFileToTimeBar(files[files.size() / 2]->GetFileIndex());
    QTranslator english;
    if (english.load("TeskVideoSearch_en", TVS_QM_DIR))
        QCoreApplication::installTranslator(&english);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    for (int level = CAnimationProgressBar::LevelSevenDays;
         level <= CAnimationProgressBar::LevelOneHour; ++level) {
        bar_->SetCurrentTimeSliderLevel(static_cast<CAnimationProgressBar::TotalValue>(level));
        bar_->SetPlayBackTime(static_cast<unsigned>(files[files.size() / 2]->GetFileBegTime()));
        const QImage image = Grab();
        int banded = 0;
        for (int x = 1; x < kWidth - 1; ++x)
            banded += image.pixel(x, kRow) != kWhite;
        EXPECT_GT(banded, 0) << "level " << level;
        TestSupport::SaveShot(bar_, QString("timebar-level-%1.png").arg(level));
    }
    HoverMove(*bar_, {kWidth / 2 + 5, kRow});
    TestSupport::SaveShot(parent_.get(), "timebar-hover-tip.png");
    // The loading spinner over the bands, centred.
    bar_->SetLoadingState(true);
    auto *spinner = bar_->findChild<CTimeBarLoadingLabel *>();
    ASSERT_NE(spinner, nullptr);
    EXPECT_TRUE(spinner->isVisible() && spinner->IsLoading());
    EXPECT_EQ(spinner->geometry().center().x(), kWidth / 2 - 1);
    TestSupport::SaveShot(bar_, "timebar-loading.png");
    bar_->SetLoadingState(false);
    EXPECT_FALSE(spinner->isVisible() || spinner->IsLoading());
    QCoreApplication::removeTranslator(&english);
}

} // namespace
