#pragma once

#include "TeskVideoSearchExport.h"
#include "panels/AbstractSearchWidget.h"

#include <QVector>

#include <memory>

namespace TeskVideoSearch {

struct CPersonVehicleVideoSearchWidgetData;

// The page of person (1) or vehicle (2) detections. Both pages share one controller and the
// panel searches once for both.
class TESKVIDEOSEARCH_EXPORT CPersonVehicleVideoSearchWidget : public CAbstractSearchWidget
{
    Q_OBJECT
public:
    explicit CPersonVehicleVideoSearchWidget(QWidget *parent = nullptr);
    ~CPersonVehicleVideoSearchWidget() override;

    void LoadWidget(std::shared_ptr<CVideoSearchController> controller,
                    const VideoDataType &data_type, const FilterVCADataType &filter_type) override;
    void ClearSearchResult(bool cancel) override;
    void StartSearchVideo(teskplaycontroller::CCameraVideoSearchCondition &condition) override;
    bool GetPlaybackParam(CClipPlaybackParam &param) override;
    void GetExportInfo(QVector<CVideoDownloadInfo> &records, DownloadTimeType &time) override;
    void UpdataTimeSliderCurrentFile(const int &data_id) override;

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
    std::shared_ptr<CPersonVehicleVideoSearchWidgetData> data_;
};

} // namespace TeskVideoSearch
