#include "timebar/BaseFileProgressBar.h"

#include "timebar/BaseFileProgressBar_p.h"
#include "timebar/FileTipBar.h"
#include "timebar/LevelPanel.h"
#include "timebar/TimeBarDelegate.h"
#include "timebar/TimeBarLoadingLabel.h"

#include "lattice/NewInfoDlg.h"
#include "mirelog/Log.h"
#include "playcontroller/MTZTimeConvert.h"
#include "playwindow/TeskTimeConvert.h"
#include "plexacontrol/IconTextPushButton.h"
#include "plexacontrol/StringConvert.h"
#include "quorbase/Util.h"

#include <QMouseEvent>
#include <QResizeEvent>

#include <algorithm>
#include <cstdio>

namespace TeskVideoSearch {

namespace {

constexpr int kHintHeight = 42;
constexpr int kCompactHeight = 32;
constexpr int kTitleElideWidth = 350;
constexpr int kDateElideWidth = 350;
constexpr int kRangeElideWidth = 400;
constexpr int kTipButtonElideWidth = 464;
constexpr int kTipTextPadding = 120;
constexpr int kTipMaximumWidth = 480;
constexpr int kTipButtonHeight = 30;
constexpr int kTipButtonSpacing = 8;
constexpr int kTipFrameHeight = 16;
constexpr int kTipArrowInset = 35;
constexpr int kTipPointerOffset = 30;
constexpr int kTipArrowNearEdge = 5;
constexpr int kTipLift = 20;
constexpr int kLoadingSize = 48;
// The record types of the file layer, in drawing order.
const QList<int> kRecordTypes = {22, 0, 500, 13};
const QColor kFileBandColor(33, 150, 243);
const QStringList kLevelTexts = {"7d", "24h", "12h", "6h", "2h", "1h"};

QLabel *NewInfoLabel(QWidget *parent, const char *object_name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(object_name);
    label->setTextFormat(Qt::PlainText);
    label->show();
    return label;
}

void SetElidedText(QLabel *label, const QString &text, int width, Qt::TextElideMode mode)
{
    label->setText(label->fontMetrics().elidedText(text, mode, width));
    label->setToolTip(text);
    label->adjustSize();
}

TimeBarParam FileBand(const TimeSliderFile &file)
{
    TimeBarParam band;
    band.iTimeType = 0;
    band.dtStart = file.GetFileBegTime();
    band.dtEnd = file.GetFileEndTime();
    band.barColor = kFileBandColor;
    return band;
}

} // namespace

CBaseFileProgressBar::CBaseFileProgressBar(QWidget *parent)
    : CAnimationProgressBar(parent)
    , d_ptr_(std::make_shared<BaseFileProgressBarData>())
{
    d_ptr_->ptr_parent_ = parent;
    d_ptr_->ptr_level_panel_ = new CLevelPanel(this);
    d_ptr_->ptr_level_panel_->setObjectName("ptr_level_panel_");
    SetLevelRange(LevelSevenDays, LevelOneHour);
    SetlevelRect(d_ptr_->ptr_level_panel_->rect());
    SetBackgroundColor(QColor("#ffffff"));
    SetTimeRange(QDateTime(QDate(1971, 1, 1), QTime(0, 0)),
                 QDateTime(QDate(2105, 1, 1), QTime(0, 0)));

    CLevelPanel *panel = d_ptr_->ptr_level_panel_;
    connect(panel, &CLevelPanel::SignalLevelUpClicked, this, [this] { ScaleByStep(1); });
    connect(panel, &CLevelPanel::SignalLevelDownClicked, this, [this] { ScaleByStep(-1); });
    connect(this, &CAnimationProgressBar::SignalLevelChanged, this,
            &CBaseFileProgressBar::OnLevelChanged);
    connect(this, &CAnimationProgressBar::SignalDragAtTime, this, [this] { RefreshDateLabel(); });
    // Also when the time is set from outside, so that the date never lags behind playback.
    connect(this, &CAnimationProgressBar::SignalStopAtTime, this, [this] { RefreshDateLabel(); });
    connect(this, &CAnimationProgressBar::SignalMovingAtAtTime, this, [this] {
        SetFileTipVisible(false);
        RefreshDateLabel();
    });
    connect(panel, &CLevelPanel::SignalUpdateTimeTipPosition, this,
            [this] { SetTimeTipVisible(false); });
    InitCurrentTimeLabel();

    d_ptr_->ptr_title_label_ = NewInfoLabel(this, "ptr_title_label_");
    RetranslateTexts();
    d_ptr_->ptr_title_label_->move(0, 0);

    OrlPluginManager::COrlTimeZoneInfor client_zone;
    teskplaywindow::TeskTimeConvert::GetClientTimeZoneInfor(client_zone);
    SetDeviceTimeZoneInfor(client_zone);

    connect(this, &CAnimationProgressBar::SignalClickedTimeBar, this,
            &CBaseFileProgressBar::OnTimeBarClicked);
    connect(this, &CAnimationProgressBar::SignalShowTimeRangeOutDialog, this,
            &CBaseFileProgressBar::OnShowTimeRangeOutDialog);
    connect(this, &CAnimationProgressBar::SignalLeave, this,
            &CBaseFileProgressBar::OnMouseLeaveTimeBar);
}

CBaseFileProgressBar::~CBaseFileProgressBar() = default;

// ---- files --------------------------------------------------------------------------------

void CBaseFileProgressBar::AddTimeSliderFile(
    const std::vector<std::shared_ptr<TimeSliderFile>> &files, bool)
{
    ClearData(true, false);
    AppendTimeSliderFiles(files);
}

void CBaseFileProgressBar::AppendTimeSliderFiles(
    const std::vector<std::shared_ptr<TimeSliderFile>> &files)
{
    auto &d = *d_ptr_;
    QVector<TimeBarParam> bands;
    if (!MergeIntoLookup(files, bands))
        return;
    d.qvc_files_.insert(d.qvc_files_.end(), files.begin(), files.end());
    TimeBarDelegate()->AddTimeBars(bands);
    Redraw();
}

bool CBaseFileProgressBar::MergeIntoLookup(
    const std::vector<std::shared_ptr<TimeSliderFile>> &files, QVector<TimeBarParam> &bands)
{
    auto &d = *d_ptr_;
    if (std::any_of(files.begin(), files.end(), [](const auto &file) { return !file; })) {
        TESK_LOG_ERROR("Time bar: an empty file in a list of %zu, none of them is shown",
                       files.size());
        return false;
    }
    const auto by_key = [](const auto &a, const auto &b) {
        return a.first < b.first;
    };
    const auto same_key = [](const auto &a, const auto &b) {
        return a.first == b.first;
    };
    const size_t old_size = d.file_lookup_.size();
    bands.reserve(static_cast<int>(files.size()));
    for (const auto &file : files) {
        d.file_lookup_.emplace_back(
            TimeSliderFileKey{file->GetFileBegTime(), file->GetFileEndTime(), file->GetFileIndex()},
            file);
        bands.push_back(FileBand(*file));
    }
    // As an ordered map would keep them: sorted by key, the first of equal keys, also when the
    // files come in several lists. Only the tail from the first new key on is merged, so a
    // load that comes in time order costs what it adds, not what the bar already holds.
    const auto added = d.file_lookup_.begin() + static_cast<std::ptrdiff_t>(old_size);
    std::stable_sort(added, d.file_lookup_.end(), by_key);
    if (added == d.file_lookup_.end())
        return true;
    const auto tail = std::lower_bound(d.file_lookup_.begin(), added, *added, by_key);
    const size_t tail_begin = static_cast<size_t>(tail - d.file_lookup_.begin());
    std::inplace_merge(tail, added, d.file_lookup_.end(), by_key);
    d.file_lookup_.erase(
        std::unique(d.file_lookup_.begin() + static_cast<std::ptrdiff_t>(tail_begin),
                    d.file_lookup_.end(), same_key),
        d.file_lookup_.end());
    d.lookup_max_end_.resize(tail_begin);
    int64_t running_max = tail_begin > 0 ? d.lookup_max_end_.back() : INT64_MIN;
    for (size_t i = tail_begin; i < d.file_lookup_.size(); ++i) {
        running_max = std::max(running_max, std::get<1>(d.file_lookup_[i].first));
        d.lookup_max_end_.push_back(running_max);
    }
    return true;
}

void CBaseFileProgressBar::AppendTimeBar(const QVector<TimeBarParam> &bars)
{
    ClearData(true, false);
    TimeBarDelegate()->AddTimeBars(bars);
    Redraw();
}

CTimeBarParam CBaseFileProgressBar::NewATimeBarParam(std::shared_ptr<TimeSliderFile> file,
                                                     const std::function<__int64(__int64)> &convert,
                                                     bool)
{
    CTimeBarParam param;
    if (!file)
        return param;
    TimeBarParam band = FileBand(*file);
    if (convert) {
        band.dtStart = convert(band.dtStart);
        band.dtEnd = convert(band.dtEnd);
    }
    return CTimeBarParam(band);
}

void CBaseFileProgressBar::SetTimeBarVisible(int type, bool visible)
{
    TimeBarDelegate()->SetTypeVisible(type, visible);
    Redraw();
}

bool CBaseFileProgressBar::IsTimeBarVisible(int type)
{
    return TimeBarDelegate()->IsTypeVisible(type);
}

void CBaseFileProgressBar::ClearData(bool, bool clear_sync_bars)
{
    ClearTimeBar(clear_sync_bars);
    SetStopMoving();
    Redraw();
}

void CBaseFileProgressBar::ClearTimeBar(bool clear_sync_bars)
{
    // A hover over the empty bar must not find the files that were cleared.
    auto &d = *d_ptr_;
    d.file_lookup_.clear();
    d.lookup_max_end_.clear();
    d.qvc_files_.clear();
    TimeBarDelegate()->Clear();
    if (clear_sync_bars)
        TimeBarDelegate()->ClearSyncBars();
}

void CBaseFileProgressBar::ClearSyncTimerBar()
{
    TimeBarDelegate()->ClearSyncBars();
}

QVector<std::shared_ptr<TimeSliderFile>> CBaseFileProgressBar::FindPlayFileByTime(__int64 t)
{
    // Half a scale unit's pixel length, read as seconds, is the tolerance.
    const auto &d = *d_ptr_;
    const double half = UnitScaleLength() / 2.0;
    QVector<std::shared_ptr<TimeSliderFile>> found;
    // Files before the first whose running end reaches t - half all end too early.
    size_t i = std::lower_bound(d.lookup_max_end_.begin(), d.lookup_max_end_.end(), t - half,
                                [](int64_t end, double limit) { return end < limit; }) -
               d.lookup_max_end_.begin();
    for (; i < d.file_lookup_.size(); ++i) {
        const auto &[key, file] = d.file_lookup_[i];
        if (std::get<0>(key) - half > t)
            break; // ordered by begin: nothing later can hold t
        if (t <= std::get<1>(key) + half)
            found.push_back(file);
    }
    return found;
}

void CBaseFileProgressBar::SyncSelectFileToTimeBar(const std::string &index)
{
    for (const auto &file : d_ptr_->qvc_files_) {
        if (!file || file->GetFileIndex() != index)
            continue;
        if (file->GetFileBegTime() * 1000 < GetSliderLeftUTCTime() ||
            file->GetFileEndTime() * 1000 > GetSliderRightUTCTime())
            MoveByOffsetX(-VisualXPosAtUTCSeconds(static_cast<unsigned>(file->GetFileBegTime())),
                          true);
        SelectFiles({file});
        Redraw();
        return;
    }
}

void CBaseFileProgressBar::SelectFiles(const QVector<std::shared_ptr<TimeSliderFile>> &files)
{
    QVector<TimeBarParam> bands;
    for (const auto &file : files)
        bands.push_back(FileBand(*file));
    TimeBarDelegate()->SetSelectedBars(bands);
}

void CBaseFileProgressBar::SetPlayTime(unsigned int utc_time)
{
    SetPlayBackTime(utc_time, false, 1000, AnimationFittedSpeed);
}

// ---- levels and labels --------------------------------------------------------------------

void CBaseFileProgressBar::SetLevelRange(TotalValue lowest, TotalValue highest)
{
    if (!d_ptr_->ptr_level_panel_)
        return;
    d_ptr_->ptr_level_panel_->SetLevelRange(lowest, highest, kLevelTexts);
    SetCurrentTimeSliderLevel(lowest);
    SetMaxAndMinLevel(lowest, highest);
}

void CBaseFileProgressBar::SetCurrentTimeSliderLevel(TotalValue level)
{
    if (!d_ptr_->ptr_level_panel_)
        return;
    d_ptr_->ptr_level_panel_->SetLevel(level);
    SetCurrentLevel(level);
}

void CBaseFileProgressBar::OnLevelChanged(TotalValue level)
{
    if (d_ptr_->ptr_level_panel_)
        d_ptr_->ptr_level_panel_->SetLevel(level);
    SetFileTipVisible(false);
    RefreshDateLabel();
}

QString CBaseFileProgressBar::DeviceLocalText(__int64 utc_time, const QString &format) const
{
    const std::string local =
        teskplaycontroller::CMTZTimeConvert::TimeTtoLocalTime(utc_time, d_ptr_->device_time_zone_);
    return QDateTime::fromString(QString::fromStdString(local), Qt::ISODate).toString(format);
}

void CBaseFileProgressBar::SetShowTimeRange(const QDateTime &from, const QDateTime &to)
{
    auto &d = *d_ptr_;
    if (!d.ptr_show_range_label_)
        d.ptr_show_range_label_ = NewInfoLabel(this, "ptr_show_range_label_");
    const QString format = "yyyy/MM/dd hh:mm:ss";
    SetElidedText(d.ptr_show_range_label_,
                  DeviceLocalText(from.toSecsSinceEpoch(), format) + " ~ " +
                      DeviceLocalText(to.toSecsSinceEpoch(), format),
                  kRangeElideWidth, Qt::ElideRight);
    AdjustLayout();
}

void CBaseFileProgressBar::SetSearchTimeRange(const QDateTime &from, const QDateTime &to)
{
    SetTimeRange(from, to);
    RefreshDateLabel();
    AdjustLayout();
}

void CBaseFileProgressBar::InitCurrentTimeLabel()
{
    if (!d_ptr_->ptr_date_label_)
        d_ptr_->ptr_date_label_ = NewInfoLabel(this, "ptr_date_label_");
    RefreshDateLabel();
    AdjustLayout();
}

void CBaseFileProgressBar::RefreshDateLabel()
{
    if (!d_ptr_->ptr_date_label_)
        return;
    SetElidedText(d_ptr_->ptr_date_label_, DeviceLocalText(GetCurrentUTCTime(), "yyyy/MM/dd"),
                  kDateElideWidth, Qt::ElideRight);
}

void CBaseFileProgressBar::AdjustLayout()
{
    auto &d = *d_ptr_;
    if (d.ptr_level_panel_)
        d.ptr_level_panel_->move(width() - d.ptr_level_panel_->width(), 0);
    if (d.ptr_show_range_label_)
        d.ptr_show_range_label_->move(width() / 2 - d.ptr_show_range_label_->width() / 2, 0);
    if (d.ptr_date_label_) {
        d.ptr_date_label_->move(width() / 2 - d.ptr_date_label_->width() / 2,
                                height() - d.ptr_date_label_->height());
    }
}

// ---- time zone ----------------------------------------------------------------------------

void CBaseFileProgressBar::SetDeviceTimeZoneInfor(const OrlPluginManager::COrlTimeZoneInfor &zone)
{
    d_ptr_->device_time_zone_ = zone;
    // The zone record counts seconds east of UTC; the bar counts minutes west of it.
    CProgressBarTimeZoneParam param;
    param.SetVal_b_dst(zone.b_dst);
    param.SetVal_utc_bias(-zone.utc_bias / 60);
    param.SetVal_daylight_bias(-zone.daylight_bias / 60);
    int year;
    unsigned month, day;
    Quor::Base::TimeUtil::CivilFromDays(GetCurrentUTCTime() / 86400, year, month, day);
    int64_t dst_begin = 0;
    int64_t dst_end = 0;
    if (teskplaycontroller::CMTZTimeConvert::GetDstDate(zone, year - 1900, dst_begin, dst_end)) {
        param.SetVal_tm_dst_begin(dst_begin);
        param.SetVal_tm_dst_end(dst_end);
    }
    SetTimeZoneInfor(param);
    RefreshDateLabel();
}

OrlPluginManager::COrlTimeZoneInfor CBaseFileProgressBar::GetDeviceTimeZoneInfor() const
{
    return d_ptr_->device_time_zone_;
}

__int64 CBaseFileProgressBar::ISOTimeToTimeT(std::string text)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int offset_hours = 0, offset_minutes = 0;
    int read = 0;
    if (text.find('+') != std::string::npos) {
        read = std::sscanf(text.c_str(), "%d-%d-%dT%d:%d:%d+%d:%d", &year, &month, &day, &hour,
                           &minute, &second, &offset_hours, &offset_minutes);
    } else if (text.find('Z') != std::string::npos) {
        read = std::sscanf(text.c_str(), "%d-%d-%dT%d:%d:%dZ", &year, &month, &day, &hour, &minute,
                           &second);
    } else {
        read = std::sscanf(text.c_str(), "%d-%d-%dT%d:%d:%d-%d:%d", &year, &month, &day, &hour,
                           &minute, &second, &offset_hours, &offset_minutes);
        offset_hours = -offset_hours;
        offset_minutes = -offset_minutes;
    }
    if (read <= 0 || month < 1 || month > 12 || day < 1 || day > 31) {
        TESK_LOG_ERROR("Time bar: unreadable date-time \"%s\"", text.c_str());
        return -1;
    }
    const int64_t days = Quor::Base::TimeUtil::DaysFromCivil(year, static_cast<unsigned>(month),
                                                             static_cast<unsigned>(day));
    return days * 86400 + hour * 3600 + minute * 60 + second -
           (offset_hours * 3600 + offset_minutes * 60);
}

