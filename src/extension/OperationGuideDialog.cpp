#include "extension/OperationGuideDialog.h"

#include "ui_OperationGuideDialog.h"

#include "lattice/SvgPixmap.h"

#include <QCoreApplication>
#include <QPushButton>

namespace TeskVideoSearch {

namespace {
const QSize kStepImageSize(280, 158);
} // namespace

struct UOperationGuideDialogData
{
    Ui::OperationGuideDialog form_;
    QWidget *ptr_form_widget_ = nullptr;
};

COperationGuideDialog::COperationGuideDialog(QWidget *parent)
    : PlexaControl::CBaseDialog(parent)
    , data_(std::make_shared<UOperationGuideDialogData>())
{
    data_->ptr_form_widget_ = new QWidget(this);
    data_->form_.setupUi(data_->ptr_form_widget_);
    SetContentWidget(data_->ptr_form_widget_);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    SetCloseButtonVisible(true);

    // The step texts come from the form, translated in its "OperationGuideDialog" context.
    SetTitle(QCoreApplication::translate(
        "OperationGuideDialog", "Korv-ControlClient.d8bac0e8b1e543f1b1e37e320341adc7.name"));
    Ui::OperationGuideDialog &form = data_->form_;
    form.ptr_first_image_->setPixmap(Lattice::GetHighDpiSvgPixmap(
        QStringLiteral(":/Images/TeskVideoSearch/guide_step_condition.svg"), kStepImageSize));
    form.ptr_second_image_->setPixmap(Lattice::GetHighDpiSvgPixmap(
        QStringLiteral(":/Images/TeskVideoSearch/guide_step_result.svg"), kStepImageSize));
    connect(form.ptr_close_btn_, &QPushButton::clicked, this, &QDialog::accept);
}

COperationGuideDialog::~COperationGuideDialog() = default;

HWND COperationGuideDialog::GetSearchWindowID()
{
    return data_->ptr_form_widget_->winId();
}

uint64_t COperationGuideDialog::GetSearchWId()
{
    return static_cast<uint64_t>(GetSearchWindowID());
}

} // namespace TeskVideoSearch
