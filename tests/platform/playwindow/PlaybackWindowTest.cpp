#include "PlayStore.h"
#include "Screenshot.h"
#include "WaitFor.h"

#include "playwindow/PlaybackWindow.h"

#include "recordserver/TimeStrip.h"

#include <QBoxLayout>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace teskplaywindow;

namespace {

constexpr int kWaitMs = 20000;

// Waits until the window shows a frame of second `second` (or later when `or_later`).
bool WaitForSecond(CPlaybackWindow &window, int64_t second, bool or_later = false)
{
    QSignalSpy shown(&window, &CPlaybackWindow::SignalFrameShown);
    auto reached = [&] {
        const int64_t now = window.GetCurrentFrameTimeMs() / 1000;
        return or_later ? now >= second : now == second;
    };
    while (!reached()) {
        if (!shown.wait(kWaitMs))
            return false;
    }
    return true;
}

int64_t StripOf(const CPlaybackWindow &window)
{
    int64_t second = -1;
    EXPECT_TRUE(teskrecordserver::ReadTimeStrip(window.GetCurrentFrame(), second));
    return second;
}

QString WallText(const PlayTest::Recording &rec, int64_t utc)
{
    return TeskTimeConvert::GetDateTimeByUTCtime(utc, 0, rec.camera->GetResourceKey())
        .toString("yyyy-MM-dd hh:mm:ss");
}

bool HasEvent(const QSignalSpy &spy, int state)
{
    for (const auto &args : spy) {
        if (args.at(0).value<CPlaybackEvent>().GetVal_state() == state)
            return true;
    }
    return false;
}

// A source whose media is a file the test names: missing or damaged.
class BrokenSource : public teskplaycontroller::IRecordingSource
{
public:
    explicit BrokenSource(std::string path)
        : path_(std::move(path))
    {}
    teskplaycontroller::CameraSearchAnswer
    SearchCamera(const teskplaycontroller::CameraVideoSearchCondition &,
                 const teskplaycontroller::TeskCameraInfo &, const std::atomic<bool> &) override
    {
        return {};
    }
    void SearchVCA(const teskplaycontroller::VCAIncrementalCondition &,
                   teskplaycontroller::IVCAResultSink &, const std::atomic<bool> &) override
    {}
    bool DecodeFrame(const teskplaycontroller::ResourceKey &, int64_t, QImage &,
                     std::string &) override
    {
        return false;
    }
    bool MediaForPlay(const teskplaycontroller::ResourceKey &, int64_t t,
                      teskplaycontroller::RecordingMedia &out, std::string &) override
    {
        out.path = path_;
        out.begin = t - t % 30;
        out.seconds = 30;
        return true;
    }

private:
    std::string path_;
};

class PlaybackWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PlayTest::InstallStore();
        rec_ = PlayTest::LongRecording();
        ASSERT_TRUE(rec_.camera);
        window_.resize(480, 320);
        window_.show();
    }

    void Start(int64_t begin, int64_t end, int64_t start)
    {
        ASSERT_TRUE(window_.StartNormalPlayByFile(PlayTest::FileOf(begin, end), rec_.camera, start,
                                                  0, 0, false));
    }

    PlayTest::Recording rec_;
    CPlaybackWindow window_;
};

TEST_F(PlaybackWindowTest, TheFirstFrameAndEverySeekShowTheirSecondInPictureAndText)
{
    Start(rec_.begin, rec_.end, rec_.begin + 5);
    ASSERT_TRUE(WaitForSecond(window_, rec_.begin + 5));
    EXPECT_EQ(StripOf(window_), rec_.begin + 5);
    EXPECT_EQ(window_.GetTimeText(), WallText(rec_, rec_.begin + 5));
    EXPECT_TRUE(window_.IsPlaying());
    TestSupport::SaveShot(&window_, "play-window.png");
    window_.Pause();
    // Inside the first piece, just past a piece boundary, backwards, near the end.
    const int64_t piece_end = rec_.begin - rec_.begin % 30 + 30;
    for (const int64_t t :
         {rec_.begin + 17, piece_end, piece_end + 1, rec_.begin + 3, rec_.end - 1}) {
        SCOPED_TRACE(t - rec_.begin);
        window_.SeekTo(t);
        ASSERT_TRUE(WaitForSecond(window_, t));
        EXPECT_EQ(StripOf(window_), t);
        EXPECT_EQ(window_.GetTimeText(), WallText(rec_, t));
        EXPECT_EQ(window_.GetProgressBar()->GetPosition(), t);
    }
    EXPECT_TRUE(window_.IsPaused());
}

TEST_F(PlaybackWindowTest, PlayingOnCrossesPiecesAndEveryFrameShowsItsSecond)
{
    const int64_t piece_end = rec_.begin - rec_.begin % 30 + 30;
    window_.SetSpeedIndex(CPlaybackWindow::kSpeedCount - 1);
    Start(rec_.begin, rec_.end, piece_end - 2);
    QSignalSpy shown(&window_, &CPlaybackWindow::SignalFrameShown);
    ASSERT_TRUE(WaitForSecond(window_, piece_end + 2, true));
    // Frame times never go backwards and the last picture agrees with its time.
    for (int i = 1; i < shown.size(); ++i)
        EXPECT_GT(shown.at(i).at(0).toLongLong(), shown.at(i - 1).at(0).toLongLong());
    window_.Pause();
    EXPECT_EQ(StripOf(window_), window_.GetCurrentFrameTimeMs() / 1000);
}