// ---- tips, clicks and the pop-up ----------------------------------------------------------

void CBaseFileProgressBar::SetLoadingState(bool loading)
{
    auto &d = *d_ptr_;
    if (!d.ptr_loading_label_) {
        d.ptr_loading_label_ = new CTimeBarLoadingLabel(this);
        d.ptr_loading_label_->setObjectName("ptr_loading_label_");
        d.ptr_loading_label_->SetLoadingSize(QSize(kLoadingSize, kLoadingSize));
    }
    if (loading)
        d.ptr_loading_label_->StartLoading(size());
    else
        d.ptr_loading_label_->StopLoading();
}

void CBaseFileProgressBar::InitTip(QWidget *parent)
{
    auto &d = *d_ptr_;
    if (d.ptr_file_tip || !parent)
        return;
    d.ptr_file_tip = new CFileTipBar(parent);
    d.ptr_file_tip->setObjectName("d_ptr_->ptr_file_tip");
    d.ptr_file_tip->hide();
    d.ptr_file_tip->setMaximumWidth(kTipMaximumWidth);
    d.ptr_tip_parent_ = parent;
    connect(this, &CAnimationProgressBar::SignalUpdateTip, this,
            &CBaseFileProgressBar::OnUpdateTip);
}

void CBaseFileProgressBar::SetFileTipVisible(bool visible)
{
    if (d_ptr_->ptr_file_tip)
        d_ptr_->ptr_file_tip->setVisible(visible);
}

