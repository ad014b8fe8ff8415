#include "lattice/ExtensibleWidget.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace Lattice {

CExtensibleWidget::CExtensibleWidget(QWidget *parent)
    : QWidget(parent)
{
    setObjectName("CExtensibleWidget");
    ptr_header_btn_ = new QToolButton(this);
    ptr_header_btn_->setObjectName("ptr_header_btn_");
    ptr_header_btn_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ptr_header_btn_->setAutoRaise(true);
    ptr_header_btn_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    ptr_layout_ = new QVBoxLayout(this);
    ptr_layout_->setContentsMargins(0, 0, 0, 0);
    ptr_layout_->setSpacing(2);
    ptr_layout_->addWidget(ptr_header_btn_);
    connect(ptr_header_btn_, &QToolButton::clicked, this, [this] { SetExpanded(!b_expanded_); });
    SetExpanded(false);
}

void CExtensibleWidget::SetTitle(const QString &title)
{
    ptr_header_btn_->setText(title);
    ptr_header_btn_->setToolTip(title);
}

QString CExtensibleWidget::GetTitle() const
{
    return ptr_header_btn_->text();
}

void CExtensibleWidget::SetContentWidget(QWidget *content)
{
    if (ptr_content_)
        ptr_content_->deleteLater();
    ptr_content_ = content;
    if (content) {
        ptr_layout_->addWidget(content);
        content->setVisible(b_expanded_);
    }
}

void CExtensibleWidget::SetTipVisible(bool visible)
{
    ptr_header_btn_->setToolTip(visible ? ptr_header_btn_->text() : QString());
}

void CExtensibleWidget::SetExpanded(bool expanded)
{
    const bool changed = expanded != b_expanded_;
    b_expanded_ = expanded;
    ptr_header_btn_->setArrowType(expanded ? Qt::DownArrow : Qt::RightArrow);
    if (ptr_content_)
        ptr_content_->setVisible(expanded);
    if (changed)
        emit SignalExpandChanged(expanded);
}

} // namespace Lattice