TEST_F(PlaybackWindowTest, TheEndOfTheLastFileSendsEventEight)
{
    QSignalSpy events(&window_, &CPlaybackWindow::SignalPlaybackEvent);
    window_.SetSpeedIndex(CPlaybackWindow::kSpeedCount - 1);
    Start(rec_.begin + 40, rec_.begin + 42, rec_.begin + 41);
    TVS_WAIT_TRUE(HasEvent(events, PlaybackEnded), kWaitMs);
    EXPECT_TRUE(HasEvent(events, PlaybackStarted));
    EXPECT_FALSE(window_.IsPlaying());
    EXPECT_EQ(StripOf(window_), rec_.begin + 41);
}

TEST_F(PlaybackWindowTest, TwoFilesPlayOneAfterTheOtherSkippingTheGap)
{
    window_.SetSpeedIndex(CPlaybackWindow::kSpeedCount - 1);
    auto files = PlayTest::FileOf(rec_.begin + 10, rec_.begin + 12);
    files.push_back(
        std::make_shared<teskplaycontroller::CDeviceFile>(rec_.begin + 50, rec_.begin + 52, "b"));
    ASSERT_TRUE(window_.StartNormalPlayByFile(files, rec_.camera, rec_.begin + 11, 0, 0, false));
    QSignalSpy shown(&window_, &CPlaybackWindow::SignalFrameShown);
    ASSERT_TRUE(WaitForSecond(window_, rec_.begin + 50, true));
    for (const auto &args : shown) {
        const int64_t second = args.at(0).toLongLong() / 1000;
        EXPECT_TRUE(second == rec_.begin + 11 || second >= rec_.begin + 50) << second - rec_.begin;
    }
    EXPECT_EQ(window_.GetProgressBar()->GetFiles().size(), 2u);
}

TEST_F(PlaybackWindowTest, TheControlBarPausesResumesAndChangesSpeedWithinItsBounds)
{
    Start(rec_.begin, rec_.end, rec_.begin);
    ASSERT_TRUE(WaitForSecond(window_, rec_.begin, true));
    auto *play = window_.findChild<QPushButton *>("ptr_play_btn_");
    auto *faster = window_.findChild<QPushButton *>("ptr_fast_btn_");
    auto *slower = window_.findChild<QPushButton *>("ptr_slow_btn_");
    ASSERT_TRUE(play && faster && slower);
    QTest::mouseClick(play, Qt::LeftButton);
    EXPECT_TRUE(window_.IsPaused());
    EXPECT_EQ(play->text(), "Play");
    QTest::mouseClick(play, Qt::LeftButton);
    EXPECT_FALSE(window_.IsPaused());
    const int64_t now = window_.GetCurrentFrameTimeMs() / 1000;
    ASSERT_TRUE(WaitForSecond(window_, now + 1, true));

    struct Case
    {
        QPushButton *button;
        int clicks;
        double speed;
        bool faster_enabled;
        bool slower_enabled;
    };
    const Case cases[] = {{faster, 1, 2.0, true, true},
                          {faster, 10, 8.0, false, true},
                          {slower, 3, 1.0, true, true},
                          {slower, 10, 0.125, true, false}};
    for (const auto &c : cases) {
        for (int i = 0; i < c.clicks; ++i)
            QTest::mouseClick(c.button, Qt::LeftButton);
        EXPECT_DOUBLE_EQ(window_.GetSpeed(), c.speed);
        EXPECT_EQ(faster->isEnabled(), c.faster_enabled);
        EXPECT_EQ(slower->isEnabled(), c.slower_enabled);
    }
    auto *label = window_.findChild<QLabel *>("ptr_speed_label_");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text(), "1/8x");
}

TEST_F(PlaybackWindowTest, AClickOnTheTimeSliderSeeksThere)
{
    Start(rec_.begin, rec_.end, rec_.begin);
    ASSERT_TRUE(WaitForSecond(window_, rec_.begin, true));
    window_.Pause();
    auto *bar = window_.GetProgressBar();
    const QPoint at(bar->width() * 2 / 3, bar->height() / 2);
    const int64_t target = bar->TimeAtX(at.x());
    ASSERT_GT(target, rec_.begin + 10);
    QTest::mouseClick(bar, Qt::LeftButton, {}, at);
    ASSERT_TRUE(WaitForSecond(window_, target));
    EXPECT_EQ(StripOf(window_), target);
}

