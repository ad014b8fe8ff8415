#pragma once

#include "TeskVideoSearchExport.h"
#include "panels/AbstractSearchWidget.h"
#include "timebar/AnimationProgressBar.h"

#include <QVector>

#include <memory>

namespace TeskVideoSearch {

struct AllVideoSearchWidgetData;

// The page of regular recordings (kind 0): segments on the time bar, a level change that
// splits them again, and a second split of one recording with a bar to step back.
class TESKVIDEOSEARCH_EXPORT CAllVideoSearchWidget : public CAbstractSearchWidget
{
    Q_OBJECT
public:
    explicit CAllVideoSearchWidget(QWidget *parent = nullptr);
    ~CAllVideoSearchWidget() override;

    void LoadWidget(std::shared_ptr<CVideoSearchController> controller,
                    const VideoDataType &data_type, const FilterVCADataType &filter_type) override;
    void ClearSearchResult(bool cancel) override;
    void StartSearchVideo(teskplaycontroller::CCameraVideoSearchCondition &condition) override;
    bool GetPlaybackParam(CClipPlaybackParam &param) override;
    void GetExportInfo(QVector<CVideoDownloadInfo> &records, DownloadTimeType &time) override;
    void UpdataTimeSliderCurrentFile(const int &data_id) override;

public slots:
    void OnSearchResult(TeskVideoSearch::ClipSearchEvent search_event);
    void OnAllFileSplitFinished(QString current_split_guid);
    void OnUpdateExportBtnState(bool checked);
    void OnDataOperation(TeskVideoSearch::OperationType operation_type, int data_id);
    void OnShowThumbnailWidget();
    void OnShowListWidget();
    void OnCameraFilterChanged();
    void OnSortTypeChanged(int sort_type);
    void OnBackRecordChanged(int record_index);
    void OnCameraAboutToDelete(QVector<QString> camera_ids);
    void OnTimeProgressLevelChanged(TeskVideoSearch::CAnimationProgressBar::TotalValue level);
    void OnTimeProgressSelectedFileChanged(std::shared_ptr<TeskVideoSearch::TimeSliderFile> file);
    void OnMaxTipCloseBtnClicked();

private:
    void SecondSplitVideo(int data_id);
    // Shows the rows of the search again after a split, at the split length of the time bar.
    void ShowSplitResult();

    std::shared_ptr<AllVideoSearchWidgetData> data_;
};

} // namespace TeskVideoSearch
