#include "PlayStore.h"
#include "Screenshot.h"
#include "WaitFor.h"

#include "playback/ClipPlaybackBaseInfoWidget.h"
#include "playback/ClipPlaybackTitle.h"
#include "playback/ClipPlaybackWidget.h"
#include "playback/PlaybackBottomWidget.h"
#include "playback/VideoDetailDialog.h"

#include "extension/VideoSearchExpandInterface.h"
#include "playwindow/PlaybackWindow.h"
#include "recordserver/TimeStrip.h"
#include "uidatacontroller/MessageTipManager.h"

#include "ui_ClipPlaybackBaseInfoWidget.h"
#include "ui_ClipPlaybackTitle.h"
#include "ui_PlaybackBottomWidget.h"
#include "ui_VideoDetailDialog.h"

#include <QCheckBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QTranslator>

using namespace TeskVideoSearch;

namespace {

constexpr int kWaitMs = 20000;

// Records what the host is told and answers its capability questions as set.
class RecordingExpand : public CVideoSearchExpandInterface
{
public:
    QWidget *GetMapWidget() override { return map_; }
    bool IsVideaSearchCameraAddMap(const ResourceData::ResourceType &,
                                   const unsigned int &camera_number) override
    {
        asked_numbers_ << camera_number;
        return wants_map_;
    }
    bool LoadMapInfo(const QString &json) override
    {
        map_json_ << json;
        return true;
    }
    bool SendTrackInfo(const QString &json) override
    {
        track_json_ << json;
        return true;
    }
    void ClearData() override { ++cleared_; }

    QWidget *map_ = nullptr;
    bool wants_map_ = true;
    QList<unsigned int> asked_numbers_;
    QStringList map_json_;
    QStringList track_json_;
    int cleared_ = 0;
};

// The operator's answer to the save question, and how often it was asked.
class AnsweringPlaybackWidget : public CClipPlaybackWidget
{
public:
    bool answer_ = true;
    int asked_ = 0;

protected:
    bool CheckSaveModifiedTagInfo() override
    {
        ++asked_;
        return answer_;
    }
};

class ClipPlaybackWidgetTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        static QTranslator translator;
        if (translator.load("TeskVideoSearch_en",
                            QCoreApplication::applicationDirPath() + "/../translations"))
            QCoreApplication::installTranslator(&translator);
    }

    void SetUp() override
    {
        PlayTest::InstallStore();
        rec_ = PlayTest::LongRecording();
        ASSERT_TRUE(rec_.camera);
        host_.resize(520, 900);
        widget_ = new AnsweringPlaybackWidget;
        widget_->setParent(&host_);
        widget_->resize(520, 900);
        host_.show();
    }

    CClipPlaybackParam Param(VideoDataType kind, int64_t begin, int64_t end, int id = 2,
                             int total = 10)
    {
        CClipPlaybackParam param;
        param.SetVal_ptr_camera_for_play(rec_.camera);
        param.SetVal_video_type(kind);
        param.SetVal_current_data_id(id);
        param.SetVal_total_num(total);
        std::shared_ptr<teskplaycontroller::CPlaybackFile> file;
        if (kind == EventAlarmVideo || kind == TagVideo || kind == OtherVideo) {
            auto label = std::make_shared<teskplaycontroller::CLabelFile>(begin, end, "tag");
            label->SetLabelID("L-17");
            label->SetLabelName("Door opened");
            label->SetLabelDesc("Front door");
            label->SetRcordLabelType(101);
            label->SetLabelColor("#e0a030");
            file = label;
        } else {
            file = std::make_shared<teskplaycontroller::CDeviceFile>(begin, end, "file");
        }
        param.SetVal_playback_files({file});
        return param;
    }

    void Play(CClipPlaybackParam param) { widget_->SetPlaybackParam(param); }

    QCheckBox *Continuous() { return widget_->GetBottomWidget()->Form()->ptr_order_checkbox_; }

    PlayTest::Recording rec_;
    QWidget host_;
    AnsweringPlaybackWidget *widget_ = nullptr;
};

