#pragma once

#include "timebar/AnimationProgressBar_p.h"
#include "timebar/BaseFileProgressBar.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

#include <memory>
#include <string>
#include <vector>

namespace TimeBarTest {

using namespace TeskVideoSearch;

// A file bar whose gesture clocks the test sets by hand.
class CClockedBar : public CBaseFileProgressBar
{
public:
    explicit CClockedBar(QWidget *parent = nullptr)
        : CBaseFileProgressBar(parent)
    {
        Axis().now_ms_ = [this] {
            return now_ms;
        };
        Axis().clock_ = [this] {
            return ticks;
        };
    }
    AnimationProgressBarData &Axis() { return *CAnimationProgressBar::d_ptr_; }
    using CAnimationProgressBar::StartNolinearSliding;

    int64_t now_ms = 1'000'000;
    clock_t ticks = 10'000;
};

inline void Wheel(QWidget &widget, int angle_delta, QPoint pos = {100, 50})
{
    QWheelEvent event(pos, widget.mapToGlobal(pos), QPoint(), QPoint(0, angle_delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

// A move with the left button held, which QTest cannot send.
inline void DragMove(QWidget &widget, QPoint pos)
{
    QMouseEvent event(QEvent::MouseMove, pos, widget.mapToGlobal(pos), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

inline void HoverMove(QWidget &widget, QPoint pos)
{
    QMouseEvent event(QEvent::MouseMove, pos, widget.mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

inline std::shared_ptr<TimeSliderFile> File(const std::string &index, int64_t begin, int64_t end)
{
    return std::make_shared<TimeSliderFile>(index, "file_" + index + ".mp4", begin, end,
                                            SliderRegular, "camera");
}

// 2026-06-01 12:00:00 UTC: a Monday in the middle of a year, far from any range edge.
constexpr int64_t kNoon = 1780315200;

} // namespace TimeBarTest
