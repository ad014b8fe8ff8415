#pragma once

#include "TeskVideoSearchExport.h"

#include <QWidget>

#include <memory>

namespace Ui {
class CClipPlaybackTitle;
}

namespace TeskVideoSearch {

struct UClipPlaybackTitleData;

// The playback area's title bar: title, delete or unlock, pop-out to the auxiliary screen,
// close.
class TESKVIDEOSEARCH_EXPORT CClipPlaybackTitle : public QWidget
{
    Q_OBJECT
public:
    explicit CClipPlaybackTitle(QWidget *parent = nullptr);
    ~CClipPlaybackTitle() override;

    void SetTitle(const QString &title);
    void AdjustButtonsToKind(int video_type);
    void SetButtonsEnabled(bool delete_enabled, bool aux_enabled);
    Ui::CClipPlaybackTitle *Form() const;

signals:
    void SignalDeleteClicked();
    void SignalUnlockClicked();
    void SignalCloseClicked();
    void SignalPopAuxBtnClicked();

private:
    std::shared_ptr<UClipPlaybackTitleData> data_;
};

} // namespace TeskVideoSearch
