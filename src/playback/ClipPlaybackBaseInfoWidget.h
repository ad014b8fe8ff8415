#pragma once

#include "TeskVideoSearchExport.h"

#include <QDateTime>
#include <QWidget>

#include <memory>

namespace Ui {
class CClipPlaybackBaseInfoWidgetUI;
}

namespace TeskVideoSearch {

struct UClipPlaybackBaseInfoWidgetData;

// What the information form shows of the played result.
struct PlaybackBaseInfo
{
    QString camera_name;
    QString period_name;
    QString period_text;
    int64_t begin = 0;
    int64_t end = 0;
    QDateTime dt_begin; // the tag's range on the shown clock
    QDateTime dt_end;
    bool is_tag = false;
    QString tag_name;
    QString tag_desc;
    int label_type = 0;
    QString tag_type_name;
    QString tag_color;
};

// The information form of the playback area: camera, time range and, for tagged recordings,
// the tag's editable name, range and description.
class TESKVIDEOSEARCH_EXPORT CClipPlaybackBaseInfoWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CClipPlaybackBaseInfoWidget(QWidget *parent = nullptr);
    ~CClipPlaybackBaseInfoWidget() override;

    void SetBaseInfo(const PlaybackBaseInfo &info);
    QString GetTagName() const;
    QString GetTagDesc() const;
    int GetLabelType() const;
    Ui::CClipPlaybackBaseInfoWidgetUI *Form() const;

signals:
    void SignalUpdatePlayWndTime(QDateTime dt_start, QDateTime dt_end);

public slots:
    void OnTagLockTimeRangeChanged(QDateTime dt_time, bool is_left);
    void OnUpdateFirstDayOfWeek();
    void OnDateTimeChangedByCalendar(QDateTime dt_start, QDateTime dt_end);
    void OnDateTimeChangedNotByCalendar(QDateTime dt_start, QDateTime dt_end);

private:
    std::shared_ptr<UClipPlaybackBaseInfoWidgetData> data_;
};

} // namespace TeskVideoSearch
