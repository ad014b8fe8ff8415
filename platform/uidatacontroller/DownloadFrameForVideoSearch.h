#pragma once

#include "uidatacontroller/DownloadFrameDef.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tesk_ui_data_controller {

class CAbstractEvidenceFrameWrapper;
class CVideoListFram;

// The client's download side panel for search results: the files to download with their
// names, and the operator's choices (merging, save path, password, format, player, evidence).
// It only collects; whoever listens to SignalDownload does the work and reports back.
class __attribute__((visibility("default"))) CDownloadFrameForVideoSearch : public QWidget
{
    Q_OBJECT
public:
    explicit CDownloadFrameForVideoSearch(QWidget *parent = nullptr);
    // `evidence` keeps what the operator saves as evidence; it must outlive the panel.
    CDownloadFrameForVideoSearch(CAbstractEvidenceFrameWrapper *evidence, QWidget *parent);
    CAbstractEvidenceFrameWrapper *GetEvidenceWrapper() const { return ptr_evidence_; }

    // What the host's edition offers.
    void ShowExportPath(bool b_visible);
    void SetFileFormatVisible(bool b_visible);
    void SetMergeUIVisible(bool b_visible);
    void SetTeskPlayerVisible(bool b_visible);
    // Empties the list and returns the choices to a fresh state (the save path stays).
    void ClearInfo();
    void ResetUI();
    // The size of what is about to be downloaded, shown to the operator.
    void SetDownloadFilesSize(qint64 bytes);

    CVideoListFram *GetVideoListFram() const;
    // Merging is offered only when there is more than one file.
    void HideMergeCheckBoxFrame(bool b_visible);

    bool IsMerged() const;
    QString GetSavePath() const;
    void SetSavePath(const QString &path);
    QString GetPassword() const;
    DownloadFrameDef::VideoFileFormat GetFileFormat() const;
    bool IsDownloadPlayer() const;
    bool IsSaveAsEvidence() const;

    // While a download runs the choices are locked and its progress is shown.
    void SetDownloading(bool b_downloading);
    void SetProgress(int percent, const QString &text);
    void ShowResult(const QString &message, bool is_error);

signals:
    void SignalDownload();
    void SignalCancel();

private slots:
    void OnMergeToggled(bool b_checked);
    void OnBrowseClicked();
    void OnDownloadClicked();

private:
    CAbstractEvidenceFrameWrapper *ptr_evidence_ = nullptr;
    bool b_merge_ui_visible_ = true;
    QLabel *ptr_size_label_ = nullptr;
    QWidget *ptr_path_row_ = nullptr;
    QLabel *ptr_path_title_ = nullptr;
    QLabel *ptr_format_title_ = nullptr;
    CVideoListFram *ptr_video_list_fram_ = nullptr;
    QWidget *ptr_merge_frame_ = nullptr;
    QCheckBox *ptr_merge_check_box_ = nullptr;
    QLineEdit *ptr_save_path_edit_ = nullptr;
    QPushButton *ptr_browse_btn_ = nullptr;
    QLineEdit *ptr_password_edit_ = nullptr;
    QComboBox *ptr_file_format_combo_ = nullptr;
    QCheckBox *ptr_player_check_box_ = nullptr;
    QCheckBox *ptr_evidence_check_box_ = nullptr;
    QProgressBar *ptr_progress_bar_ = nullptr;
    QLabel *ptr_message_label_ = nullptr;
    QPushButton *ptr_download_btn_ = nullptr;
    QPushButton *ptr_cancel_btn_ = nullptr;
};

} // namespace tesk_ui_data_controller
