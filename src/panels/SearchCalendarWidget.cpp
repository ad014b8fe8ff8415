#include "panels/SearchCalendarWidget.h"
#include "panels/SearchCalendarWidget_p.h"

#include "search/VideoSearchCommonPort.h"

#include "plexacontrol/Widget.h"
#include "pluginmanager/PluginManager.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

namespace TeskVideoSearch {

namespace {

constexpr qint64 kLastHoursSeconds = 6 * 3600;
constexpr int kRecentDaysBack = 6; // seven calendar days, today included
constexpr int kPopupOffsetY = 4;

QDateTime DayBegin(const QDate &date)
{
    return QDateTime(date, QTime(0, 0, 0));
}

QDateTime DayEnd(const QDate &date)
{
    return QDateTime(date, QTime(23, 59, 59));
}

QString FormatForGui(const QDateTime &t)
{
    const QLocale locale = PlexaControl::GetGuiLocale();
    return locale.toString(t, locale.dateFormat(QLocale::ShortFormat) + " HH:mm:ss");
}

} // namespace

CSearchCalendarWidget::CSearchCalendarWidget(QWidget *parent)
    : PlexaControl::CEditComboBox(parent)
    , ptr_data_(std::make_shared<SearchCalendarWidgetData>())
{
    setObjectName("CSearchCalendarWidget");
    ApplyCustomRange(DayBegin(QDate::currentDate()), DayEnd(QDate::currentDate()));
    setToolTip(QString());
}

CSearchCalendarWidget::~CSearchCalendarWidget()
{
    qApp->removeEventFilter(this);
    if (ptr_data_->ptr_popup_)
        delete ptr_data_->ptr_popup_.data();
}

void CSearchCalendarWidget::Init()
{
    if (property("Initialized").toBool())
        return;
    setProperty("Initialized", true);
    connect(this, QOverload<int>::of(&QComboBox::activated), this,
            [this](int row) { OnModelindexActivated(model()->index(row, 0)); });
    connect(this, &CEditComboBox::SignalListViewHidden, this, [this] {
        if (IsCustomCurrent() && ptr_data_->ptr_popup_)
            ShowPopupLater();
    });
}

void CSearchCalendarWidget::AddTimeRanges(const QVector<TimeRangeType> &types)
{
    static const char *const kTexts[] = {
        QT_TR_NOOP("LastHoursgmqmCbcs"),
        QT_TR_NOOP("Today"),
        QT_TR_NOOP("Yesterday"),
        QT_TR_NOOP("InRecentDayszgNRiBjWyABzxpaj"),
        QT_TR_NOOP("CustomTimePeriodnGrjyIAp"),
    };
    for (TimeRangeType type : types) {
        if (type >= RangeLastSixHours && type <= RangeCustom)
            addItem(tr(kTexts[type]), static_cast<int>(type));
    }
}

void CSearchCalendarWidget::ResetTime()
{
    SetComboEditable(false);
    setCurrentIndex(0);
}

void CSearchCalendarWidget::ResetCustomIntervalTime()
{
    auto &d = *ptr_data_;
    if (!d.ptr_popup_)
        return;
    d.custom_begin_ = DayBegin(QDate::currentDate());
    d.custom_end_ = DayEnd(QDate::currentDate());
    d.ptr_popup_->SetDateTimeRange(d.custom_begin_, d.custom_end_);
}

bool CSearchCalendarWidget::GetTime(QDateTime &begin, QDateTime &end)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate today = now.date();
    switch (currentData().toInt()) {
    case RangeLastSixHours:
        begin = now.addSecs(-kLastHoursSeconds);
        end = now;
        break;
    case RangeToday:
        begin = DayBegin(today);
        end = DayEnd(today);
        break;
    case RangeYesterday:
        begin = DayBegin(today.addDays(-1));
        end = DayEnd(today.addDays(-1));
        break;
    case RangeLastSevenDays:
        begin = DayBegin(today.addDays(-kRecentDaysBack));
        end = DayEnd(today);
        break;
    default:
        begin = ptr_data_->custom_begin_;
        end = ptr_data_->custom_end_;
        break;
    }
    GetTimeZoneMode();
    return true;
}

OrlSearchTimeType::TimeType CSearchCalendarWidget::GetTimeZoneMode()
{
    ptr_data_->time_zone_mode_ = IsCustomCurrent() ? CVideoSearchCommonPort::GetTimeZoneType()
                                                   : OrlSearchTimeType::ClientTime;
    return ptr_data_->time_zone_mode_;
}

void CSearchCalendarWidget::SetCustomTime(const QDateTime &begin, const QDateTime &end)
{
    const int custom = GetTimeRangeIndex(RangeCustom);
    if (custom < 0)
        return;
    CreatePopup();
    ApplyCustomRange(begin, end);
    setCurrentIndex(custom);
    SetComboEditable(true);
    SetEditText(ptr_data_->custom_text_);
}

