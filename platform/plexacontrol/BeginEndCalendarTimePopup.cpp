#include "plexacontrol/BeginEndCalendarTimePopup.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextCharFormat>

namespace PlexaControl {

namespace {
const char *const kDateTimeFormat = "yyyy-MM-dd HH:mm:ss";
}

CBeginEndCalendarTimePopup::CBeginEndCalendarTimePopup(QWidget *parent)
    : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName("CBeginEndCalendarTimePopup");
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);

    ptr_calendar_ = new QCalendarWidget(this);
    ptr_calendar_->setObjectName("ptr_calendar_");
    ptr_calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    ptr_calendar_->setGridVisible(false);

    auto make_edit = [this](const char *name) {
        auto *edit = new QDateTimeEdit(this);
        edit->setObjectName(name);
        edit->setDisplayFormat(kDateTimeFormat);
        return edit;
    };
    ptr_begin_edit_ = make_edit("ptr_begin_edit_");
    ptr_end_edit_ = make_edit("ptr_end_edit_");
    ptr_ok_btn_ = new QPushButton(tr("OK"), this);
    ptr_ok_btn_->setObjectName("ptr_ok_btn_");

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(ptr_calendar_, 0, 0, 1, 3);
    layout->addWidget(new QLabel(tr("Begin"), this), 1, 0);
    layout->addWidget(ptr_begin_edit_, 1, 1, 1, 2);
    layout->addWidget(new QLabel(tr("End"), this), 2, 0);
    layout->addWidget(ptr_end_edit_, 2, 1, 1, 2);
    layout->addWidget(ptr_ok_btn_, 3, 2);

    connect(ptr_calendar_, &QCalendarWidget::clicked, this,
            &CBeginEndCalendarTimePopup::OnDateClicked);
    connect(ptr_begin_edit_, &QDateTimeEdit::dateTimeChanged, this,
            &CBeginEndCalendarTimePopup::HighlightRange);
    connect(ptr_end_edit_, &QDateTimeEdit::dateTimeChanged, this,
            &CBeginEndCalendarTimePopup::HighlightRange);
    connect(ptr_ok_btn_, &QPushButton::clicked, this,
            [this] { emit SignalDateTimeChanged(GetBeginDateTime(), GetEndDateTime()); });
}

void CBeginEndCalendarTimePopup::SetDateTimeRange(const QDateTime &begin, const QDateTime &end)
{
    ptr_begin_edit_->setDateTime(begin);
    ptr_end_edit_->setDateTime(end);
    ptr_calendar_->setSelectedDate(begin.date());
    b_picking_end_ = false;
    HighlightRange();
}

QDateTime CBeginEndCalendarTimePopup::GetBeginDateTime() const
{
    return ptr_begin_edit_->dateTime();
}

QDateTime CBeginEndCalendarTimePopup::GetEndDateTime() const
{
    return ptr_end_edit_->dateTime();
}

void CBeginEndCalendarTimePopup::SetFirstDayOfWeek(int day)
{
    if (day >= Qt::Monday && day <= Qt::Sunday)
        ptr_calendar_->setFirstDayOfWeek(static_cast<Qt::DayOfWeek>(day));
}

// The first click starts a new period on that day; the second ends it (or starts it, when it
// lies before the first), keeping the times of day the editors hold.
void CBeginEndCalendarTimePopup::OnDateClicked(const QDate &date)
{
    if (!b_picking_end_) {
        ptr_begin_edit_->setDateTime(QDateTime(date, QTime(0, 0, 0)));
        ptr_end_edit_->setDateTime(QDateTime(date, QTime(23, 59, 59)));
    } else if (date < ptr_begin_edit_->date()) {
        ptr_begin_edit_->setDateTime(QDateTime(date, QTime(0, 0, 0)));
    } else {
        ptr_end_edit_->setDateTime(QDateTime(date, QTime(23, 59, 59)));
    }
    b_picking_end_ = !b_picking_end_;
}

void CBeginEndCalendarTimePopup::HighlightRange()
{
    const QTextCharFormat plain;
    for (QDate d = highlighted_begin_; d.isValid() && d <= highlighted_end_; d = d.addDays(1))
        ptr_calendar_->setDateTextFormat(d, plain);
    highlighted_begin_ = ptr_begin_edit_->date();
    highlighted_end_ = ptr_end_edit_->date();
    // A range of years would only be drawn off-screen; the calendar shows one month at a time.
    if (highlighted_begin_.daysTo(highlighted_end_) > 62)
        highlighted_end_ = highlighted_begin_.addDays(62);
    QTextCharFormat in_range;
    in_range.setBackground(palette().highlight().color().lighter(160));
    for (QDate d = highlighted_begin_; d.isValid() && d <= highlighted_end_; d = d.addDays(1))
        ptr_calendar_->setDateTextFormat(d, in_range);
}

} // namespace PlexaControl
