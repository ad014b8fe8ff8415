#pragma once

#include "playwindow/MediaPump.h"
#include "playwindow/PlaybackWindow.h"

#include <QPointer>

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace teskplaywindow {

// Paints the current frame, scaled to fit, on black.
class CVideoFrameView : public QWidget
{
public:
    explicit CVideoFrameView(QWidget *parent = nullptr);
    void SetFrame(const QImage &image);
    const QImage &Frame() const { return image_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage image_;
};

struct UPlaybackWindowData
{
    CPlaybackConfig config_;
    int window_type_ = 0;
    std::shared_ptr<CPlayContext> ptr_play_context_ = std::make_shared<CPlayContext>();
    CMediaPump *ptr_pump_ = nullptr;
    CVideoFrameView *ptr_view_ = nullptr;
    QLabel *ptr_time_label_ = nullptr;
    QLabel *ptr_message_label_ = nullptr;
    QWidget *ptr_control_bar_ = nullptr;
    QPushButton *ptr_play_btn_ = nullptr;
    QPushButton *ptr_slow_btn_ = nullptr;
    QLabel *ptr_speed_label_ = nullptr;
    QPushButton *ptr_fast_btn_ = nullptr;
    QPushButton *ptr_full_screen_btn_ = nullptr;
    CPlayBackProgressBar *ptr_progress_bar_ = nullptr;

    std::vector<std::shared_ptr<teskplaycontroller::CPlaybackFile>> qvc_files_;
    std::shared_ptr<teskplaycontroller::CCameraForPlay> ptr_camera_;
    int time_type_ = 0;
    int location_type_ = 0;
    int speed_index_ = CPlaybackWindow::kNormalSpeed;
    quint64 generation_ = 0;
    qint64 current_ms_ = -1;
    qint64 started_ns_ = 0;
    bool is_playing_ = false;
    bool is_paused_ = false;
    bool b_keep_speed_ = false;
    bool b_jump_time_ = false;
    bool b_gps_ = false;
    bool is_full_screen_ = false;
    PlayStatistics statistics_;

    // Where the window goes back to when it leaves full screen.
    QPointer<QWidget> ptr_full_screen_parent_;
    QPointer<QWidget> ptr_home_parent_;
    int home_layout_index_ = -1;
};

} // namespace teskplaywindow
