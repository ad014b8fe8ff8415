#include "PlayBackProgressBar.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace teskplaywindow {

CPlayBackProgressBar::CPlayBackProgressBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName("ptr_play_progress_bar_");
    setMinimumHeight(24);
    setMouseTracking(false);
}

void CPlayBackProgressBar::SetRange(int64_t begin, int64_t end)
{
    begin_ = begin;
    end_ = std::max(end, begin + 1);
    update();
}

void CPlayBackProgressBar::SetFiles(std::vector<std::pair<int64_t, int64_t>> files)
{
    files_ = std::move(files);
    update();
}

void CPlayBackProgressBar::SetPosition(int64_t utc)
{
    if (position_ == utc)
        return;
    position_ = utc;
    update();
}

void CPlayBackProgressBar::SetSeperatorDelegateVisible(bool visible)
{
    is_seperator_visible_ = visible;
    update();
}

void CPlayBackProgressBar::SetSeperatorDelegateTimet(int64_t left, int64_t right)
{
    left_ = std::min(left, right);
    right_ = std::max(left, right);
    update();
}

void CPlayBackProgressBar::Clear()
{
    begin_ = end_ = 0;
    position_ = -1;
    left_ = right_ = 0;
    files_.clear();
    update();
}

int64_t CPlayBackProgressBar::TimeAtX(int x) const
{
    const int span = std::max(1, width() - 2 * kMargin);
    const double ratio = std::clamp(static_cast<double>(x - kMargin) / span, 0.0, 1.0);
    return begin_ + static_cast<int64_t>(ratio * static_cast<double>(end_ - begin_));
}

int CPlayBackProgressBar::XOfTime(int64_t t) const
{
    if (end_ <= begin_)
        return kMargin;
    const int span = std::max(1, width() - 2 * kMargin);
    const double ratio = static_cast<double>(t - begin_) / static_cast<double>(end_ - begin_);
    return kMargin + static_cast<int>(std::clamp(ratio, 0.0, 1.0) * span);
}

void CPlayBackProgressBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int mid = height() / 2;
    const QRect groove(kMargin, mid - 3, width() - 2 * kMargin, 6);
    painter.fillRect(rect(), QColor(0x1c, 0x1e, 0x22));
    painter.fillRect(groove, QColor(0x3a, 0x3d, 0x44));
    for (const auto &file : files_) {
        const int x1 = XOfTime(file.first);
        const int x2 = XOfTime(file.second);
        painter.fillRect(QRect(x1, groove.top(), std::max(1, x2 - x1), groove.height()),
                         QColor(0x2e, 0xa0, 0x5a));
    }
    if (is_seperator_visible_) {
        painter.setPen(QPen(QColor(0xf5, 0xb0, 0x2e), 2));
        for (const int64_t t : {left_, right_})
            painter.drawLine(XOfTime(t), 2, XOfTime(t), height() - 3);
    }
    if (position_ >= begin_ && position_ <= end_ && end_ > begin_) {
        const int x = XOfTime(position_);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xe8, 0x45, 0x3c));
        painter.drawEllipse(QPoint(x, mid), 5, 5);
    }
}

void CPlayBackProgressBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || end_ <= begin_)
        return;
    const int x = event->pos().x();
    if (is_seperator_visible_ && std::abs(x - XOfTime(left_)) <= kGrabPixels)
        drag_ = DragLeft;
    else if (is_seperator_visible_ && std::abs(x - XOfTime(right_)) <= kGrabPixels)
        drag_ = DragRight;
    else
        drag_ = DragPosition;
    mouseMoveEvent(event);
}

void CPlayBackProgressBar::mouseMoveEvent(QMouseEvent *event)
{
    const int64_t t = TimeAtX(event->pos().x());
    switch (drag_) {
    case DragLeft:
        left_ = std::min(t, right_);
        update();
        emit SignalSeperatorMoved(left_, true);
        break;
    case DragRight:
        right_ = std::max(t, left_);
        update();
        emit SignalSeperatorMoved(right_, false);
        break;
    case DragPosition:
        SetPosition(t);
        break;
    case DragNone:
        break;
    }
}

void CPlayBackProgressBar::mouseReleaseEvent(QMouseEvent *event)
{
    // Seeking once, where the drag ends, spares the decoder a seek per mouse move.
    if (drag_ == DragPosition)
        emit SignalSeek(TimeAtX(event->pos().x()));
    drag_ = DragNone;
}

} // namespace teskplaywindow