int CBaseFileProgressBar::GetHintHeight() const
{
    return kHintHeight;
}

int CBaseFileProgressBar::GetCompactHeight() const
{
    return kCompactHeight;
}

CTimeBarDelegate *CBaseFileProgressBar::TimeBarDelegate()
{
    if (!d_ptr_->ptr_time_bar_delegate_) {
        d_ptr_->ptr_time_bar_delegate_ = new CTimeBarDelegate(this, kRecordTypes);
        InsertDelegate(d_ptr_->ptr_time_bar_delegate_, 0);
    }
    return d_ptr_->ptr_time_bar_delegate_;
}

CLevelPanel *CBaseFileProgressBar::LevelPanel() const
{
    return d_ptr_->ptr_level_panel_;
}

void CBaseFileProgressBar::OnUpdateTip()
{
    auto &d = *d_ptr_;
    CFileTipBar *tip = d.ptr_file_tip;
    if (!tip)
        return;
    const QPoint p = PointerPos();
    if (IsOverReservedRect(p)) {
        tip->hide();
        return;
    }
    const auto files = FindPlayFileByTime(TimeTConvertToDateTime(p.x()).toSecsSinceEpoch());
    tip->ClearButtons();
    tip->hide();

    int tip_width = 0;
    if (!files.isEmpty()) {
        QList<QPushButton *> buttons;
        for (const auto &file : files) {
            auto *button = new PlexaControl::CIconTextPushButton(tip);
            button->ensurePolished(); // measure with the tip's style, not the default font
            const QString text = DeviceLocalText(file->GetFileBegTime(), "yyyy/MM/dd   hh:mm:ss") +
                                 "(" + PlexaControl::StringToQString(file->GetFileName()) + ")";
            const QString shown =
                button->fontMetrics().elidedText(text, Qt::ElideLeft, kTipButtonElideWidth);
            button->setText(shown);
            button->setToolTip(text);
            tip_width = std::max(tip_width,
                                 button->fontMetrics().horizontalAdvance(shown) + kTipTextPadding);
            connect(button, &QPushButton::clicked, this, [this, file] {
                emit SignalSelectFile(file);
                SetFileTipVisible(false);
                SelectFiles({file});
                Redraw();
            });
            buttons.push_back(button);
        }
        tip_width = std::min(tip_width, kTipMaximumWidth);
        tip->SetButtons(buttons);
        tip->show();
        tip->RestartHideTimer();
    }

    QVector<TimeBarParam> hover;
    for (const auto &file : files)
        hover.push_back(FileBand(*file));
    TimeBarDelegate()->SetHoverBars(hover);
    Redraw();
    if (files.isEmpty())
        return;

    const int count = files.size();
    const int tip_height = count * kTipButtonHeight + count * kTipButtonSpacing + kTipFrameHeight;
    const int parent_width = d.ptr_parent_ ? d.ptr_parent_->width() : width();
    const int right_limit = parent_width - tip_width + kTipPointerOffset;
    int x = 0;
    int arrow = 0;
    if (p.x() < kTipArrowInset) {
        x = 0;
        arrow = p.x() + kTipArrowNearEdge;
    } else if (p.x() <= right_limit) {
        x = p.x() - kTipPointerOffset;
        arrow = kTipArrowInset;
    } else {
        x = width() - tip_width + kTipPointerOffset;
        arrow = p.x() - right_limit + kTipArrowInset;
    }
    tip->setFixedSize(tip_width, tip_height);
    tip->SetArrowX(arrow);
    const int parent_height = d.ptr_tip_parent_ ? d.ptr_tip_parent_->height() : 0;
    tip->move(x, parent_height - tip_height - height() + kTipLift);
    tip->raise();
}

