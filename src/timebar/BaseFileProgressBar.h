#pragma once

#include "TeskVideoSearchExport.h"
#include "pluginmanager/PluginManager.h"
#include "search/SearchRecords.h"
#include "timebar/AnimationProgressBar.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace TeskVideoSearch {

struct BaseFileProgressBarData;
class CLevelPanel;
class CTimeBarDelegate;

// The time bar that search pages and the playback widget embed: the recordings of one search
// as translucent bands, a hover list of the recordings under the pointer to pick one from,
// the selected recording, a zoom panel, a loading spinner, a title, the searched span and the
// shown date, all in the time zone of the device.
class TESKVIDEOSEARCH_EXPORT CBaseFileProgressBar : public CAnimationProgressBar
{
    Q_OBJECT
public:
    explicit CBaseFileProgressBar(QWidget *parent = nullptr);
    ~CBaseFileProgressBar() override;

    // Replaces what is shown; nothing is, when the list holds an empty file.
    void AddTimeSliderFile(const std::vector<std::shared_ptr<TimeSliderFile>> &files,
                           bool unused = false);
    // Adds to what is shown, so that thousands of files can be handed over a few at a time;
    // the result is that of one AddTimeSliderFile with all of them. A list with an empty file
    // is refused whole.
    void AppendTimeSliderFiles(const std::vector<std::shared_ptr<TimeSliderFile>> &files);
    // Replaces what is shown, despite the name.
    void AppendTimeBar(const QVector<TimeBarParam> &bars);
    static CTimeBarParam NewATimeBarParam(std::shared_ptr<TimeSliderFile> file,
                                          const std::function<__int64(__int64)> &convert,
                                          bool unused = false);
    void SetTimeBarVisible(int type, bool visible);
    bool IsTimeBarVisible(int type);
    virtual void ClearData(bool clear_bars = true, bool clear_sync_bars = false);
    void ClearTimeBar(bool clear_sync_bars);
    void ClearSyncTimerBar();

    void SetLevelRange(TotalValue lowest, TotalValue highest);
    void SetCurrentTimeSliderLevel(TotalValue level);
    void SetShowTimeRange(const QDateTime &from, const QDateTime &to);
    void SetSearchTimeRange(const QDateTime &from, const QDateTime &to);
    QVector<std::shared_ptr<TimeSliderFile>> FindPlayFileByTime(__int64 utc_time);
    void SyncSelectFileToTimeBar(const std::string &index);
    void SetPlayTime(unsigned int utc_time);
    void SetDeviceTimeZoneInfor(const OrlPluginManager::COrlTimeZoneInfor &zone);
    OrlPluginManager::COrlTimeZoneInfor GetDeviceTimeZoneInfor() const;
    void SetLoadingState(bool loading);
    void InitTip(QWidget *parent);
    void InitCurrentTimeLabel();
    virtual void AdjustLayout();
    void SetFileTipVisible(bool visible);
    int GetHintHeight() const;
    int GetCompactHeight() const;
    CTimeBarDelegate *TimeBarDelegate();
    CLevelPanel *LevelPanel() const;

    __int64 ISOTimeToTimeT(std::string text) override;

signals:
    void SignalStorageTypeChanged(int location_type);
    void SignalSelectFile(std::shared_ptr<TeskVideoSearch::TimeSliderFile> file);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    std::shared_ptr<BaseFileProgressBarData> d_ptr_;

private slots:
    void OnUpdateTip();
    void OnTimeBarClicked();
    void OnShowTimeRangeOutDialog();
    void OnMouseLeaveTimeBar();

private:
    // Adds `files` to the lookup and returns their bands; false, changing nothing, when one is
    // missing.
    bool MergeIntoLookup(const std::vector<std::shared_ptr<TimeSliderFile>> &files,
                         QVector<TimeBarParam> &bands);
    void OnLevelChanged(TotalValue level);
    void RefreshDateLabel();
    void RetranslateTexts();
    void SelectFiles(const QVector<std::shared_ptr<TimeSliderFile>> &files);
    QString DeviceLocalText(__int64 utc_time, const QString &format) const;
};

} // namespace TeskVideoSearch
