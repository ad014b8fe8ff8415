#include "uidatacontroller/ExpandCollapseWidget.h"

#include <QEvent>
#include <QMouseEvent>
#include <QToolButton>

namespace tesk_ui_data_controller {

CCommonExpandCollapseWidget::CCommonExpandCollapseWidget(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
}

void CCommonExpandCollapseWidget::InitUI(QWidget *owner, QWidget *neighbour)
{
    if (ptr_handle_btn_ || !neighbour)
        return;
    Q_UNUSED(owner);
    ptr_neighbour_ = neighbour;
    ptr_handle_btn_ = new QToolButton(neighbour);
    ptr_handle_btn_->setObjectName(QStringLiteral("ptr_expand_handle_btn_"));
    ptr_handle_btn_->setFixedSize(kHandleWidth, kHandleHeight);
    ptr_handle_btn_->setCursor(Qt::PointingHandCursor);
    ptr_handle_btn_->setFocusPolicy(Qt::NoFocus);
    connect(ptr_handle_btn_, &QToolButton::clicked, this,
            &CCommonExpandCollapseWidget::OnHandleClicked);
    neighbour->installEventFilter(this);
    SetExpandCollapseStatus(is_expanded_);
    PlaceHandle();
}

void CCommonExpandCollapseWidget::setResizable(bool resizable)
{
    is_resizable_ = resizable;
    if (!resizable)
        unsetCursor();
}

void CCommonExpandCollapseWidget::SetExpandCollapseStatus(bool is_expand)
{
    is_expanded_ = is_expand;
    setVisible(is_expand);
    if (ptr_handle_btn_) {
        // The arrow points where the column will go.
        ptr_handle_btn_->setText(is_expand ? QStringLiteral("\u2039") : QStringLiteral("\u203a"));
        ptr_handle_btn_->setToolTip(is_expand ? tr("Collapse") : tr("Expand"));
        ptr_handle_btn_->raise();
    }
}

void CCommonExpandCollapseWidget::OnHandleClicked()
{
    SetExpandCollapseStatus(!is_expanded_);
    emit SignalExpandCollapse(is_expanded_);
}

void CCommonExpandCollapseWidget::PlaceHandle()
{
    if (!ptr_handle_btn_ || !ptr_neighbour_)
        return;
    ptr_handle_btn_->move(0, (ptr_neighbour_->height() - kHandleHeight) / 2);
    ptr_handle_btn_->raise();
}

bool CCommonExpandCollapseWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ptr_neighbour_ &&
        (event->type() == QEvent::Resize || event->type() == QEvent::Show ||
         event->type() == QEvent::ChildAdded))
        PlaceHandle();
    return QWidget::eventFilter(watched, event);
}

void CCommonExpandCollapseWidget::mousePressEvent(QMouseEvent *event)
{
    if (is_resizable_ && event->button() == Qt::LeftButton &&
        event->pos().x() >= width() - kGripWidth) {
        is_dragging_ = true;
        drag_start_x_ = event->globalPos().x();
        drag_start_width_ = width();
        if (range_max_ < 0) {
            range_min_ = minimumWidth();
            range_max_ = maximumWidth();
        }
        return;
    }
    QWidget::mousePressEvent(event);
}

void CCommonExpandCollapseWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (is_dragging_) {
        const int wanted = drag_start_width_ + event->globalPos().x() - drag_start_x_;
        // Fixing the width inside a layout narrows the range, so the first range is kept.
        setFixedWidth(qBound(range_min_, wanted, range_max_));
        return;
    }
    if (is_resizable_)
        setCursor(event->pos().x() >= width() - kGripWidth ? Qt::SizeHorCursor : Qt::ArrowCursor);
    QWidget::mouseMoveEvent(event);
}

void CCommonExpandCollapseWidget::mouseReleaseEvent(QMouseEvent *event)
{
    is_dragging_ = false;
    QWidget::mouseReleaseEvent(event);
}

} // namespace tesk_ui_data_controller
