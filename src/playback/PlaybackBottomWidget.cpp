#include "PlaybackBottomWidget.h"

#include "ui_PlaybackBottomWidget.h"

#include "search/SearchTypes.h"

namespace TeskVideoSearch {

struct UPlaybackBottomWidgetData
{
    std::unique_ptr<Ui::CPlaybackBottomWidget> ptr_ui_ =
        std::make_unique<Ui::CPlaybackBottomWidget>();
};

namespace {

void SetFixedText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->setFixedWidth(label->fontMetrics().horizontalAdvance(text));
}

} // namespace

CPlaybackBottomWidget::CPlaybackBottomWidget(QWidget *parent)
    : QWidget(parent)
    , data_(std::make_shared<UPlaybackBottomWidgetData>())
{
    auto &ui = *data_->ptr_ui_;
    ui.setupUi(this);
    setObjectName("ptr_playback_bottom_widget_");
    setFixedHeight(kHeight);
    setAttribute(Qt::WA_StyledBackground);
    connect(ui.ptr_previous_button_, &QPushButton::clicked, this,
            &CPlaybackBottomWidget::SignalPreviousClicked);
    connect(ui.ptr_next_button_, &QPushButton::clicked, this,
            &CPlaybackBottomWidget::SignalNextClicked);
    connect(ui.ptr_order_checkbox_, &QCheckBox::toggled, this,
            &CPlaybackBottomWidget::SignalContinuousPlay);
    connect(ui.ptr_save_btn_, &QPushButton::clicked, this,
            &CPlaybackBottomWidget::SignalSaveBntClicked);
    connect(ui.ptr_delete_btn_, &QPushButton::clicked, this,
            &CPlaybackBottomWidget::SignalDeleteClicked);
    connect(ui.ptr_unlock_btn_, &QPushButton::clicked, this,
            &CPlaybackBottomWidget::SignalUnlockClicked);
    AdjustButtonsToKind(RegularVideo);
}

CPlaybackBottomWidget::~CPlaybackBottomWidget() = default;

void CPlaybackBottomWidget::SetPosition(int current_data_id, int total_num)
{
    auto &ui = *data_->ptr_ui_;
    SetFixedText(ui.ptr_molecule_label_, QString::number(current_data_id + 1));
    SetFixedText(ui.ptr_bias_label_, "/");
    SetFixedText(ui.ptr_denominator_label_, QString::number(std::max(total_num, 0)));
}

void CPlaybackBottomWidget::AdjustButtonsToKind(int video_type)
{
    auto &ui = *data_->ptr_ui_;
    const bool is_tag =
        video_type == EventAlarmVideo || video_type == TagVideo || video_type == OtherVideo;
    ui.ptr_save_btn_->setVisible(is_tag);
    ui.ptr_unlock_btn_->setVisible(video_type == LockVideo);
    ui.ptr_delete_btn_->setVisible(video_type != LockVideo);
}

void CPlaybackBottomWidget::SetPreviousNextEnabled(bool previous, bool next)
{
    data_->ptr_ui_->ptr_previous_button_->setEnabled(previous);
    data_->ptr_ui_->ptr_next_button_->setEnabled(next);
}

void CPlaybackBottomWidget::SetSaveEnabled(bool enabled)
{
    data_->ptr_ui_->ptr_save_btn_->setEnabled(enabled);
}

bool CPlaybackBottomWidget::IsContinuousPlay() const
{
    return data_->ptr_ui_->ptr_order_checkbox_->isChecked();
}

Ui::CPlaybackBottomWidget *CPlaybackBottomWidget::Form() const
{
    return data_->ptr_ui_.get();
}

} // namespace TeskVideoSearch