teskplaywindow::CPlaybackEvent Event(int state)
{
    teskplaywindow::CPlaybackEvent event;
    event.SetVal_state(state);
    return event;
}

TEST_F(ClipPlaybackWidgetTest, CloseSignalFollowsTheDoNotSendFlagAndClearsIt)
{
    struct Case
    {
        bool flag;
        int emitted;
    };
    for (const Case c : {Case{true, 0}, Case{false, 1}}) {
        Play(Param(RegularVideo, rec_.begin, rec_.begin + 30));
        QSignalSpy closed(widget_, &CClipPlaybackWidget::SignalClosePlayback);
        widget_->setProperty("DoNotSendCloseSignal", c.flag);
        widget_->ClosePlaybackWidget(false);
        EXPECT_EQ(closed.size(), c.emitted) << c.flag;
        EXPECT_FALSE(widget_->property("DoNotSendCloseSignal").toBool());
        EXPECT_FALSE(widget_->isVisible());
        EXPECT_FALSE(widget_->GetPlayWindow()->IsPlaying());
    }
}

TEST_F(ClipPlaybackWidgetTest, ContinuousPlayAsksForTheNextResultOnlyWhenOnAndNotAfterTheLast)
{
    struct Case
    {
        bool continuous;
        int state;
        int id;
        int total;
        int expected_next; // -1: nothing asked
    };
    const Case cases[] = {{false, teskplaywindow::PlaybackEnded, 2, 10, -1},
                          {true, teskplaywindow::PlaybackEnded, 2, 10, 3},
                          {true, teskplaywindow::PlaybackEndedNoData, 4, 10, 5},
                          {true, teskplaywindow::PlaybackEndedByRange, 0, 10, 1},
                          {true, teskplaywindow::PlaybackStarted, 2, 10, -1},
                          {true, teskplaywindow::PlaybackEnded, 9, 10, -1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.state * 100 + c.id);
        Play(Param(RegularVideo, rec_.begin, rec_.begin + 30, c.id, c.total));
        if (Continuous()->isChecked() != c.continuous)
            QTest::mouseClick(Continuous(), Qt::LeftButton, {},
                              QPoint(4, Continuous()->height() / 2));
        ASSERT_EQ(widget_->IsCheckedAutoPlay(), c.continuous);
        QSignalSpy asked(widget_, &CClipPlaybackWidget::SignalPlaybackCustomData);
        widget_->OnPlaybackEvent(Event(c.state));
        if (c.expected_next < 0) {
            EXPECT_EQ(asked.size(), 0);
        } else {
            ASSERT_EQ(asked.size(), 1);
            EXPECT_EQ(asked.first().at(0).toInt(), c.expected_next);
            EXPECT_FALSE(asked.first().at(1).toBool());
        }
    }
}

TEST_F(ClipPlaybackWidgetTest, TheEndOfARealRecordingMovesOnWhenPlayingContinuously)
{
    widget_->GetBottomWidget()->Form()->ptr_order_checkbox_->setChecked(true);
    QSignalSpy asked(widget_, &CClipPlaybackWidget::SignalPlaybackCustomData);
    Play(Param(RegularVideo, rec_.begin + 40, rec_.begin + 41, 4, 10));
    ASSERT_TRUE(asked.wait(kWaitMs));
    EXPECT_EQ(asked.first().at(0).toInt(), 5);
}

