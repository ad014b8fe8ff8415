#include "PlaybackWindow.h"
#include "PlaybackWindow_p.h"

#include "mirelog/Log.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace teskplaywindow {

namespace {

const char *const kTimeFormat = "yyyy-MM-dd hh:mm:ss";

QString SpeedText(double speed)
{
    return speed < 1.0 ? QString("1/%1x").arg(std::lround(1.0 / speed))
                       : QString("%1x").arg(std::lround(speed));
}

} // namespace

CVideoFrameView::CVideoFrameView(QWidget *parent)
    : QWidget(parent)
{
    setObjectName("ptr_video_view_");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(160, 90);
}

void CVideoFrameView::SetFrame(const QImage &image)
{
    image_ = image;
    update();
}

void CVideoFrameView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (image_.isNull())
        return;
    QSize size = image_.size();
    size.scale(this->size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image_);
}

CPlaybackWindow::CPlaybackWindow(const CPlaybackConfig &config, int window_type, QWidget *parent)
    : QWidget(parent)
    , data_(std::make_shared<UPlaybackWindowData>())
{
    qRegisterMetaType<CPlaybackEvent>("teskplaywindow::CPlaybackEvent");
    qRegisterMetaType<CStreamGPSInfo>("teskplaywindow::CStreamGPSInfo");
    setObjectName("ptr_playback_window_");
    setFocusPolicy(Qt::StrongFocus);
    data_->config_ = config;
    data_->window_type_ = window_type;

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    data_->ptr_view_ = new CVideoFrameView(this);
    layout->addWidget(data_->ptr_view_, 1);

    auto *over = new QVBoxLayout(data_->ptr_view_);
    over->setContentsMargins(8, 6, 8, 6);
    data_->ptr_time_label_ = new QLabel(data_->ptr_view_);
    data_->ptr_time_label_->setObjectName("ptr_time_label_");
    data_->ptr_time_label_->setStyleSheet(
        "color: white; background: rgba(0,0,0,110); padding: 1px 4px; font-size: 12px;");
    data_->ptr_time_label_->hide();
    data_->ptr_message_label_ = new QLabel(data_->ptr_view_);
    data_->ptr_message_label_->setObjectName("ptr_message_label_");
    data_->ptr_message_label_->setAlignment(Qt::AlignCenter);
    data_->ptr_message_label_->setWordWrap(true);
    data_->ptr_message_label_->setStyleSheet("color: #f0c0b0; font-size: 13px;");
    data_->ptr_message_label_->hide();
    over->addWidget(data_->ptr_time_label_, 0, Qt::AlignLeft | Qt::AlignTop);
    over->addWidget(data_->ptr_message_label_, 1);

    data_->ptr_control_bar_ = new QWidget(this);
    data_->ptr_control_bar_->setObjectName("ptr_control_bar_");
    data_->ptr_control_bar_->setStyleSheet(
        "#ptr_control_bar_ { background: #1c1e22; } QLabel { color: #d8d8d8; }"
        "QPushButton { color: #e8e8e8; background: #2c2f35; border: none; padding: 2px 8px; }");
    data_->ptr_control_bar_->setVisible(config.GetVal_show_control_bar() != 0);
    auto *bar = new QHBoxLayout(data_->ptr_control_bar_);
    bar->setContentsMargins(6, 4, 6, 4);
    auto button = [this, bar](const char *name, const QString &text) {
        auto *btn = new QPushButton(text, data_->ptr_control_bar_);
        btn->setObjectName(name);
        btn->setFocusPolicy(Qt::NoFocus);
        bar->addWidget(btn);
        return btn;
    };
    data_->ptr_play_btn_ = button("ptr_play_btn_", tr("Play"));
    data_->ptr_slow_btn_ = button("ptr_slow_btn_", tr("Slower"));
    data_->ptr_speed_label_ = new QLabel(data_->ptr_control_bar_);
    data_->ptr_speed_label_->setObjectName("ptr_speed_label_");
    bar->addWidget(data_->ptr_speed_label_);
    data_->ptr_fast_btn_ = button("ptr_fast_btn_", tr("Faster"));
    data_->ptr_progress_bar_ = new CPlayBackProgressBar(data_->ptr_control_bar_);
    bar->addWidget(data_->ptr_progress_bar_, 1);
    data_->ptr_full_screen_btn_ = button("ptr_full_screen_btn_", tr("Full screen"));
    layout->addWidget(data_->ptr_control_bar_);

    data_->ptr_pump_ = new CMediaPump(this);
    connect(data_->ptr_pump_, &CMediaPump::SignalFrame, this, &CPlaybackWindow::OnFrame);
    connect(data_->ptr_pump_, &CMediaPump::SignalEnded, this, &CPlaybackWindow::OnEnded);
    connect(data_->ptr_pump_, &CMediaPump::SignalError, this, &CPlaybackWindow::OnError);
    connect(data_->ptr_pump_, &CMediaPump::SignalTrackPoint, this, &CPlaybackWindow::OnTrackPoint);
    connect(data_->ptr_play_btn_, &QPushButton::clicked, this,
            &CPlaybackWindow::OnPlayPauseClicked);
    connect(data_->ptr_fast_btn_, &QPushButton::clicked, this, &CPlaybackWindow::OnFasterClicked);
    connect(data_->ptr_slow_btn_, &QPushButton::clicked, this, &CPlaybackWindow::OnSlowerClicked);
    connect(data_->ptr_full_screen_btn_, &QPushButton::clicked, this,
            &CPlaybackWindow::OnFullScreenClicked);
    connect(data_->ptr_progress_bar_, &CPlayBackProgressBar::SignalSeek, this,
            &CPlaybackWindow::OnSeek);
    connect(data_->ptr_progress_bar_, &CPlayBackProgressBar::SignalSeperatorMoved, this,
            &CPlaybackWindow::OnSeperatorMoved);
    UpdateControls();
}

