#include "ClipPlaybackTitle.h"

#include "ui_ClipPlaybackTitle.h"

#include "search/SearchTypes.h"

namespace TeskVideoSearch {

struct UClipPlaybackTitleData
{
    std::unique_ptr<Ui::CClipPlaybackTitle> ptr_ui_ = std::make_unique<Ui::CClipPlaybackTitle>();
};

CClipPlaybackTitle::CClipPlaybackTitle(QWidget *parent)
    : QWidget(parent)
    , data_(std::make_shared<UClipPlaybackTitleData>())
{
    auto &ui = *data_->ptr_ui_;
    ui.setupUi(this);
    setObjectName("ptr_clip_playback_title_");
    setFixedHeight(48);
    ui.ptr_title_label_->setText(tr("PlaybackDetailsWv2hJ3Tp"));
    connect(ui.ptr_delete_btn_, &QPushButton::clicked, this,
            &CClipPlaybackTitle::SignalDeleteClicked);
    connect(ui.ptr_unlock_btn_, &QPushButton::clicked, this,
            &CClipPlaybackTitle::SignalUnlockClicked);
    connect(ui.ptr_close_btn_, &QPushButton::clicked, this,
            &CClipPlaybackTitle::SignalCloseClicked);
    connect(ui.ptr_aux_btn_, &QPushButton::clicked, this,
            &CClipPlaybackTitle::SignalPopAuxBtnClicked);
    AdjustButtonsToKind(RegularVideo);
}

CClipPlaybackTitle::~CClipPlaybackTitle() = default;

void CClipPlaybackTitle::SetTitle(const QString &title)
{
    data_->ptr_ui_->ptr_title_label_->setText(title);
}

void CClipPlaybackTitle::AdjustButtonsToKind(int video_type)
{
    data_->ptr_ui_->ptr_unlock_btn_->setVisible(video_type == LockVideo);
    data_->ptr_ui_->ptr_delete_btn_->setVisible(video_type != LockVideo);
}

void CClipPlaybackTitle::SetButtonsEnabled(bool delete_enabled, bool aux_enabled)
{
    data_->ptr_ui_->ptr_delete_btn_->setEnabled(delete_enabled);
    data_->ptr_ui_->ptr_unlock_btn_->setEnabled(delete_enabled);
    data_->ptr_ui_->ptr_aux_btn_->setEnabled(aux_enabled);
}

Ui::CClipPlaybackTitle *CClipPlaybackTitle::Form() const
{
    return data_->ptr_ui_.get();
}

} // namespace TeskVideoSearch
