#include "plexacontrol/ModalTipDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace PlexaControl {

namespace {

constexpr int kIconSize = 32;
constexpr int kTextWidth = 320;

CModalTipDialog::AnswerHandler &Handler()
{
    static CModalTipDialog::AnswerHandler handler;
    return handler;
}

QStyle::StandardPixmap IconPixmap(int icon)
{
    switch (icon) {
    case CModalTipDialog::IconInformation:
        return QStyle::SP_MessageBoxInformation;
    case CModalTipDialog::IconError:
        return QStyle::SP_MessageBoxCritical;
    default:
        return QStyle::SP_MessageBoxWarning;
    }
}

} // namespace

CModalTipDialog::CModalTipDialog(const QString &text, int buttons, int icon, QWidget *parent)
    : CBaseDialog(parent)
{
    setObjectName(QStringLiteral("CModalTipDialog"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    SetTitle(tr("Prompt"));
    SetCloseButtonVisible(true);

    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("ptr_tip_content_"));
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->setSpacing(20);

    auto *message_row = new QHBoxLayout;
    message_row->setSpacing(12);
    ptr_icon_label_ = new QLabel(content);
    ptr_icon_label_->setObjectName(QStringLiteral("ptr_tip_icon_label_"));
    ptr_icon_label_->setPixmap(style()->standardIcon(IconPixmap(icon)).pixmap(kIconSize));
    ptr_icon_label_->setAlignment(Qt::AlignTop);
    ptr_text_label_ = new QLabel(text, content);
    ptr_text_label_->setObjectName(QStringLiteral("ptr_tip_text_label_"));
    ptr_text_label_->setTextFormat(Qt::PlainText);
    ptr_text_label_->setWordWrap(true);
    ptr_text_label_->setMinimumWidth(kTextWidth);
    message_row->addWidget(ptr_icon_label_);
    message_row->addWidget(ptr_text_label_, 1);
    layout->addLayout(message_row);

    auto *button_row = new QHBoxLayout;
    button_row->addStretch(1);
    if (buttons & ButtonCancel) {
        ptr_cancel_btn_ = new QPushButton(tr("Cancel"), content);
        ptr_cancel_btn_->setObjectName(QStringLiteral("ptr_tip_cancel_btn_"));
        connect(ptr_cancel_btn_, &QPushButton::clicked, this, &QDialog::reject);
        button_row->addWidget(ptr_cancel_btn_);
    }
    // A dialog without buttons could not be answered.
    if ((buttons & ButtonOk) || !ptr_cancel_btn_) {
        ptr_ok_btn_ = new QPushButton(tr("OK"), content);
        ptr_ok_btn_->setObjectName(QStringLiteral("ptr_tip_ok_btn_"));
        ptr_ok_btn_->setDefault(true);
        connect(ptr_ok_btn_, &QPushButton::clicked, this, &QDialog::accept);
        button_row->addWidget(ptr_ok_btn_);
    }
    layout->addLayout(button_row);
    SetContentWidget(content);
}

int CModalTipDialog::ShowModalTipDialog(const QString &text, int buttons, int icon, QWidget *parent)
{
    if (Handler())
        return Handler()(text, parent);
    CModalTipDialog dialog(text, buttons, icon, parent);
    return dialog.exec();
}

CModalTipDialog::AnswerHandler CModalTipDialog::SetAnswerHandler(AnswerHandler handler)
{
    AnswerHandler previous = Handler();
    Handler() = std::move(handler);
    return previous;
}

QString CModalTipDialog::GetText() const
{
    return ptr_text_label_->text();
}

void CModalTipDialog::showEvent(QShowEvent *event)
{
    CBaseDialog::showEvent(event);
    adjustSize();
    const QWidget *anchor = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect area = anchor ? anchor->geometry() : QRect(QPoint(0, 0), QSize(1280, 720));
    move(area.center() - rect().center());
}

} // namespace PlexaControl