TEST_F(ClipPlaybackWidgetTest, APlayedResultShowsTheFrameOfItsTime)
{
    auto param = Param(RegularVideo, rec_.begin, rec_.end);
    param.SetVal_specify_play_time(rec_.begin + 33);
    Play(param);
    auto *window = widget_->GetPlayWindow();
    ASSERT_TRUE(window);
    QSignalSpy shown(window, &teskplaywindow::CPlaybackWindow::SignalFrameShown);
    TVS_WAIT_TRUE(window->GetCurrentFrameTimeMs() >= 0, kWaitMs);
    window->Pause();
    int64_t second = -1;
    ASSERT_TRUE(teskrecordserver::ReadTimeStrip(window->GetCurrentFrame(), second));
    EXPECT_EQ(second, window->GetCurrentFrameTimeMs() / 1000);
    EXPECT_GE(second, rec_.begin + 33);
    EXPECT_EQ(window->GetTimeText(), teskplaywindow::TeskTimeConvert::GetDateTimeByUTCtime(
                                         second, 0, rec_.camera->GetResourceKey())
                                         .toString("yyyy-MM-dd hh:mm:ss"));
    TestSupport::SaveShot(widget_, "play-clip-widget.png");
}

TEST_F(ClipPlaybackWidgetTest, APlayTimeAfterTheFilesEndsPlaybackAtOnce)
{
    Continuous()->setChecked(true);
    auto param = Param(RegularVideo, rec_.begin, rec_.begin + 30, 1, 5);
    param.SetVal_specify_play_time(rec_.begin + 30);
    QSignalSpy asked(widget_, &CClipPlaybackWidget::SignalPlaybackCustomData);
    Play(param);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked.first().at(0).toInt(), 2);
    EXPECT_FALSE(widget_->GetPlayWindow()->IsPlaying());
}

TEST_F(ClipPlaybackWidgetTest, PreviousAndNextStepThroughTheResults)
{
    Play(Param(RegularVideo, rec_.begin, rec_.begin + 30, 2, 10));
    auto *form = widget_->GetBottomWidget()->Form();
    EXPECT_EQ(form->ptr_molecule_label_->text(), "3");
    EXPECT_EQ(form->ptr_denominator_label_->text(), "10");
    QSignalSpy asked(widget_, &CClipPlaybackWidget::SignalPlaybackCustomData);
    QTest::mouseClick(form->ptr_previous_button_, Qt::LeftButton);
    QTest::mouseClick(form->ptr_next_button_, Qt::LeftButton);
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked.at(0), (QList<QVariant>{1, true}));
    EXPECT_EQ(asked.at(1), (QList<QVariant>{3, true}));
    widget_->SetPreviosuAndNextButton(false, true);
    EXPECT_FALSE(form->ptr_previous_button_->isEnabled());
    EXPECT_TRUE(form->ptr_next_button_->isEnabled());
}

TEST_F(ClipPlaybackWidgetTest, TheMapTabExistsOnlyWithAHostMap)
{
    QWidget map;
    struct Case
    {
        bool has_expand;
        bool has_map;
        bool wants;
        int tabs;
    };
    for (const Case c : {Case{false, true, true, 1}, Case{true, false, true, 1},
                         Case{true, true, false, 1}, Case{true, true, true, 2}}) {
        SCOPED_TRACE(c.has_expand * 100 + c.has_map * 10 + c.wants);
        AnsweringPlaybackWidget widget;
        RecordingExpand expand;
        expand.map_ = c.has_map ? &map : nullptr;
        expand.wants_map_ = c.wants;
        widget.InitWidget(c.has_expand ? &expand : nullptr, &host_);
        auto param = Param(RegularVideo, rec_.begin, rec_.begin + 30);
        widget.SetPlaybackParam(param);
        EXPECT_EQ(widget.GetTabCount(), c.tabs);
        map.setParent(nullptr);
    }
}