TEST_F(PlaybackWindowTest, NoFileOrBadMediaShowsAMessageAndTheNextStartPlays)
{
    EXPECT_FALSE(window_.StartNormalPlayByFile({}, rec_.camera, rec_.begin, 0, 0, false));
    EXPECT_FALSE(window_.GetMessageText().isEmpty());
    EXPECT_FALSE(window_.IsPlaying());
    const QString damaged = TestSupport::ScratchDir() + "/damaged.mp4";
    {
        QFile file(damaged);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, '\x17'));
    }
    for (const QString &path : {TestSupport::ScratchDir() + "/missing.mp4", damaged}) {
        SCOPED_TRACE(path.toStdString());
        teskplaycontroller::CRecordingSourceRegistry::SetSource(
            std::make_shared<BrokenSource>(path.toStdString()));
        QSignalSpy events(&window_, &CPlaybackWindow::SignalPlaybackEvent);
        Start(rec_.begin, rec_.end, rec_.begin);
        TVS_WAIT_TRUE(HasEvent(events, PlaybackFailed), kWaitMs);
        EXPECT_TRUE(window_.GetMessageText().contains("cannot be played"));
        EXPECT_TRUE(window_.GetCurrentFrame().isNull());
        EXPECT_FALSE(window_.IsPlaying());
    }
    TestSupport::SaveShot(&window_, "play-window-error.png");
    PlayTest::InstallStore();
    Start(rec_.begin, rec_.end, rec_.begin + 7);
    ASSERT_TRUE(WaitForSecond(window_, rec_.begin + 7));
    EXPECT_EQ(StripOf(window_), rec_.begin + 7);
    EXPECT_TRUE(window_.GetMessageText().isEmpty());
}

TEST_F(PlaybackWindowTest, GpsRecordsFlowOnlyWhenAsked)
{
    qRegisterMetaType<CStreamGPSInfo>("teskplaywindow::CStreamGPSInfo");
    QSignalSpy gps(&window_, &CPlaybackWindow::SignalStreamGPSInfo);
    Start(rec_.begin, rec_.end, rec_.begin);
    ASSERT_TRUE(WaitForSecond(window_, rec_.begin + 1, true));
    EXPECT_EQ(gps.size(), 0);
    window_.OpenGPSAdditonDataCallBack(true);
    window_.SeekTo(rec_.begin + 20);
    TVS_WAIT_TRUE(gps.size() > 0, kWaitMs);
    const auto info = gps.first().at(0).value<CStreamGPSInfo>();
    EXPECT_EQ(info.GetVal_str_time(), WallText(rec_, rec_.begin + 20));
    EXPECT_TRUE(info.GetVal_longitude_hemiphere() == "E" ||
                info.GetVal_longitude_hemiphere() == "W");
    EXPECT_GT(info.GetVal_latitude(), 0.0);
}

TEST_F(PlaybackWindowTest, KeptSpeedSurvivesANewStartOnlyWhenSaved)
{
    for (const bool keep : {false, true}) {
        window_.SaveSpeedAndZoomParam(keep);
        window_.SetSpeedIndex(0);
        Start(rec_.begin, rec_.end, rec_.begin);
        EXPECT_DOUBLE_EQ(window_.GetSpeed(), keep ? 0.125 : 1.0);
    }
}

TEST_F(PlaybackWindowTest, ClearEmptiesTheWindowAndRangesCanBeNarrowed)
{
    Start(rec_.begin, rec_.begin + 60, rec_.begin);
    ASSERT_TRUE(WaitForSecond(window_, rec_.begin, true));
    // The stream type is known only where a file lies.
    teskplaycontroller::COrlPlayBackParamSet plan;
    ASSERT_TRUE(rec_.camera->GetPlaybackParam(plan));
    EXPECT_EQ(window_.GetStreamTypeAtTm(rec_.begin + 10), plan.GetVal_stream_type());
    EXPECT_EQ(window_.GetStreamTypeAtTm(rec_.begin + 60), -1);
    EXPECT_EQ(window_.GetStreamTypeAtTm(rec_.begin - 1), -1);
    const auto key = rec_.camera->GetResourceKey();
    window_.OnSetRangeDateTime(TeskTimeConvert::GetDateTimeByUTCtime(rec_.begin + 10, 0, key),
                               TeskTimeConvert::GetDateTimeByUTCtime(rec_.begin + 20, 0, key));
    EXPECT_EQ(window_.GetTimeSliderTimeRange(), qMakePair(rec_.begin + 10, rec_.begin + 20));
    window_.Clear();
    EXPECT_FALSE(window_.IsPlaying());
    EXPECT_TRUE(window_.GetCurrentFrame().isNull());
    EXPECT_TRUE(window_.GetTimeText().isEmpty());
    EXPECT_EQ(window_.GetStreamTypeAtTm(rec_.begin + 1), -1);
}

TEST_F(PlaybackWindowTest, FullScreenLeavesAndReturnsToItsParent)
{
    QWidget host;
    auto *layout = new QVBoxLayout(&host);
    auto *window = new CPlaybackWindow(CPlaybackConfig(), 0, &host);
    layout->addWidget(window);
    host.show();
    window->SetWndFullScreen(true);
    EXPECT_TRUE(window->isWindow());
    EXPECT_TRUE(window->IsWndFullScreen());
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->IsWndFullScreen());
    EXPECT_EQ(window->parentWidget(), &host);
    EXPECT_EQ(layout->indexOf(window), 0);
}

} // namespace
