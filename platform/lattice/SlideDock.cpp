#include "lattice/SlideDock.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QStyleOption>
#include <QToolButton>
#include <QVBoxLayout>

namespace Lattice {

namespace {

constexpr int kCloseButtonSize = 24;

CSlideDockFrame *FrameOf(QWidget *dock_widget)
{
    return dock_widget ? qobject_cast<CSlideDockFrame *>(dock_widget->parentWidget()) : nullptr;
}

} // namespace

CSlideDockFrame::CSlideDockFrame(const CSlideOutData &data)
    : QWidget(data.ptr_pos_rule->GetOwner())
    , ptr_dock_widget_(data.ptr_dock_widget)
    , ptr_pos_rule_(data.ptr_pos_rule)
    , slide_width_(data.slide_width)
{
    setObjectName(QStringLiteral("CSlideDockFrame"));
    setAttribute(Qt::WA_StyledBackground);
    setFocusPolicy(Qt::StrongFocus);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 0, 0, 0);
    layout->setSpacing(0);
    ptr_close_btn_ = new QToolButton(this);
    ptr_close_btn_->setObjectName(QStringLiteral("ptr_dock_close_btn_"));
    ptr_close_btn_->setText(QStringLiteral("\u2715"));
    ptr_close_btn_->setAutoRaise(true);
    ptr_close_btn_->setFixedSize(kCloseButtonSize, kCloseButtonSize);
    layout->addWidget(ptr_close_btn_, 0, Qt::AlignRight);
    ptr_dock_widget_->setParent(this);
    layout->addWidget(ptr_dock_widget_, 1);
    ptr_dock_widget_->show();
    connect(ptr_close_btn_, &QToolButton::clicked, this, &CSlideDockFrame::HideDock);
    ptr_animation_ = new QPropertyAnimation(this, "geometry", this);
    ptr_animation_->setDuration(kSlideMilliseconds);
    ptr_animation_->setEasingCurve(QEasingCurve::OutCubic);
    parentWidget()->installEventFilter(this);
    hide();
}

void CSlideDockFrame::SlideIn()
{
    show();
    raise();
    Place(true);
    setFocus();
}

void CSlideDockFrame::HideDock()
{
    if (isHidden())
        return;
    ptr_animation_->stop();
    hide();
    emit SignalDockHidden();
}

void CSlideDockFrame::Place(bool animate)
{
    const QRect target = ptr_pos_rule_->GetShowRect(slide_width_);
    ptr_animation_->stop();
    if (!animate) {
        setGeometry(target);
        return;
    }
    ptr_animation_->setStartValue(target.translated(target.width(), 0));
    ptr_animation_->setEndValue(target);
    ptr_animation_->start();
}

bool CSlideDockFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible())
        Place(false);
    return QWidget::eventFilter(watched, event);
}

void CSlideDockFrame::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        HideDock();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CSlideDockFrame::paintEvent(QPaintEvent *)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
    // A shadow line on the side that faces the owner's content.
    painter.setPen(QColor(0, 0, 0, 40));
    painter.drawLine(0, 0, 0, height());
}

void ShowDockWidget(const CSlideOutData &data)
{
    if (!data.ptr_dock_widget || !data.ptr_pos_rule || !data.ptr_pos_rule->GetOwner())
        return;
    CSlideDockFrame *frame = FrameOf(data.ptr_dock_widget);
    if (!frame || frame->parentWidget() != data.ptr_pos_rule->GetOwner())
        frame = new CSlideDockFrame(data);
    frame->SlideIn();
}

void HideDockWidget(QWidget *dock_widget)
{
    if (CSlideDockFrame *frame = FrameOf(dock_widget))
        frame->HideDock();
}

bool IsShowDockWidget(QWidget *owner)
{
    if (!owner)
        return false;
    for (auto *frame :
         owner->findChildren<CSlideDockFrame *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (frame->isVisible())
            return true;
    }
    return false;
}

} // namespace Lattice
