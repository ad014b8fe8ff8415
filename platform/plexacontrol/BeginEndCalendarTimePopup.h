#pragma once

#include <QDateTime>
#include <QFrame>

class QCalendarWidget;
class QDateTimeEdit;
class QPushButton;

namespace PlexaControl {

// A pop-up for choosing a period: a month calendar on which the first click picks the begin
// day and the second the end day, two date-time editors for the exact times, and an OK button
// that reports the period. Non-modal; the owner decides when it closes.
class CBeginEndCalendarTimePopup : public QFrame
{
    Q_OBJECT
public:
    explicit CBeginEndCalendarTimePopup(QWidget *parent = nullptr);

    void SetDateTimeRange(const QDateTime &begin, const QDateTime &end);
    QDateTime GetBeginDateTime() const;
    QDateTime GetEndDateTime() const;
    // 1 Monday … 7 Sunday.
    void SetFirstDayOfWeek(int day);

    QCalendarWidget *GetCalendar() const { return ptr_calendar_; }
    QDateTimeEdit *GetBeginEdit() const { return ptr_begin_edit_; }
    QDateTimeEdit *GetEndEdit() const { return ptr_end_edit_; }
    QPushButton *GetOkButton() const { return ptr_ok_btn_; }

signals:
    void SignalDateTimeChanged(const QDateTime &begin, const QDateTime &end);

private:
    void OnDateClicked(const QDate &date);
    void HighlightRange();

    QCalendarWidget *ptr_calendar_ = nullptr;
    QDateTimeEdit *ptr_begin_edit_ = nullptr;
    QDateTimeEdit *ptr_end_edit_ = nullptr;
    QPushButton *ptr_ok_btn_ = nullptr;
    bool b_picking_end_ = false;
    QDate highlighted_begin_;
    QDate highlighted_end_;
};

} // namespace PlexaControl
