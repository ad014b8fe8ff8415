#pragma once

#include "TeskVideoSearchExport.h"

#include "download/VideoDownloadInfo.h"
#include "search/WidgetRecords.h"
#include "taglock/TagLockOperateEvent.h"

#include <QFrame>
#include <QImage>
#include <QString>
#include <QVector>

#include <memory>
#include <string>

namespace TeskVideoSearch {

class CAbstractSearchWidget;
class CVideoSearchController;
struct UClipVideoSearchWidgetData;

// The module's main widget: the condition column on the left; on the right one tab and one
// result page per kind of recording the last search asked for, and the play area of a chosen
// result. A host constructs it, calls InitWidget once, shows it, then drives it through the
// other operations.
class TESKVIDEOSEARCH_EXPORT ClipVideoSearchWidget : public QFrame
{
    Q_OBJECT
public:
    explicit ClipVideoSearchWidget(QWidget *parent = nullptr);
    ~ClipVideoSearchWidget() override;

    // Once; a second call changes nothing. The result pages appear one event-loop turn later.
    void InitWidget(CClipSearchWidgetInitParam &param);
    // Back to the empty panel (pages are kept); ClearData also resets the condition column.
    void ClearData();
    void HideClearData();
    void UpdateAfterSwitchUser();
    void SetAuxiliaryWidget(const bool &is_auxiliary);
    void AuxScreenWillClose();
    QWidget *GetFullScreenWidget();
    // The records of the download side panel with the operator's choices; nothing before the
    // first export.
    void GetDownloadInfo(QVector<CVideoDownloadInfo> &infos);
    std::string GetDownloadEvidenceInfo();
    // Selects the camera and period a JSON text names; starts no search.
    void GoToClipSearch(const std::string &json);

signals:
    void SignalDownloadVideoFile();
    void SignalStopChase();
    void SignalExpandCollapse(bool is_expand);
    void SignalAuxiliaryChanged(const bool &is_auxiliary);
    void SignalSecondSearch(const QString &site_id, const QString &camera_id,
                            const QImage &src_image);
    void SignalExitVisualTracking();
    void SignalStartOrExitFullScreen(bool is_start_full);

protected:
    // Plays the files of `param` when the operator may; a subclass may route them elsewhere.
    virtual void PlaybackFiles(CClipPlaybackParam &param);

    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void OnUpdateDataTotalNum(VideoDataType data_type, int total_num);
    void OnStartPlaybackVideo(VideoDataType data_type, const int &data_id);
    void OnExportButtonClicked(VideoDataType data_type);
    void OnCurrentTabBarChanged(int index);
    void OnResultDataChanged(bool is_update_page_index);
    void OnPlaybackCustomData(int data_id, bool is_manual);
    void OnSearchBtnClicked();
    void OnDeleteCurrentFile();
    void OnTagLockOperateFinished(const CTagLockOperateEvent &operate_event);
    void OnPlaybackClose();
    void OnExpandCollapseConditionWidget(bool is_expand);
    void OnPopupAuxiliaryWidget();
    void OnTagSaveInfo();
    void OnExportVideoFile();

private:
    void InitSearchResultWidget();
    void LoadResultWidget();
    void ClearSearchResult();
    void ClearPanel(bool reset_condition);
    bool GetSearchConditionParam(teskplaycontroller::CCameraVideoSearchCondition &condition);
    teskplaycontroller::CCameraVideoSearchCondition
    PrepareSearch(const teskplaycontroller::CCameraVideoSearchCondition &condition,
                  teskplaycontroller::VideoSearchType search_type) const;
    void StartSearchAllVideo(const teskplaycontroller::CCameraVideoSearchCondition &condition);
    void StartSearchLockVideo(const teskplaycontroller::CCameraVideoSearchCondition &condition);
    void StartSearchTagVideo(const teskplaycontroller::CCameraVideoSearchCondition &condition,
                             const QVector<VideoDataType> &kinds, int label_type);
    void
    StartSearchPersonVehicleVideo(const teskplaycontroller::CCameraVideoSearchCondition &condition,
                                  const QVector<VideoDataType> &kinds, int event_type);
    void StartSharedSearch(const std::shared_ptr<CVideoSearchController> &controller,
                           teskplaycontroller::CCameraVideoSearchCondition &prepared,
                           const QVector<VideoDataType> &kinds);
    void UpdateValidTabBtn(const QVector<VideoDataType> &kinds);
    QString GetTabName(VideoDataType data_type, int count) const;
    int GetValidResultIndex() const;
    void SetCurrentTabWidget(int index);
    void UpdateTabBarWidth();
    void ShowDefaultTipWidget(bool show);
    void UpdateDefaultTipWidgetSize();
    void PlayFromPage(CAbstractSearchWidget *page, VideoDataType data_type, int data_id);
    VideoDataType ShownKind() const;
    CAbstractSearchWidget *ShownPage() const;
    bool ConfirmOperation(const QString &question);
    void ClearOperationPopup();
    bool HasPlayBackPermission(const QString &site_id, const QString &camera_id);
    bool HasCameraPermission(const QString &site_id, const QString &camera_id, int item);
    void UnlockFileFromDevice(const CClipPlaybackParam &param);
    void DeleteLabelFileFromServer(const CClipPlaybackParam &param);
    void ApplyModifiedTagLocally();
    void ClosePlaybackAfterChange();
    void RemovePlayingSpanFromLocal(bool is_unlock);
    void FixPlaybackWidth();

    std::shared_ptr<UClipVideoSearchWidgetData> ptr_data_;
};

} // namespace TeskVideoSearch