void CBaseFileProgressBar::OnTimeBarClicked()
{
    const auto files =
        FindPlayFileByTime(TimeTConvertToDateTime(PointerPos().x()).toSecsSinceEpoch());
    SelectFiles(files);
    Redraw();
    if (files.size() == 1)
        emit SignalSelectFile(files.front());
}

void CBaseFileProgressBar::OnShowTimeRangeOutDialog()
{
    auto data = std::make_shared<Lattice::CStruInfoTipsData>();
    data->pParent = d_ptr_->ptr_parent_;
    data->strText = tr("Korv-ControlClient.dc563ae986f74e5faa2d933d3ce498fe.msg");
    data->normal_text_type = Lattice::CStruInfoTipsData::TextWarning;
    Lattice::CNewInfoDlg::ShowInformationAtScreenRightBottom_V3(data);
}

void CBaseFileProgressBar::OnMouseLeaveTimeBar()
{
    TimeBarDelegate()->SetHoverBars({});
    Redraw();
}

// ---- events -------------------------------------------------------------------------------

void CBaseFileProgressBar::resizeEvent(QResizeEvent *event)
{
    AdjustLayout();
    CAnimationProgressBar::resizeEvent(event);
}

void CBaseFileProgressBar::showEvent(QShowEvent *event)
{
    if (QWidget *top = window()) {
        top->setAttribute(Qt::WA_AlwaysShowToolTips);
        top->installEventFilter(this);
    }
    CAnimationProgressBar::showEvent(event);
}

void CBaseFileProgressBar::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        RetranslateTexts();
    CAnimationProgressBar::changeEvent(event);
}

void CBaseFileProgressBar::RetranslateTexts()
{
    SetElidedText(d_ptr_->ptr_title_label_,
                  tr("Korv-ControlClient.0734e6ccf17343c18a217b40cd8bd1a4.name"), kTitleElideWidth,
                  Qt::ElideRight);
}

void CBaseFileProgressBar::mouseMoveEvent(QMouseEvent *event)
{
    if (d_ptr_->ptr_file_tip && d_ptr_->ptr_file_tip->isVisible())
        d_ptr_->ptr_file_tip->RestartHideTimer();
    CAnimationProgressBar::mouseMoveEvent(event);
}

bool CBaseFileProgressBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != window())
        watched->removeEventFilter(this);
    return CAnimationProgressBar::eventFilter(watched, event);
}

} // namespace TeskVideoSearch