CPlaybackWindow::~CPlaybackWindow()
{
    // The worker is joined before any part of the window goes away.
    delete data_->ptr_pump_;
    data_->ptr_pump_ = nullptr;
}

bool CPlaybackWindow::StartNormalPlayByFile(
    const std::vector<std::shared_ptr<teskplaycontroller::CPlaybackFile>> &files,
    std::shared_ptr<teskplaycontroller::CCameraForPlay> camera, int64_t start, int time_type,
    int location_type, bool is_person_vehicle)
{
    Q_UNUSED(is_person_vehicle);
    auto &d = *data_;
    d.qvc_files_.clear();
    for (const auto &file : files) {
        if (file && file->GetFileEndTime() > file->GetFileBegTime())
            d.qvc_files_.push_back(file);
    }
    std::sort(d.qvc_files_.begin(), d.qvc_files_.end(), [](const auto &a, const auto &b) {
        return a->GetFileBegTime() < b->GetFileBegTime();
    });
    d.ptr_camera_ = std::move(camera);
    d.time_type_ = time_type;
    d.location_type_ = location_type;
    d.current_ms_ = -1;
    d.ptr_view_->SetFrame(QImage());
    d.ptr_time_label_->hide();
    d.ptr_message_label_->hide();
    if (!d.b_keep_speed_)
        d.speed_index_ = kNormalSpeed;

    auto source = teskplaycontroller::CRecordingSourceRegistry::GetSource();
    if (d.qvc_files_.empty() || !d.ptr_camera_ || !source) {
        d.ptr_pump_->Stop();
        d.is_playing_ = false;
        ShowMessage(!source ? tr("No recording source is available.")
                            : tr("There is no recording to play."));
        UpdateControls();
        return false;
    }
    std::vector<CMediaPump::Range> ranges;
    for (const auto &file : d.qvc_files_) {
        // Overlapping files are played once.
        const int64_t begin = ranges.empty()
                                  ? file->GetFileBegTime()
                                  : std::max(file->GetFileBegTime(), ranges.back().second);
        if (file->GetFileEndTime() > begin)
            ranges.emplace_back(begin, file->GetFileEndTime());
    }
    d.ptr_progress_bar_->SetFiles(ranges);
    d.ptr_progress_bar_->SetRange(ranges.front().first, ranges.back().second);
    d.ptr_progress_bar_->SetSeperatorDelegateTimet(ranges.front().first, ranges.back().second);
    start = std::clamp(start, ranges.front().first, ranges.back().second);
    d.ptr_progress_bar_->SetPosition(start);
    d.ptr_pump_->SetSpeed(kSpeeds[d.speed_index_]);
    d.ptr_pump_->SetTrackEnabled(d.b_gps_);
    d.started_ns_ = d.ptr_pump_->ClockNs();
    d.statistics_ = PlayStatistics();
    d.generation_ = d.ptr_pump_->Start(source, *d.ptr_camera_->GetResourceKey().GetDataPtr(),
                                       std::move(ranges), static_cast<double>(start), false);
    d.is_playing_ = true;
    d.is_paused_ = false;
    TESK_LOG_INFO("Playing camera %s from %lld, %d files", d.ptr_camera_->GetCameraID().c_str(),
                  static_cast<long long>(start), static_cast<int>(d.qvc_files_.size()));
    UpdateControls();
    SendEvent(PlaybackStarted, start);
    return true;
}

