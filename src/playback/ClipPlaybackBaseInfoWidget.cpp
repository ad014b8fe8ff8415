#include "ClipPlaybackBaseInfoWidget.h"

#include "ui_ClipPlaybackBaseInfoWidget.h"

#include <QCalendarWidget>
#include <QLocale>
#include <QSignalBlocker>

namespace TeskVideoSearch {

struct UClipPlaybackBaseInfoWidgetData
{
    std::unique_ptr<Ui::CClipPlaybackBaseInfoWidgetUI> ptr_ui_ =
        std::make_unique<Ui::CClipPlaybackBaseInfoWidgetUI>();
    PlaybackBaseInfo info_;
};

CClipPlaybackBaseInfoWidget::CClipPlaybackBaseInfoWidget(QWidget *parent)
    : QWidget(parent)
    , data_(std::make_shared<UClipPlaybackBaseInfoWidgetData>())
{
    auto &ui = *data_->ptr_ui_;
    ui.setupUi(this);
    setObjectName("ptr_clip_playback_base_info_widget_");
    for (auto *edit : {ui.ptr_tag_time_edit_, ui.ptr_tag_end_time_edit_}) {
        edit->setTimeSpec(Qt::UTC);
        edit->setCalendarPopup(true);
        connect(edit, &QDateTimeEdit::dateTimeChanged, this, [this] {
            OnDateTimeChangedNotByCalendar(data_->ptr_ui_->ptr_tag_time_edit_->dateTime(),
                                           data_->ptr_ui_->ptr_tag_end_time_edit_->dateTime());
        });
    }
    ui.ptr_tag_widget_->hide();
}

CClipPlaybackBaseInfoWidget::~CClipPlaybackBaseInfoWidget() = default;

void CClipPlaybackBaseInfoWidget::SetBaseInfo(const PlaybackBaseInfo &info)
{
    auto &ui = *data_->ptr_ui_;
    data_->info_ = info;
    ui.ptr_camera_name_value_label_->setText(info.camera_name);
    ui.ptr_time_range_name_label_->setText(info.period_name);
    ui.ptr_time_range_value_label_->setText(info.period_text);
    ui.ptr_tag_widget_->setVisible(info.is_tag);
    const QSignalBlocker block_start(ui.ptr_tag_time_edit_);
    const QSignalBlocker block_end(ui.ptr_tag_end_time_edit_);
    ui.ptr_tag_time_edit_->setDateTime(info.dt_begin);
    ui.ptr_tag_end_time_edit_->setDateTime(info.dt_end);
    ui.ptr_tag_name_edit_->setText(info.tag_name);
    ui.ptr_tag_descripe_edit_->setPlainText(info.tag_desc);
    ui.ptr_tag_type_value_label_->setText(info.tag_type_name);
    ui.ptr_tag_color_label_->setStyleSheet(
        info.tag_color.isEmpty() ? QString() : QString("background: %1;").arg(info.tag_color));
    adjustSize();
}

QString CClipPlaybackBaseInfoWidget::GetTagName() const
{
    return data_->ptr_ui_->ptr_tag_name_edit_->text();
}

QString CClipPlaybackBaseInfoWidget::GetTagDesc() const
{
    return data_->ptr_ui_->ptr_tag_descripe_edit_->toPlainText();
}

int CClipPlaybackBaseInfoWidget::GetLabelType() const
{
    return data_->info_.label_type;
}

Ui::CClipPlaybackBaseInfoWidgetUI *CClipPlaybackBaseInfoWidget::Form() const
{
    return data_->ptr_ui_.get();
}

void CClipPlaybackBaseInfoWidget::OnTagLockTimeRangeChanged(QDateTime dt_time, bool is_left)
{
    auto *edit =
        is_left ? data_->ptr_ui_->ptr_tag_time_edit_ : data_->ptr_ui_->ptr_tag_end_time_edit_;
    // The mark already moved: no echo back to the play window.
    const QSignalBlocker block(edit);
    edit->setDateTime(dt_time);
}

void CClipPlaybackBaseInfoWidget::OnUpdateFirstDayOfWeek()
{
    for (auto *edit :
         {data_->ptr_ui_->ptr_tag_time_edit_, data_->ptr_ui_->ptr_tag_end_time_edit_}) {
        if (edit->calendarWidget())
            edit->calendarWidget()->setFirstDayOfWeek(QLocale().firstDayOfWeek());
    }
}

void CClipPlaybackBaseInfoWidget::OnDateTimeChangedByCalendar(QDateTime dt_start, QDateTime dt_end)
{
    OnDateTimeChangedNotByCalendar(dt_start, dt_end);
}

void CClipPlaybackBaseInfoWidget::OnDateTimeChangedNotByCalendar(QDateTime dt_start,
                                                                 QDateTime dt_end)
{
    if (dt_start.isValid() && dt_end.isValid() && dt_start < dt_end)
        emit SignalUpdatePlayWndTime(dt_start, dt_end);
}

} // namespace TeskVideoSearch