TEST_F(ClipPlaybackWidgetTest, ChoosingTheMapTabLoadsTheCameraOnceAndBodyCamerasSendTracks)
{
    QWidget *map = new QWidget;
    RecordingExpand expand;
    expand.map_ = map;
    widget_->InitWidget(&expand, &host_);
    teskplaycontroller::CCameraElement element;
    element.SetVal_camera_id(rec_.camera->GetCameraID());
    element.SetVal_site_id(rec_.camera->GetSiteID());
    element.SetVal_camera_name(rec_.camera->GetCameraName());
    element.SetVal_element_type(CClipPlaybackWidget::kBodyCameraType);
    auto param = Param(RegularVideo, rec_.begin, rec_.end);
    param.SetVal_ptr_camera_for_play(std::make_shared<teskplaycontroller::CCameraForPlay>(element));
    Play(param);
    ASSERT_EQ(widget_->GetTabCount(), 2);
    auto *tabs = widget_->findChild<QTabBar *>("ptr_tab_bar_");
    ASSERT_TRUE(tabs);
    tabs->setCurrentIndex(1);
    tabs->setCurrentIndex(0);
    tabs->setCurrentIndex(1);
    ASSERT_EQ(expand.map_json_.size(), 1);
    const auto loaded = QJsonDocument::fromJson(expand.map_json_.first().toUtf8()).object();
    EXPECT_EQ(loaded.value("CamElementID").toString(),
              QString::fromStdString(rec_.camera->GetCameraID()));
    EXPECT_TRUE(loaded.value("IsBodyCam").toBool());

    TVS_WAIT_TRUE(!expand.track_json_.isEmpty(), kWaitMs);
    const auto track = QJsonDocument::fromJson(expand.track_json_.first().toUtf8()).object();
    EXPECT_EQ(track.keys(), (QStringList{"isNeedLink", "latitude", "latitude_hemiphere",
                                         "longitude", "longitude_hemiphere", "strCurrTime"}));
    EXPECT_GT(track.value("longitude").toDouble(), 0.0);
    EXPECT_FALSE(track.value("strCurrTime").toString().isEmpty());
}

TEST_F(ClipPlaybackWidgetTest, OrdinaryCamerasSendNoTrack)
{
    RecordingExpand expand;
    widget_->InitWidget(&expand, &host_);
    Play(Param(RegularVideo, rec_.begin, rec_.end));
    auto *window = widget_->GetPlayWindow();
    QSignalSpy shown(window, &teskplaywindow::CPlaybackWindow::SignalFrameShown);
    TVS_WAIT_TRUE(shown.size() >= 12, kWaitMs);
    EXPECT_TRUE(expand.track_json_.isEmpty());
}

TEST_F(ClipPlaybackWidgetTest, AnEditedTagIsSavedFromTheInformationPage)
{
    Play(Param(TagVideo, rec_.begin, rec_.begin + 30, 3, 8));
    auto *info = widget_->GetBaseInfoWidget()->Form();
    EXPECT_TRUE(info->ptr_tag_widget_->isVisibleTo(widget_->GetBaseInfoWidget()));
    EXPECT_EQ(info->ptr_tag_name_edit_->text(), "Door opened");
    EXPECT_FALSE(widget_->IsModifiedTagInfo());
    auto *save = widget_->GetBottomWidget()->Form()->ptr_save_btn_;
    EXPECT_TRUE(save->isVisibleTo(widget_->GetBottomWidget()));
    QSignalSpy modify(widget_, &CClipPlaybackWidget::SignalModifyTagInfo);
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(modify.size(), 0);
    // Nothing to save: the operator is told so.
    TVS_WAIT_TRUE(
        !PlexaControl::CUiSingleton<tesk_ui_data_controller::CMessageTipManager>::Instance()
             .OpenTips()
             .isEmpty(),
        kWaitMs);

    info->ptr_tag_name_edit_->selectAll();
    QTest::keyClicks(info->ptr_tag_name_edit_, "Back door");
    EXPECT_TRUE(widget_->IsModifiedTagInfo());
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(modify.size(), 1);
    QPair<teskplaycontroller::COperatLabelParam, QPair<VideoDataType, int>> record;
    widget_->GetModifyTagParam(record);
    EXPECT_EQ(record.second, qMakePair(TagVideo, 3));
    EXPECT_EQ(record.first.GetVal_label_id(), "L-17");
    EXPECT_EQ(record.first.GetVal_label_name(), "Back door");
    EXPECT_EQ(record.first.GetVal_begin_time(), rec_.begin);
    EXPECT_EQ(record.first.GetVal_end_time(), rec_.begin + 30);
    EXPECT_EQ(record.first.GetVal_camera_id(), rec_.camera->GetCameraID());

    // Switching results with the edit pending asks first; a yes saves.
    for (const bool answer : {false, true}) {
        info->ptr_tag_name_edit_->setText("Side door");
        widget_->answer_ = answer;
        modify.clear();
        Play(Param(TagVideo, rec_.begin, rec_.begin + 30, 4, 8));
        EXPECT_EQ(modify.size(), answer ? 1 : 0);
    }
    EXPECT_EQ(widget_->asked_, 2);
}

