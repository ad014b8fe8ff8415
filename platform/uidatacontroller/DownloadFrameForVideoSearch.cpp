#include "DownloadFrameForVideoSearch.h"

#include "VideoListFram.h"
#include "uidatacontroller/EvidenceFrameSource.h"

#include <QLocale>

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tesk_ui_data_controller {

namespace {

template<class W>
W *Named(W *widget, const char *name)
{
    widget->setObjectName(name);
    return widget;
}

} // namespace

CDownloadFrameForVideoSearch::CDownloadFrameForVideoSearch(QWidget *parent)
    : QWidget(parent)
{
    setObjectName("CDownloadFrameForVideoSearch");
    ptr_video_list_fram_ = new CVideoListFram(this);
    ptr_merge_frame_ = Named(new QWidget(this), "ptr_merge_frame_");
    ptr_merge_check_box_ =
        Named(new QCheckBox(tr("MergeFiles"), ptr_merge_frame_), "ptr_merge_check_box_");
    auto *merge_layout = new QHBoxLayout(ptr_merge_frame_);
    merge_layout->setContentsMargins(0, 0, 0, 0);
    merge_layout->addWidget(ptr_merge_check_box_);

    ptr_save_path_edit_ = Named(new QLineEdit(this), "ptr_save_path_edit_");
    ptr_browse_btn_ = Named(new QPushButton(tr("Browse"), this), "ptr_browse_btn_");
    ptr_path_row_ = Named(new QWidget(this), "ptr_path_row_");
    auto *path_layout = new QHBoxLayout(ptr_path_row_);
    path_layout->setContentsMargins(0, 0, 0, 0);
    path_layout->addWidget(ptr_save_path_edit_, 1);
    path_layout->addWidget(ptr_browse_btn_);
    ptr_password_edit_ = Named(new QLineEdit(this), "ptr_password_edit_");
    ptr_password_edit_->setEchoMode(QLineEdit::Password);
    ptr_password_edit_->setPlaceholderText(tr("PasswordOptional"));
    ptr_file_format_combo_ = Named(new QComboBox(this), "ptr_file_format_combo_");
    ptr_file_format_combo_->addItem(QStringLiteral("MP4"), DownloadFrameDef::FormatMP4);
    ptr_player_check_box_ =
        Named(new QCheckBox(tr("DownloadPlayer"), this), "ptr_player_check_box_");
    ptr_evidence_check_box_ =
        Named(new QCheckBox(tr("SaveAsEvidence"), this), "ptr_evidence_check_box_");

    auto *form = new QFormLayout;
    ptr_path_title_ = new QLabel(tr("SavePath"), this);
    ptr_format_title_ = new QLabel(tr("FileFormat"), this);
    form->addRow(ptr_path_title_, ptr_path_row_);
    form->addRow(tr("Password"), ptr_password_edit_);
    form->addRow(ptr_format_title_, ptr_file_format_combo_);
    ptr_size_label_ = Named(new QLabel(this), "ptr_size_label_");

    ptr_progress_bar_ = Named(new QProgressBar(this), "ptr_progress_bar_");
    ptr_progress_bar_->setRange(0, 100);
    ptr_progress_bar_->hide();
    ptr_message_label_ = Named(new QLabel(this), "ptr_message_label_");
    ptr_message_label_->setWordWrap(true);
    ptr_message_label_->hide();
    ptr_download_btn_ = Named(new QPushButton(tr("Download"), this), "ptr_download_btn_");
    ptr_cancel_btn_ = Named(new QPushButton(tr("Cancel"), this), "ptr_cancel_btn_");
    ptr_cancel_btn_->hide();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ptr_cancel_btn_);
    buttons->addWidget(ptr_download_btn_);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ptr_video_list_fram_);
    layout->addWidget(ptr_size_label_);
    layout->addWidget(ptr_merge_frame_);
    layout->addLayout(form);
    layout->addWidget(ptr_player_check_box_);
    layout->addWidget(ptr_evidence_check_box_);
    layout->addStretch(1);
    layout->addWidget(ptr_progress_bar_);
    layout->addWidget(ptr_message_label_);
    layout->addLayout(buttons);

    connect(ptr_merge_check_box_, &QCheckBox::toggled, this,
            &CDownloadFrameForVideoSearch::OnMergeToggled);
    connect(ptr_browse_btn_, &QPushButton::clicked, this,
            &CDownloadFrameForVideoSearch::OnBrowseClicked);
    connect(ptr_download_btn_, &QPushButton::clicked, this,
            &CDownloadFrameForVideoSearch::OnDownloadClicked);
    connect(ptr_cancel_btn_, &QPushButton::clicked, this,
            &CDownloadFrameForVideoSearch::SignalCancel);
}

CDownloadFrameForVideoSearch::CDownloadFrameForVideoSearch(CAbstractEvidenceFrameWrapper *evidence,
                                                           QWidget *parent)
    : CDownloadFrameForVideoSearch(parent)
{
    ptr_evidence_ = evidence;
}

void CDownloadFrameForVideoSearch::ShowExportPath(bool b_visible)
{
    ptr_path_title_->setVisible(b_visible);
    ptr_path_row_->setVisible(b_visible);
}

void CDownloadFrameForVideoSearch::SetFileFormatVisible(bool b_visible)
{
    ptr_format_title_->setVisible(b_visible);
    ptr_file_format_combo_->setVisible(b_visible);
}

