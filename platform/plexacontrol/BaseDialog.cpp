#include "BaseDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace PlexaControl {

CBaseDialog::CBaseDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("CBaseDialog"));
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);

    title_bar_ = new QWidget(this);
    title_bar_->setObjectName(QStringLiteral("ptr_title_bar_"));
    auto *title_layout = new QHBoxLayout(title_bar_);
    title_layout->setContentsMargins(16, 8, 8, 8);
    title_label_ = new QLabel(title_bar_);
    title_label_->setObjectName(QStringLiteral("ptr_title_label_"));
    QFont font = title_label_->font();
    font.setBold(true);
    title_label_->setFont(font);
    close_button_ = new QPushButton(QStringLiteral("\u2715"), title_bar_);
    close_button_->setObjectName(QStringLiteral("ptr_title_close_btn_"));
    close_button_->setFlat(true);
    close_button_->setFixedSize(24, 24);
    close_button_->hide();
    title_layout->addWidget(title_label_, 1);
    title_layout->addWidget(close_button_);
    layout_->addWidget(title_bar_);
    connect(close_button_, &QPushButton::clicked, this, &QDialog::reject);
}

void CBaseDialog::SetTitle(const QString &title)
{
    title_label_->setText(title);
    setWindowTitle(title);
}

QString CBaseDialog::GetTitle() const
{
    return title_label_->text();
}

void CBaseDialog::SetCloseButtonVisible(bool visible)
{
    close_button_->setVisible(visible);
}

void CBaseDialog::SetContentWidget(QWidget *content)
{
    if (content_) {
        layout_->removeWidget(content_);
        content_->deleteLater();
    }
    content_ = content;
    if (content_) {
        content_->setParent(this);
        layout_->addWidget(content_, 1);
    }
}

void CBaseDialog::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && title_bar_->geometry().contains(event->pos())) {
        dragging_ = true;
        drag_offset_ = event->globalPos() - frameGeometry().topLeft();
        event->accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void CBaseDialog::mouseMoveEvent(QMouseEvent *event)
{
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPos() - drag_offset_);
        event->accept();
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void CBaseDialog::mouseReleaseEvent(QMouseEvent *event)
{
    dragging_ = false;
    QDialog::mouseReleaseEvent(event);
}

} // namespace PlexaControl