TEST_F(ClipPlaybackWidgetTest, MovingAMarkOnTheSliderChangesTheTagRange)
{
    Play(Param(TagVideo, rec_.begin, rec_.begin + 60));
    auto *bar = widget_->GetPlayWindow()->GetProgressBar();
    ASSERT_TRUE(bar->IsSeperatorDelegateVisible());
    const int from = bar->XOfTime(rec_.begin);
    const int to = bar->XOfTime(rec_.begin + 20);
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(from, bar->height() / 2));
    QMouseEvent move(QEvent::MouseMove, QPoint(to, bar->height() / 2), Qt::LeftButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(bar, &move);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(to, bar->height() / 2));
    const int64_t mark = bar->GetSeperatorDelegateTimet().first;
    EXPECT_GT(mark, rec_.begin);
    EXPECT_TRUE(widget_->IsModifiedTagInfo());
    EXPECT_EQ(widget_->GetBaseInfoWidget()->Form()->ptr_tag_time_edit_->dateTime(),
              teskplaywindow::TeskTimeConvert::GetDateTimeByUTCtime(mark, 0,
                                                                    rec_.camera->GetResourceKey()));
}

TEST_F(ClipPlaybackWidgetTest, EditingTheTagTimeNarrowsThePlayWindowsSlider)
{
    Play(Param(TagVideo, rec_.begin, rec_.begin + 60));
    auto *info = widget_->GetBaseInfoWidget()->Form();
    const auto key = rec_.camera->GetResourceKey();
    info->ptr_tag_time_edit_->setDateTime(
        teskplaywindow::TeskTimeConvert::GetDateTimeByUTCtime(rec_.begin + 10, 0, key));
    EXPECT_EQ(widget_->GetPlayWindow()->GetTimeSliderTimeRange(),
              qMakePair(rec_.begin + 10, rec_.begin + 60));
    // An end before the start is not a range.
    info->ptr_tag_end_time_edit_->setDateTime(
        teskplaywindow::TeskTimeConvert::GetDateTimeByUTCtime(rec_.begin + 5, 0, key));
    EXPECT_EQ(widget_->GetPlayWindow()->GetTimeSliderTimeRange(),
              qMakePair(rec_.begin + 10, rec_.begin + 60));
}

TEST_F(ClipPlaybackWidgetTest, DeleteAndUnlockFollowTheKindAndThePageControlFlag)
{
    struct Case
    {
        VideoDataType kind;
        bool unlock;
    };
    for (const Case c : {Case{TagVideo, false}, Case{LockVideo, true}, Case{RegularVideo, false}}) {
        SCOPED_TRACE(c.kind);
        Play(Param(c.kind, rec_.begin, rec_.begin + 30));
        auto *title = widget_->GetTitleWidget()->Form();
        auto *bottom = widget_->GetBottomWidget()->Form();
        EXPECT_EQ(title->ptr_unlock_btn_->isVisibleTo(widget_), c.unlock);
        EXPECT_EQ(title->ptr_delete_btn_->isVisibleTo(widget_), !c.unlock);
        EXPECT_EQ(bottom->ptr_unlock_btn_->isVisibleTo(widget_), c.unlock);
        QSignalSpy deleted(widget_, &CClipPlaybackWidget::SignalDeleteCurrentFile);
        QSignalSpy unlocked(widget_, &CClipPlaybackWidget::SignalUnlockCurrentFile);
        QTest::mouseClick(c.unlock ? title->ptr_unlock_btn_ : title->ptr_delete_btn_,
                          Qt::LeftButton);
        EXPECT_EQ(unlocked.size(), c.unlock ? 1 : 0);
        EXPECT_EQ(deleted.size(), c.unlock ? 0 : 1);
    }
    widget_->setProperty("PageCtrlDisabled", true);
    widget_->ClosePlaybackWidget(false);
    EXPECT_FALSE(widget_->GetBottomWidget()->isEnabled());
    EXPECT_FALSE(widget_->GetTitleWidget()->Form()->ptr_aux_btn_->isEnabled());
    EXPECT_FALSE(widget_->property("PageCtrlDisabled").toBool());
}

