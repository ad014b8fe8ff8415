#pragma once

#include "TeskVideoSearchExport.h"

#include "search/WidgetRecords.h"

#include "playcontroller/RecordChange.h"
#include "playwindow/PlaybackTypes.h"

#include <QFrame>
#include <QPair>

#include <memory>

namespace teskplaywindow {
class CPlaybackWindow;
}

namespace TeskVideoSearch {

class CVideoSearchExpandInterface;
class CPlaybackBottomWidget;
class CClipPlaybackTitle;
class CClipPlaybackBaseInfoWidget;
class CVideoDetailDialog;
struct UClipPlaybackWidgetData;

// The detail area that plays a chosen result: play window, base information and map tabs,
// page control, tag editing, delete/unlock, full screen and the auxiliary screen.
class TESKVIDEOSEARCH_EXPORT CClipPlaybackWidget : public QFrame
{
    Q_OBJECT
public:
    // Camera element type of a body-worn camera, whose stream carries GPS records.
    static constexpr int kBodyCameraType = 107;
    // Resource type the host is asked about for the map tab.
    static constexpr int kMapResourceType = 1001;
    static constexpr int kTabHeight = 40;
    static constexpr int kMinInfoHeight = 242;

    explicit CClipPlaybackWidget(QWidget *parent = nullptr);
    ~CClipPlaybackWidget() override;

    void InitWidget(CVideoSearchExpandInterface *expand, QWidget *owner);
    void SetPlaybackWindow(teskplaywindow::CPlaybackWindow *play_window, QWidget *track_widget);
    void SetPlaybackParam(CClipPlaybackParam &param);
    void GetPlaybackParam(CClipPlaybackParam &param) const;
    void StopPlayback();
    void ClosePlaybackWidget(bool ask_save);
    void SetPreviosuAndNextButton(bool previous, bool next);
    void UpdatePlaybackDataID(const int &id);
    bool IsCheckedAutoPlay() const;
    QWidget *GetFullScreenWidget() const;
    bool IsModifiedTagInfo() const;
    void GetModifyTagParam(
        QPair<teskplaycontroller::COperatLabelParam, QPair<VideoDataType, int>> &out) const;
    void UpdatePlaybackWidgetHeight(const QSize &size);

    teskplaywindow::CPlaybackWindow *GetPlayWindow() const;
    CPlaybackBottomWidget *GetBottomWidget() const;
    CClipPlaybackTitle *GetTitleWidget() const;
    CClipPlaybackBaseInfoWidget *GetBaseInfoWidget() const;
    CVideoDetailDialog *GetDetailDialog() const;
    int GetTabCount() const;
    int GetInfoPageHeight() const;

signals:
    void SignalPlaybackCustomData(int data_id, bool is_manual);
    void SignalClosePlayback();
    void SignalDeleteCurrentFile();
    void SignalUnlockCurrentFile();
    void SignalModifyTagInfo();
    void SignalExitVisualTracking();
    void SignalStartOrExitFullScreen(bool is_start_full);

public slots:
    void OnStartFullScreen();
    void OnExitFullScreen();
    void OnPlaybackEvent(teskplaywindow::CPlaybackEvent event);
    void OnGoToOtherModule();
    void OnCurrentTabBarChanged(int index);
    void OnStreamGPSInfo(teskplaywindow::CStreamGPSInfo info);
    void OnModifyBtnClicked();
    void OnCloseBtnClicked();
    void OnPopAuxBtnClicked();
    void OnExitDetailDialog();

protected:
    // The operator's answer to "save the edited tag?"; true saves.
    virtual bool CheckSaveModifiedTagInfo();
    void resizeEvent(QResizeEvent *event) override;

private:
    void CreatePlayWindow();
    void ConnectPlayWindow();
    void ClearFile();
    void UpdateBaseInfo();
    void UpdateTagBaseInfo();
    void UpdateMapTab();
    void LoadMapInfo();
    void UpdatePageControllWidgetInfoAndPos();
    void ExitDetailDialog(bool show);
    QString FilesTimeRange() const;

    std::shared_ptr<UClipPlaybackWidgetData> data_;
};

} // namespace TeskVideoSearch
