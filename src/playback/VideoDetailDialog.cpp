#include "VideoDetailDialog.h"

#include "ui_VideoDetailDialog.h"

#include <QPointer>

namespace TeskVideoSearch {

namespace {
constexpr int kUnfixed = 16777215;
// Room under the play area for the information row.
constexpr int kInfoHeight = 260;
} // namespace

struct UVideoDetailDialogData
{
    std::unique_ptr<Ui::CVideoDetailDialogUI> ptr_ui_ =
        std::make_unique<Ui::CVideoDetailDialogUI>();
    QPointer<QWidget> ptr_play_area_;
};

CVideoDetailDialog::CVideoDetailDialog(QWidget *parent)
    : PlexaControl::CBaseDialog(parent)
    , data_(std::make_shared<UVideoDetailDialogData>())
{
    setObjectName("CVideoDetailDialog");
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    SetCloseButtonVisible(false);
    auto *content = new QWidget;
    data_->ptr_ui_->setupUi(content);
    SetContentWidget(content);
    auto &ui = *data_->ptr_ui_;
    ui.ptr_video_detail_min_btn_->hide();
    ui.ptr_video_detail_title_label_->hide();
    connect(ui.ptr_video_detail_close_btn_, &QPushButton::clicked, this,
            &CVideoDetailDialog::SignalExitDetailDialog);
    connect(ui.ptr_video_detail_max_btn_, &QPushButton::clicked, this,
            [this] { isMaximized() ? showNormal() : showMaximized(); });
    resize(960, 720);
}

CVideoDetailDialog::~CVideoDetailDialog() = default;

void CVideoDetailDialog::SetDetailTitle(const QString &title)
{
    // The base dialog's bar shows the title and drags the dialog.
    data_->ptr_ui_->ptr_video_detail_title_label_->setText(title);
    SetTitle(title);
}

void CVideoDetailDialog::SetPlayArea(QWidget *play_area)
{
    data_->ptr_play_area_ = play_area;
    FitPlayArea();
}

QLayout *CVideoDetailDialog::PlayLayout() const
{
    return data_->ptr_ui_->ptr_detail_play_layout_;
}

QLayout *CVideoDetailDialog::InfoLayout() const
{
    return data_->ptr_ui_->ptr_detail_info_layout_;
}

Ui::CVideoDetailDialogUI *CVideoDetailDialog::Form() const
{
    return data_->ptr_ui_.get();
}

void CVideoDetailDialog::showEvent(QShowEvent *event)
{
    PlexaControl::CBaseDialog::showEvent(event);
    FitPlayArea();
}

void CVideoDetailDialog::resizeEvent(QResizeEvent *event)
{
    PlexaControl::CBaseDialog::resizeEvent(event);
    FitPlayArea();
}

void CVideoDetailDialog::FitPlayArea()
{
    auto &ui = *data_->ptr_ui_;
    // The moved widgets come with the fixed sizes of the panel; the dialog sizes them anew.
    for (QWidget *widget : {static_cast<QWidget *>(data_->ptr_play_area_), ui.ptr_detail_play_area_,
                            ui.ptr_detail_info_area_}) {
        if (widget) {
            widget->setMinimumSize(0, 0);
            widget->setMaximumSize(kUnfixed, kUnfixed);
        }
    }
    // Only the height is fixed; a fixed width would keep the dialog from getting narrower.
    if (data_->ptr_play_area_) {
        data_->ptr_play_area_->setMaximumWidth(width());
        data_->ptr_play_area_->setFixedHeight(std::max(90, height() - kInfoHeight));
    }
}

} // namespace TeskVideoSearch