void CDownloadFrameForVideoSearch::SetMergeUIVisible(bool b_visible)
{
    b_merge_ui_visible_ = b_visible;
    HideMergeCheckBoxFrame(b_visible && !ptr_merge_frame_->isHidden());
}

void CDownloadFrameForVideoSearch::SetTeskPlayerVisible(bool b_visible)
{
    ptr_player_check_box_->setVisible(b_visible);
    if (!b_visible)
        ptr_player_check_box_->setChecked(false);
}

void CDownloadFrameForVideoSearch::ClearInfo()
{
    ptr_video_list_fram_->GetDataModel()->SetDataStorage(nullptr);
    ptr_size_label_->clear();
}

void CDownloadFrameForVideoSearch::ResetUI()
{
    SetDownloading(false);
    ptr_message_label_->hide();
    ptr_merge_check_box_->setChecked(false);
    ptr_password_edit_->clear();
    ptr_file_format_combo_->setCurrentIndex(0);
    ptr_player_check_box_->setChecked(false);
    ptr_evidence_check_box_->setChecked(false);
}

void CDownloadFrameForVideoSearch::SetDownloadFilesSize(qint64 bytes)
{
    ptr_size_label_->setText(tr("TotalSize") + QStringLiteral(": ") +
                             QLocale().formattedDataSize(qMax<qint64>(bytes, 0)));
}

CVideoListFram *CDownloadFrameForVideoSearch::GetVideoListFram() const
{
    return ptr_video_list_fram_;
}

void CDownloadFrameForVideoSearch::HideMergeCheckBoxFrame(bool b_visible)
{
    ptr_merge_frame_->setVisible(b_visible && b_merge_ui_visible_);
    if (!b_visible && ptr_merge_check_box_->isChecked())
        ptr_merge_check_box_->setChecked(false);
}

bool CDownloadFrameForVideoSearch::IsMerged() const
{
    return ptr_merge_check_box_->isChecked();
}

QString CDownloadFrameForVideoSearch::GetSavePath() const
{
    return ptr_save_path_edit_->text().trimmed();
}

void CDownloadFrameForVideoSearch::SetSavePath(const QString &path)
{
    ptr_save_path_edit_->setText(path);
}

QString CDownloadFrameForVideoSearch::GetPassword() const
{
    return ptr_password_edit_->text();
}

DownloadFrameDef::VideoFileFormat CDownloadFrameForVideoSearch::GetFileFormat() const
{
    return static_cast<DownloadFrameDef::VideoFileFormat>(
        ptr_file_format_combo_->currentData().toInt());
}

bool CDownloadFrameForVideoSearch::IsDownloadPlayer() const
{
    return ptr_player_check_box_->isChecked();
}

bool CDownloadFrameForVideoSearch::IsSaveAsEvidence() const
{
    return ptr_evidence_check_box_->isChecked();
}

void CDownloadFrameForVideoSearch::SetDownloading(bool b_downloading)
{
    for (QWidget *choice : std::initializer_list<QWidget *>{
             ptr_video_list_fram_, ptr_merge_frame_, ptr_save_path_edit_, ptr_browse_btn_,
             ptr_password_edit_, ptr_file_format_combo_, ptr_player_check_box_,
             ptr_evidence_check_box_, ptr_download_btn_})
        choice->setEnabled(!b_downloading);
    ptr_cancel_btn_->setVisible(b_downloading);
    ptr_progress_bar_->setVisible(b_downloading);
    if (b_downloading) {
        ptr_progress_bar_->setValue(0);
        ptr_message_label_->hide();
    }
}

void CDownloadFrameForVideoSearch::SetProgress(int percent, const QString &text)
{
    ptr_progress_bar_->setValue(percent);
    ptr_progress_bar_->setFormat(text.isEmpty() ? QStringLiteral("%p%") : text + "  %p%");
}

void CDownloadFrameForVideoSearch::ShowResult(const QString &message, bool is_error)
{
    // The style sheets colour the message by its object name.
    ptr_message_label_->setObjectName(is_error ? "ptr_message_error_label_" : "ptr_message_label_");
    ptr_message_label_->setStyleSheet(is_error ? QStringLiteral("color: #d03030;") : QString());
    ptr_message_label_->style()->unpolish(ptr_message_label_);
    ptr_message_label_->style()->polish(ptr_message_label_);
    ptr_message_label_->setText(message);
    ptr_message_label_->show();
}

void CDownloadFrameForVideoSearch::OnMergeToggled(bool b_checked)
{
    // Reloading replaces the storage: hold it until the call returns.
    const std::shared_ptr<CBaseDataStorage> storage =
        ptr_video_list_fram_->GetDataModel()->GetDataStorage();
    if (storage)
        storage->ReloadDataToModel(b_checked);
}

void CDownloadFrameForVideoSearch::OnBrowseClicked()
{
    const QString chosen =
        QFileDialog::getExistingDirectory(this, tr("SavePath"), ptr_save_path_edit_->text());
    if (!chosen.isEmpty())
        ptr_save_path_edit_->setText(chosen);
}

void CDownloadFrameForVideoSearch::OnDownloadClicked()
{
    // Without the path row the host's configured folder is used.
    if (!ptr_path_row_->isHidden() && GetSavePath().isEmpty()) {
        ShowResult(tr("ChooseSavePathFirst"), true);
        return;
    }
    emit SignalDownload();
}

} // namespace tesk_ui_data_controller
