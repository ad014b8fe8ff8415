#pragma once

#include "TeskVideoSearchExport.h"
#include "search/WidgetRecords.h"
#include "timebar/AbstractDelegate.h"

#include <QDateTime>
#include <QWidget>

#include <ctime>
#include <memory>

namespace TeskVideoSearch {

struct AnimationProgressBarData;

// The zoomable, draggable time axis: a scale of ticks and "hh:mm" labels around the current
// instant, which sits in the horizontal centre. The wheel zooms (animated), a drag moves the
// axis with inertia after release, and setters slide it to an instant. Times inside are UTC;
// what it shows and reports is the wall clock of the device whose recordings are shown.
// Recordings themselves are drawn by the delegates inserted into it.
class TESKVIDEOSEARCH_EXPORT CAnimationProgressBar : public QWidget
{
    Q_OBJECT
public:
    // Zoom levels; larger is finer.
    enum TotalValue : int {
        LevelSevenDays = 0,
        LevelOneDay = 1,
        LevelTwelveHours = 2,
        LevelSixHours = 3,
        LevelTwoHours = 4,
        LevelOneHour = 5,
        LevelTwelveMinutes = 6,
    };
    Q_ENUM(TotalValue)

    enum AnimationType : int {
        AnimationFittedSpeed = 0, // the slide takes the requested duration
        AnimationMinimumSpeed = 1,
    };

    explicit CAnimationProgressBar(QWidget *parent = nullptr);
    ~CAnimationProgressBar() override;

    // Levels.
    void SetCurrentLevel(TotalValue level);
    TotalValue GetCurrentLevel() const;
    void SetMaxAndMinLevel(TotalValue lowest, TotalValue highest);
    void GetMaxAndMinLevel(int &lowest, int &highest) const;
    void ScaleByStep(int step);
    bool isScaling() const;

    // Time.
    void SetCurrentDateTime(const QDateTime &date_time, bool animate = false, int duration = 1000,
                            AnimationType type = AnimationFittedSpeed);
    void SetPlayBackTime(unsigned int utc_time, bool animate = false, int duration = 1000,
                         AnimationType type = AnimationFittedSpeed);
    void SetCurrentUTCTime(__int64 utc_time);
    __int64 GetCurrentUTCTime() const;
    QDateTime GetCurrentDateTime() const;
    QDateTime GetCurrentDateTimeByTimeZone() const;
    __int64 GetCurrentUTCDayTime() const;
    __int64 GetSliderLeftUTCTime() const;
    __int64 GetSliderRightUTCTime() const;
    void SetTimeRange(const QDateTime &from, const QDateTime &to);
    void GetTimeRange(QDateTime &from, QDateTime &to) const;
    void SetTimeZoneInfor(CProgressBarTimeZoneParam &param);
    QDateTime TimeTConvertToDateTime(float x) const;
    bool IsDatetimeValid(const QDateTime &date_time) const;
    QDateTime GetAvailableDateTime(const QDateTime &date_time) const;

    // Geometry.
    __int64 UTCSecondsAtXPos(float x) const;
    float XPosAtUTCSeconds(unsigned int utc_time) const;
    float VisualXPosAtUTCSeconds(unsigned int utc_time) const;
    float UnitScaleLength() const;
    float UnitTimeLength() const;

    // Movement.
    void MoveByOffsetX(float offset_x, bool silent);
    void StopAllAnimation();
    void SetStopMoving();

    // Delegates; the bar owns them.
    void InsertDelegate(CAbstractDelegate *delegate, int index);
    void RemoveDelegate(CAbstractDelegate *delegate);
    void RemoveAllDelegate();
    QVector<CAbstractDelegate *> Delegate() const;
    QVector<QPair<QRect, QPixmap>> GetValidPixmapByDelegateType(const AbstractDelegateType &type);
    QVector<QPair<QRect, QString>> GetValidTipByDelegateType(const AbstractDelegateType &type);

    // Appearance and behaviour.
    QRect GetHandleRect() const;
    void SetHandleRect(const QRect &rect);
    QRect GetlevelRect() const;
    void SetlevelRect(const QRect &rect);
    void SetSimplifyMode(bool simplify);
    bool IsSimplifyMode() const;
    void SetScaleLineHeight(int height);
    void SetDrawMiddleLine(bool draw);
    void SetBackgroundColor(const QColor &color);
    void SetDragEnable(bool enable);
    void SetPressed(bool pressed);
    void DisableMouseEvent();
    void SetTimeTipVisible(bool visible);
    void Redraw();
    void EmitDragInMove(__int64 utc_time, bool remember);
    void EmitDragInRelease(__int64 utc_time);

    // The UTC seconds of an ISO 8601 date-time with a numeric offset; -1 when unreadable.
    virtual __int64 ISOTimeToTimeT(std::string text) = 0;

signals:
    void SignalClickedAtTime(time_t utc_time);
    void SignalDragAtTime(uint utc_time);
    void SignalStopAtTime(QDateTime date_time);
    void SignalMovingAtAtTime(uint utc_time);
    void SignalLevelChanged(TeskVideoSearch::CAnimationProgressBar::TotalValue level);
    void SignalEnter();
    void SignalLeave();
    void SignalScalingStarted();
    void SignalScalingEnded();
    void SignalScaling();
    void SignalDragData(TeskVideoSearch::CProgressBarDragData param, bool clear);
    void SignalUpdateTip();
    void SignalClickedTimeBar();
    void SignalShowTimeRangeOutDialog();

protected:
    void StartNolinearSliding(__int64 utc_time);
    // Where the pointer was at the last mouse event, in widget coordinates.
    QPoint PointerPos() const;
    // Over the areas at the bottom-left and bottom-right that a derived bar keeps for its own
    // controls, where no tip is shown.
    bool IsOverReservedRect(const QPoint &point) const;

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

    std::shared_ptr<AnimationProgressBarData> d_ptr_;

private slots:
    void OnScaleAnimationTimeOut();
    void OnHoverTimeOut();
    void OnUpdateTimeTip();

private:
    void RecomputeUnits();
    void StopScaling();
    void StartSliding(unsigned int utc_time, int duration, AnimationType type);
    void StopSliding();
    void OnLinearSlideStep();
    void OnNonlinearSlideStep();
    bool StartInertia(int global_x);
    void OnInertiaStep();
    void StopInertia();
    void OnVelocitySample();
    void PlaceWithinRange(bool silent);
    bool IsInDaylightSaving(__int64 utc_time) const;
    int DeviceOffsetSeconds(__int64 utc_time) const;
    QDateTime DeviceWallClock(__int64 utc_time) const;
    void PaintScale(QPainter &painter);
    void PaintScaleAtRest(QPainter &painter, float x0, __int64 t0);
    void PaintScaleScaling(QPainter &painter, float x0, __int64 t0);
    void PaintLabel(QPainter &painter, float x, __int64 t);
};

} // namespace TeskVideoSearch

Q_DECLARE_METATYPE(TeskVideoSearch::CProgressBarDragData)