bool CPlaybackWindow::IsPlaying() const
{
    return data_->is_playing_;
}

bool CPlaybackWindow::IsPaused() const
{
    return data_->is_playing_ && data_->is_paused_;
}

void CPlaybackWindow::Pause()
{
    if (!data_->is_playing_ || data_->is_paused_)
        return;
    data_->is_paused_ = true;
    data_->ptr_pump_->SetPaused(true);
    UpdateControls();
    SendEvent(PlaybackPaused, data_->current_ms_ / 1000);
}

void CPlaybackWindow::Resume()
{
    if (!data_->is_playing_ || !data_->is_paused_)
        return;
    data_->is_paused_ = false;
    data_->ptr_pump_->SetPaused(false);
    UpdateControls();
    SendEvent(PlaybackResumed, data_->current_ms_ / 1000);
}

void CPlaybackWindow::StopPlay()
{
    if (!data_->is_playing_)
        return;
    data_->ptr_pump_->Stop();
    data_->is_playing_ = false;
    data_->is_paused_ = false;
    UpdateControls();
    SendEvent(PlaybackStopped, data_->current_ms_ / 1000);
}

void CPlaybackWindow::SeekTo(int64_t utc)
{
    auto &d = *data_;
    if (d.qvc_files_.empty())
        return;
    const auto range = d.ptr_progress_bar_->GetRange();
    utc = std::clamp(utc, range.first, range.second);
    d.ptr_progress_bar_->SetPosition(utc);
    d.ptr_message_label_->hide();
    d.started_ns_ = d.ptr_pump_->ClockNs();
    d.statistics_.first_frame_ns = -1;
    d.ptr_pump_->SetPaused(d.is_paused_);
    d.generation_ = d.ptr_pump_->Seek(static_cast<double>(utc));
    d.is_playing_ = true;
    UpdateControls();
}

void CPlaybackWindow::SetSpeedIndex(int index)
{
    data_->speed_index_ = std::clamp(index, 0, kSpeedCount - 1);
    data_->ptr_pump_->SetSpeed(kSpeeds[data_->speed_index_]);
    UpdateControls();
}

int CPlaybackWindow::GetSpeedIndex() const
{
    return data_->speed_index_;
}

double CPlaybackWindow::GetSpeed() const
{
    return kSpeeds[data_->speed_index_];
}

int CPlaybackWindow::GetStreamTypeAtTm(int64_t t) const
{
    const auto &d = *data_;
    const bool covered = std::any_of(d.qvc_files_.begin(), d.qvc_files_.end(), [t](const auto &f) {
        return f->GetFileBegTime() <= t && t < f->GetFileEndTime();
    });
    teskplaycontroller::COrlPlayBackParamSet param;
    if (!covered || !d.ptr_camera_ || !d.ptr_camera_->GetPlaybackParam(param))
        return -1;
    return param.GetVal_stream_type();
}

void CPlaybackWindow::SaveSpeedAndZoomParam(bool keep)
{
    data_->b_keep_speed_ = keep;
}

void CPlaybackWindow::SetFullScreenParent(QWidget *parent)
{
    data_->ptr_full_screen_parent_ = parent;
}

void CPlaybackWindow::SetWndFullScreen(bool full)
{
    auto &d = *data_;
    if (d.is_full_screen_ == full)
        return;
    d.is_full_screen_ = full;
    if (full) {
        d.ptr_home_parent_ = parentWidget();
        d.home_layout_index_ = -1;
        if (parentWidget() && parentWidget()->layout())
            d.home_layout_index_ = parentWidget()->layout()->indexOf(this);
        setParent(nullptr, Qt::Window | Qt::FramelessWindowHint);
        showFullScreen();
    } else {
        QWidget *home = d.ptr_home_parent_;
        setParent(home, Qt::Widget);
        if (home) {
            if (auto *box = qobject_cast<QBoxLayout *>(home->layout()))
                box->insertWidget(std::max(0, d.home_layout_index_), this, 1);
        }
        showNormal();
        show();
    }
    UpdateControls();
    emit SignalFullScreenChanged(full);
}

bool CPlaybackWindow::IsWndFullScreen() const
{
    return data_->is_full_screen_;
}

