#pragma once

#include "TeskVideoSearchExport.h"
#include "panels/AbstractSearchWidget.h"

#include <QVector>

#include <memory>

namespace TeskVideoSearch {

struct CLockVideoSearchWidgetData;

// The page of locked recordings (kind 5): searches on its own controller and drops a
// recording from its rows once it is unlocked.
class TESKVIDEOSEARCH_EXPORT CLockVideoSearchWidget : public CAbstractSearchWidget
{
    Q_OBJECT
public:
    explicit CLockVideoSearchWidget(QWidget *parent = nullptr);
    ~CLockVideoSearchWidget() override;

    void LoadWidget(std::shared_ptr<CVideoSearchController> controller,
                    const VideoDataType &data_type, const FilterVCADataType &filter_type) override;
    void ClearSearchResult(bool cancel) override;
    void StartSearchVideo(teskplaycontroller::CCameraVideoSearchCondition &condition) override;
    bool GetPlaybackParam(CClipPlaybackParam &param) override;
    void GetExportInfo(QVector<CVideoDownloadInfo> &records, DownloadTimeType &time) override;
    void UpdataTimeSliderCurrentFile(const int &data_id) override;
    void DeleteCustomData(teskplaycontroller::CResourceKey &camera, const __int64 &begin,
                          const __int64 &end) override;
    void ReloadSearchVideoData() override;

public slots:
    void OnSearchResult(TeskVideoSearch::ClipSearchEvent search_event);
    void OnUpdateExportBtnState(bool checked);
    void OnDataOperation(TeskVideoSearch::OperationType operation_type, int data_id);
    void OnShowThumbnailWidget();
    void OnShowListWidget();
    void OnCameraFilterChanged();
    void OnSortTypeChanged(int sort_type);
    void OnCameraAboutToDelete(QVector<QString> camera_ids);
    void OnTimeProgressSelectedFileChanged(std::shared_ptr<TeskVideoSearch::TimeSliderFile> file);
    void OnMaxTipCloseBtnClicked();

private:
    std::shared_ptr<CLockVideoSearchWidgetData> data_;
};

} // namespace TeskVideoSearch
