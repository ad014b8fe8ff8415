#pragma once

#include "playwindow/PlayBackProgressBar.h"
#include "playwindow/PlaybackTypes.h"

#include "playcontroller/CameraForPlay.h"
#include "playcontroller/PlaybackFile.h"

#include <QDateTime>
#include <QImage>
#include <QPair>
#include <QWidget>

#include <memory>
#include <vector>

namespace teskplaywindow {

struct UPlaybackWindowData;

// How well frames kept their pace since the last reset.
struct PlayStatistics
{
    int frames_shown = 0;
    // Largest delay of a shown frame behind its due time, and the sum of all (for the mean).
    qint64 max_late_ns = 0;
    qint64 total_late_ns = 0;
    // From StartNormalPlayByFile, or the last seek, to the first frame shown after it.
    qint64 first_frame_ns = -1;
};

// The embedded play window: plays a camera's recording files from the installed recording
// source, with a control bar (play/pause, speed 1/8x to 8x, full screen) and a time slider
// that marks the files' ranges; the recording's wall-clock time is shown over the picture.
class CPlaybackWindow : public QWidget
{
    Q_OBJECT
public:
    // The speeds offered, slowest first; index kNormalSpeed is 1x.
    static constexpr double kSpeeds[] = {0.125, 0.25, 0.5, 1.0, 2.0, 4.0, 8.0};
    static constexpr int kNormalSpeed = 3;
    static constexpr int kSpeedCount = 7;

    explicit CPlaybackWindow(const CPlaybackConfig &config = CPlaybackConfig(), int window_type = 0,
                             QWidget *parent = nullptr);
    ~CPlaybackWindow() override;

    // Plays `files` (ascending) of `camera` from `start` (UTC seconds). False, with a message in
    // place of the picture, when there is nothing to play.
    bool StartNormalPlayByFile(
        const std::vector<std::shared_ptr<teskplaycontroller::CPlaybackFile>> &files,
        std::shared_ptr<teskplaycontroller::CCameraForPlay> camera, int64_t start, int time_type,
        int location_type, bool is_person_vehicle);
    bool IsPlaying() const;
    bool IsPaused() const;
    void Pause();
    void Resume();
    void StopPlay();
    // Shows the frame of `utc` (seconds); playing goes on from there unless paused.
    void SeekTo(int64_t utc);
    void SetSpeedIndex(int index);
    int GetSpeedIndex() const;
    double GetSpeed() const;
    // The camera's stream type where a file covers `t`; -1 elsewhere.
    int GetStreamTypeAtTm(int64_t t) const;
    // Keep the speed for the next StartNormalPlayByFile (true) or start again at 1x.
    void SaveSpeedAndZoomParam(bool keep);
    void SetWndFullScreen(bool full);
    bool IsWndFullScreen() const;
    void SetFullScreenParent(QWidget *parent);
    void SetPlayWndControlBarJumpTime(bool enable);
    // GPS records of the stream (cameras that carry a receiver) as SignalStreamGPSInfo.
    void OpenGPSAdditonDataCallBack(bool open);
    void SetSeperatorDelegateVisible(bool visible);
    QPair<int64_t, int64_t> GetTimeSliderTimeRange() const;
    CPlayBackProgressBar *GetProgressBar() const;
    std::shared_ptr<CPlayContext> GetPlayContext() const;
    // Stops and empties the window.
    void Clear();
    void ClearPlayOrderParam();

    // What is shown now: the frame, its time (ms), the text over it, a failure message.
    QImage GetCurrentFrame() const;
    qint64 GetCurrentFrameTimeMs() const;
    QString GetTimeText() const;
    QString GetMessageText() const;
    PlayStatistics GetStatistics() const;
    void ResetStatistics();

public slots:
    void OnSetRangeDateTime(QDateTime dt_start, QDateTime dt_end);
    void OnPlayPauseClicked();
    void OnFasterClicked();
    void OnSlowerClicked();
    void OnFullScreenClicked();

signals:
    void SignalPlaybackEvent(teskplaywindow::CPlaybackEvent event);
    void SignalStreamGPSInfo(teskplaywindow::CStreamGPSInfo info);
    void SignalTagLockTimeRangeChanged(QDateTime dt_time, bool is_left);
    void SignalFrameShown(qint64 utc_ms);
    void SignalFullScreenChanged(bool full);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void OnFrame(QImage image, qint64 utc_ms, qint64 due_ns, quint64 generation);
    void OnEnded(qint64 utc, quint64 generation);
    void OnError(QString message, quint64 generation);
    void OnTrackPoint(qint64 utc, double longitude, double latitude, quint64 generation);
    void OnSeek(qint64 utc);
    void OnSeperatorMoved(qint64 utc, bool is_left);

private:
    void SendEvent(int state, int64_t utc, const QString &message = {});
    void ShowMessage(const QString &message);
    void UpdateControls();

    std::shared_ptr<UPlaybackWindowData> data_;
};

} // namespace teskplaywindow
