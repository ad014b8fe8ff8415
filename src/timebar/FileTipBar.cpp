#include "timebar/FileTipBar.h"

#include "timebar/FileTipBar_p.h"

#include "lattice/SvgPixmap.h"

#include <QPushButton>

namespace TeskVideoSearch {

namespace {
constexpr int kHideMs = 1500;
constexpr int kButtonHeight = 30;
constexpr int kMaximumWidth = 480;
constexpr int kMinimumHeight = 100;
// The client's style sheets give the real look; this keeps the stand-alone tip readable.
const char *const kTipStyle = "#ptr_scroll_widget_ { background: #ffffff; border: 1px solid "
                              "#c8c8c8; border-radius: 2px; }"
                              // Buttons are measured before the layout adopts them, so the
                              // selectors must match them as children of the tip itself.
                              "QPushButton { color: #333333; font-size: 12px; "
                              "text-align: left; border: none; background: #f4f4f4; }"
                              "QPushButton:hover { background: #e3f1fd; }";
} // namespace

CFileTipBar::CFileTipBar(QWidget *parent)
    : QWidget(parent)
    , d_ptr_(std::make_shared<FileTipBarData>())
{
    d_ptr_->ui_.setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setMaximumWidth(kMaximumWidth);
    setMinimumHeight(kMinimumHeight);
    if (parent)
        setMaximumHeight(parent->height());
    resize(253, 101);
    setStyleSheet(kTipStyle);
    d_ptr_->ui_.ptr_icon_label_->setPixmap(
        Lattice::GetHighDpiSvgPixmap(":/Images/TeskVideoSearch/timebar_tip_arrow.svg"));
    d_ptr_->hide_timer_.setInterval(kHideMs);
    connect(&d_ptr_->hide_timer_, &QTimer::timeout, this, &CFileTipBar::OnShowTimerOut);
}

CFileTipBar::~CFileTipBar() = default;

void CFileTipBar::SetButtons(const QList<QPushButton *> &buttons)
{
    for (QPushButton *button : buttons) {
        button->setFixedHeight(kButtonHeight);
        d_ptr_->ui_.ptr_file_tip_layout_->addWidget(button);
    }
}

void CFileTipBar::ClearButtons()
{
    QLayout *layout = d_ptr_->ui_.ptr_file_tip_layout_;
    while (QLayoutItem *item = layout->takeAt(0)) {
        if (QWidget *widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
}

void CFileTipBar::SetArrowX(int x)
{
    d_ptr_->ui_.ptr_icon_label_->move(x, 0);
}

void CFileTipBar::RestartHideTimer()
{
    if (!isVisible())
        return;
    d_ptr_->hide_timer_.stop();
    d_ptr_->hide_timer_.setInterval(kHideMs);
    d_ptr_->hide_timer_.start();
}

void CFileTipBar::enterEvent(QEvent *event)
{
    d_ptr_->hide_timer_.stop();
    QWidget::enterEvent(event);
}

void CFileTipBar::leaveEvent(QEvent *event)
{
    hide();
    QWidget::leaveEvent(event);
}

void CFileTipBar::OnShowTimerOut()
{
    d_ptr_->hide_timer_.stop();
    hide();
}

} // namespace TeskVideoSearch