void CPlaybackWindow::SetPlayWndControlBarJumpTime(bool enable)
{
    data_->b_jump_time_ = enable;
}

void CPlaybackWindow::OpenGPSAdditonDataCallBack(bool open)
{
    data_->b_gps_ = open;
    data_->ptr_pump_->SetTrackEnabled(open);
}

void CPlaybackWindow::SetSeperatorDelegateVisible(bool visible)
{
    data_->ptr_progress_bar_->SetSeperatorDelegateVisible(visible);
}

QPair<int64_t, int64_t> CPlaybackWindow::GetTimeSliderTimeRange() const
{
    const auto range = data_->ptr_progress_bar_->GetRange();
    return {range.first, range.second};
}

CPlayBackProgressBar *CPlaybackWindow::GetProgressBar() const
{
    return data_->ptr_progress_bar_;
}

std::shared_ptr<CPlayContext> CPlaybackWindow::GetPlayContext() const
{
    return data_->ptr_play_context_;
}

void CPlaybackWindow::Clear()
{
    auto &d = *data_;
    d.ptr_pump_->Stop();
    d.is_playing_ = false;
    d.is_paused_ = false;
    d.qvc_files_.clear();
    d.ptr_camera_.reset();
    d.current_ms_ = -1;
    d.ptr_view_->SetFrame(QImage());
    d.ptr_time_label_->hide();
    d.ptr_message_label_->hide();
    d.ptr_progress_bar_->Clear();
    UpdateControls();
}

void CPlaybackWindow::ClearPlayOrderParam()
{
    data_->b_keep_speed_ = false;
}

QImage CPlaybackWindow::GetCurrentFrame() const
{
    return data_->ptr_view_->Frame();
}

qint64 CPlaybackWindow::GetCurrentFrameTimeMs() const
{
    return data_->current_ms_;
}

QString CPlaybackWindow::GetTimeText() const
{
    return data_->ptr_time_label_->isHidden() ? QString() : data_->ptr_time_label_->text();
}

QString CPlaybackWindow::GetMessageText() const
{
    return data_->ptr_message_label_->isHidden() ? QString() : data_->ptr_message_label_->text();
}

PlayStatistics CPlaybackWindow::GetStatistics() const
{
    return data_->statistics_;
}

void CPlaybackWindow::ResetStatistics()
{
    data_->statistics_ = PlayStatistics();
    data_->statistics_.first_frame_ns = 0;
}

void CPlaybackWindow::OnSetRangeDateTime(QDateTime dt_start, QDateTime dt_end)
{
    auto &d = *data_;
    const teskplaycontroller::CResourceKey camera =
        d.ptr_camera_ ? d.ptr_camera_->GetResourceKey() : teskplaycontroller::CResourceKey();
    const int64_t begin = TeskTimeConvert::GetUTCtimeByDateTime(dt_start, d.time_type_, camera);
    const int64_t end = TeskTimeConvert::GetUTCtimeByDateTime(dt_end, d.time_type_, camera);
    if (end <= begin)
        return;
    d.ptr_progress_bar_->SetRange(begin, end);
    d.ptr_progress_bar_->SetSeperatorDelegateTimet(begin, end);
}

void CPlaybackWindow::OnPlayPauseClicked()
{
    if (!data_->is_playing_) {
        if (!data_->qvc_files_.empty())
            SeekTo(data_->current_ms_ < 0 ? data_->ptr_progress_bar_->GetRange().first
                                          : data_->current_ms_ / 1000);
    } else if (data_->is_paused_) {
        Resume();
    } else {
        Pause();
    }
}

void CPlaybackWindow::OnFasterClicked()
{
    SetSpeedIndex(data_->speed_index_ + 1);
}

void CPlaybackWindow::OnSlowerClicked()
{
    SetSpeedIndex(data_->speed_index_ - 1);
}

void CPlaybackWindow::OnFullScreenClicked()
{
    SetWndFullScreen(!data_->is_full_screen_);
}

void CPlaybackWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && data_->is_full_screen_) {
        SetWndFullScreen(false);
        return;
    }
    if (event->key() == Qt::Key_Space) {
        OnPlayPauseClicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CPlaybackWindow::OnFrame(QImage image, qint64 utc_ms, qint64 due_ns, quint64 generation)
{
    auto &d = *data_;
    if (generation != d.generation_)
        return;
    const qint64 now = d.ptr_pump_->ClockNs();
    d.statistics_.max_late_ns = std::max(d.statistics_.max_late_ns, now - due_ns);
    d.statistics_.total_late_ns += std::max<qint64>(0, now - due_ns);
    if (d.statistics_.first_frame_ns < 0)
        d.statistics_.first_frame_ns = now - d.started_ns_;
    ++d.statistics_.frames_shown;
    d.current_ms_ = utc_ms;
    d.ptr_view_->SetFrame(image);
    d.ptr_message_label_->hide();
    const teskplaycontroller::CResourceKey camera =
        d.ptr_camera_ ? d.ptr_camera_->GetResourceKey() : teskplaycontroller::CResourceKey();
    d.ptr_time_label_->setText(
        TeskTimeConvert::GetDateTimeByUTCtime(utc_ms / 1000, d.time_type_, camera)
            .toString(kTimeFormat));
    d.ptr_time_label_->show();
    d.ptr_progress_bar_->SetPosition(utc_ms / 1000);
    emit SignalFrameShown(utc_ms);
}

void CPlaybackWindow::OnEnded(qint64 utc, quint64 generation)
{
    if (generation != data_->generation_)
        return;
    data_->is_playing_ = false;
    data_->is_paused_ = false;
    UpdateControls();
    SendEvent(PlaybackEnded, utc);
}

void CPlaybackWindow::OnError(QString message, quint64 generation)
{
    if (generation != data_->generation_)
        return;
    data_->is_playing_ = false;
    data_->is_paused_ = false;
    data_->ptr_view_->SetFrame(QImage());
    data_->ptr_time_label_->hide();
    ShowMessage(tr("The recording cannot be played.") + "\n" + message);
    UpdateControls();
    SendEvent(PlaybackFailed, data_->current_ms_ / 1000, message);
}

void CPlaybackWindow::OnTrackPoint(qint64 utc, double longitude, double latitude,
                                   quint64 generation)
{
    if (generation != data_->generation_ || !data_->b_gps_)
        return;
    CStreamGPSInfo info;
    const teskplaycontroller::CResourceKey camera = data_->ptr_camera_
                                                        ? data_->ptr_camera_->GetResourceKey()
                                                        : teskplaycontroller::CResourceKey();
    info.SetVal_str_time(TeskTimeConvert::GetDateTimeByUTCtime(utc, data_->time_type_, camera)
                             .toString(kTimeFormat));
    info.SetVal_longitude(std::fabs(longitude));
    info.SetVal_latitude(std::fabs(latitude));
    info.SetVal_longitude_hemiphere(longitude < 0 ? "W" : "E");
    info.SetVal_latitude_hemiphere(latitude < 0 ? "S" : "N");
    info.SetVal_need_link(true);
    emit SignalStreamGPSInfo(info);
}

void CPlaybackWindow::OnSeek(qint64 utc)
{
    SeekTo(utc);
}

void CPlaybackWindow::OnSeperatorMoved(qint64 utc, bool is_left)
{
    const teskplaycontroller::CResourceKey camera = data_->ptr_camera_
                                                        ? data_->ptr_camera_->GetResourceKey()
                                                        : teskplaycontroller::CResourceKey();
    emit SignalTagLockTimeRangeChanged(
        TeskTimeConvert::GetDateTimeByUTCtime(utc, data_->time_type_, camera), is_left);
}

void CPlaybackWindow::SendEvent(int state, int64_t utc, const QString &message)
{
    CPlaybackEvent event;
    event.SetVal_state(state);
    event.SetVal_utc_time(utc);
    event.SetVal_message(message);
    emit SignalPlaybackEvent(event);
}

void CPlaybackWindow::ShowMessage(const QString &message)
{
    data_->ptr_message_label_->setText(message);
    data_->ptr_message_label_->show();
}

void CPlaybackWindow::UpdateControls()
{
    auto &d = *data_;
    d.ptr_play_btn_->setText(d.is_playing_ && !d.is_paused_ ? tr("Pause") : tr("Play"));
    d.ptr_play_btn_->setEnabled(!d.qvc_files_.empty());
    d.ptr_slow_btn_->setEnabled(d.speed_index_ > 0);
    d.ptr_fast_btn_->setEnabled(d.speed_index_ + 1 < kSpeedCount);
    d.ptr_speed_label_->setText(SpeedText(kSpeeds[d.speed_index_]));
    d.ptr_full_screen_btn_->setText(d.is_full_screen_ ? tr("Exit full screen") : tr("Full screen"));
}

} // namespace teskplaywindow
