#pragma once

#include "TeskVideoSearchExport.h"
#include "plexacontrol/EditComboBox.h"
#include "search/SearchTypes.h"

#include "pluginmanager/ResourceData.h"

#include <QDateTime>
#include <QVector>

#include <memory>

namespace TeskVideoSearch {

struct SearchCalendarWidgetData;

// The period selector of the condition column: the last six hours, today, yesterday, the last
// seven days, or a custom period chosen in a calendar pop-up.
class TESKVIDEOSEARCH_EXPORT CSearchCalendarWidget : public PlexaControl::CEditComboBox
{
    Q_OBJECT
public:
    explicit CSearchCalendarWidget(QWidget *parent = nullptr);
    ~CSearchCalendarWidget() override;

    void Init();
    void AddTimeRanges(const QVector<TimeRangeType> &types);
    // Back to the first entry.
    void ResetTime();
    void ResetCustomIntervalTime();
    // The period of the current entry, as of now. Always true.
    bool GetTime(QDateTime &begin, QDateTime &end);
    // Selects the custom entry with this period, without SignalTimeChanged.
    void SetCustomTime(const QDateTime &begin, const QDateTime &end);
    int GetTimeRangeIndex(TimeRangeType type) const;
    OrlSearchTimeType::TimeType GetTimeZoneMode();
    // The longest custom period in days; 0 or less: no limit.
    void SetMaxCustomInterval(int days);

    QString GetCustomText() const;
    // Null until the custom entry is first chosen.
    QWidget *GetPopup() const;

signals:
    void SignalTimeChanged();
    void SignalMaxCustomTimeError(const QString &str_error);

public slots:
    void OnModelindexActivated(const QModelIndex &index);
    void OnTimeEditChanged(const QDateTime &begin, const QDateTime &end);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreatePopup();
    void ApplyCustomRange(const QDateTime &begin, const QDateTime &end);
    void ShowPopupLater();
    bool IsCustomCurrent() const;

    std::shared_ptr<SearchCalendarWidgetData> ptr_data_;
};

} // namespace TeskVideoSearch