TEST_F(ClipPlaybackWidgetTest, TheAreaMovesToTheAuxiliaryScreenAndBack)
{
    Play(Param(RegularVideo, rec_.begin, rec_.begin + 30));
    auto *window = widget_->GetPlayWindow();
    QTest::mouseClick(widget_->GetTitleWidget()->Form()->ptr_aux_btn_, Qt::LeftButton);
    auto *dialog = widget_->GetDetailDialog();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(widget_->isVisible());
    EXPECT_TRUE(widget_->property("PopDetailWidget").toBool());
    EXPECT_TRUE(dialog->isAncestorOf(window));
    EXPECT_FALSE(dialog->Form()->ptr_video_detail_min_btn_->isVisible());
    EXPECT_TRUE(window->isVisible());
    TVS_WAIT_TRUE(window->height() > 200, kWaitMs);
    TVS_WAIT_TRUE(window->GetCurrentFrameTimeMs() >= 0, kWaitMs);
    TestSupport::SaveShot(dialog, "play-detail-dialog.png");

    QTest::mouseClick(dialog->Form()->ptr_video_detail_close_btn_, Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(widget_->isVisible());
    EXPECT_TRUE(widget_->isAncestorOf(window));
    EXPECT_TRUE(widget_->isAncestorOf(widget_->GetBottomWidget()));
    EXPECT_FALSE(widget_->property("PopDetailWidget").toBool());
    EXPECT_TRUE(widget_->property("AutoShowWidget").toBool());
}

TEST_F(ClipPlaybackWidgetTest, FullScreenGoesThroughThePlayWindowAndIsAnnounced)
{
    Play(Param(RegularVideo, rec_.begin, rec_.begin + 30));
    QSignalSpy full(widget_, &CClipPlaybackWidget::SignalStartOrExitFullScreen);
    widget_->OnStartFullScreen();
    EXPECT_TRUE(widget_->GetPlayWindow()->IsWndFullScreen());
    widget_->OnGoToOtherModule();
    EXPECT_FALSE(widget_->GetPlayWindow()->IsWndFullScreen());
    ASSERT_EQ(full.size(), 2);
    EXPECT_TRUE(full.at(0).at(0).toBool());
    EXPECT_FALSE(full.at(1).at(0).toBool());
    EXPECT_TRUE(widget_->isAncestorOf(widget_->GetPlayWindow()));
}

TEST_F(ClipPlaybackWidgetTest, AResultWithoutFilesLeavesTheWindowEmptyButUpdatesButtons)
{
    auto param = Param(RegularVideo, rec_.begin, rec_.begin + 30);
    param.SetVal_playback_files({});
    param.SetVal_b_next_btn_enable(false);
    Play(param);
    EXPECT_FALSE(widget_->GetPlayWindow()->IsPlaying());
    EXPECT_FALSE(widget_->GetBottomWidget()->Form()->ptr_next_button_->isEnabled());
    EXPECT_TRUE(widget_->GetBottomWidget()->Form()->ptr_previous_button_->isEnabled());
}

} // namespace