int CSearchCalendarWidget::GetTimeRangeIndex(TimeRangeType type) const
{
    return findData(static_cast<int>(type));
}

void CSearchCalendarWidget::SetMaxCustomInterval(int days)
{
    ptr_data_->max_custom_days_ = days;
}

QString CSearchCalendarWidget::GetCustomText() const
{
    return ptr_data_->custom_text_;
}

QWidget *CSearchCalendarWidget::GetPopup() const
{
    return ptr_data_->ptr_popup_;
}

void CSearchCalendarWidget::OnModelindexActivated(const QModelIndex &index)
{
    auto &d = *ptr_data_;
    if (index.data(Qt::UserRole).toInt() != RangeCustom) {
        SetComboEditable(false);
        if (d.ptr_popup_)
            d.ptr_popup_->hide();
        emit SignalTimeChanged();
        return;
    }
    CreatePopup();
    d.ptr_popup_->SetDateTimeRange(d.custom_begin_, d.custom_end_);
    const int week = OrlPluginManager::CResourceBusinessInterfaceMgr::Instance().GetWeekConfig();
    d.ptr_popup_->SetFirstDayOfWeek(week == 0 ? Qt::Sunday : week);
    d.ptr_popup_->adjustSize();
    const QPoint under = mapToGlobal(QPoint(0, height())) + QPoint(0, kPopupOffsetY);
    const QRect wanted(under, d.ptr_popup_->size());
    d.ptr_popup_->move(
        PlexaControl::FitIntoGeometry(wanted, PlexaControl::GetBorderAvailableGeometry(under))
            .topLeft());
    SetComboEditable(true);
    SetEditText(d.custom_text_);
    setToolTip(d.custom_text_);
    ShowPopupLater();
}

void CSearchCalendarWidget::OnTimeEditChanged(const QDateTime &begin, const QDateTime &end)
{
    auto &d = *ptr_data_;
    if (d.max_custom_days_ > 0 &&
        begin.toSecsSinceEpoch() + qint64(d.max_custom_days_) * 86400 < end.toSecsSinceEpoch()) {
        emit SignalMaxCustomTimeError(
            tr("Korv-ControlClient.2da317575e424ef7a8d2952d666b6168.msg").arg(d.max_custom_days_));
        return;
    }
    ApplyCustomRange(begin, end);
    SetEditText(d.custom_text_);
    if (d.ptr_popup_)
        d.ptr_popup_->hide();
    qApp->removeEventFilter(this);
    emit SignalTimeChanged();
}

void CSearchCalendarWidget::CreatePopup()
{
    auto &d = *ptr_data_;
    if (d.ptr_popup_)
        return;
    // A top-level tool window, so that it may overhang the condition column.
    d.ptr_popup_ = new PlexaControl::CBeginEndCalendarTimePopup(window());
    d.ptr_popup_->setWindowModality(Qt::NonModal);
    d.ptr_popup_->installEventFilter(this);
    connect(d.ptr_popup_, &PlexaControl::CBeginEndCalendarTimePopup::SignalDateTimeChanged, this,
            &CSearchCalendarWidget::OnTimeEditChanged);
}

void CSearchCalendarWidget::ApplyCustomRange(const QDateTime &begin, const QDateTime &end)
{
    auto &d = *ptr_data_;
    d.custom_begin_ = begin;
    d.custom_end_ = end;
    d.custom_text_ = FormatForGui(begin) + " - " + FormatForGui(end);
    setToolTip(d.custom_text_);
    if (d.ptr_popup_)
        d.ptr_popup_->SetDateTimeRange(begin, end);
}

void CSearchCalendarWidget::ShowPopupLater()
{
    QTimer::singleShot(0, this, [this] {
        auto &d = *ptr_data_;
        if (!d.ptr_popup_ || !IsCustomCurrent())
            return;
        d.ptr_popup_->show();
        d.ptr_popup_->raise();
        qApp->installEventFilter(this);
    });
}

bool CSearchCalendarWidget::IsCustomCurrent() const
{
    return currentData().toInt() == RangeCustom;
}

// While the pop-up is open, a press anywhere but on it or on the combo closes it.
bool CSearchCalendarWidget::eventFilter(QObject *watched, QEvent *event)
{
    auto &d = *ptr_data_;
    if (event->type() == QEvent::MouseButtonPress && d.ptr_popup_ && d.ptr_popup_->isVisible()) {
        const QPoint global = static_cast<QMouseEvent *>(event)->globalPos();
        const bool on_popup = d.ptr_popup_->frameGeometry().contains(global);
        const bool on_combo = rect().contains(mapFromGlobal(global));
        if (!on_popup && !on_combo) {
            d.ptr_popup_->hide();
            qApp->removeEventFilter(this);
        }
    }
    return CEditComboBox::eventFilter(watched, event);
}

} // namespace TeskVideoSearch
