#pragma once

#include "TeskVideoSearchExport.h"
#include "download/VideoDownloadInfo.h"
#include "search/SearchRecords.h"
#include "search/SearchTypes.h"
#include "search/WidgetRecords.h"

#include "playcontroller/SearchCondition.h"

#include <QImage>
#include <QPair>
#include <QString>
#include <QVector>
#include <QWidget>

#include <memory>
#include <vector>

namespace TeskVideoSearch {

class CVideoSearchController;
class CSearchPageCore;

// The result page of one kind of recording. The main panel drives every page through this
// interface: it binds the page to its controller once, clears and starts searches, and asks
// which files to play or export; the page reports its count and the operator's requests
// through the signals.
class TESKVIDEOSEARCH_EXPORT CAbstractSearchWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CAbstractSearchWidget(QWidget *parent = nullptr);
    ~CAbstractSearchWidget() override;

    virtual void InitWidgetParam(CClipSearchWidgetInitParam &param);
    // Binds the page to its controller and creates its data manager; the page's own part
    // (form, connections) runs on the first call only.
    virtual void LoadWidget(std::shared_ptr<CVideoSearchController> controller,
                            const VideoDataType &data_type, const FilterVCADataType &filter_type);
    virtual void ClearSearchResult(bool cancel);
    virtual void StartSearchVideo(teskplaycontroller::CCameraVideoSearchCondition &condition);
    // Fills `param` for param.current_data_id; false when that result is not on the page.
    virtual bool GetPlaybackParam(CClipPlaybackParam &param);
    virtual void GetExportInfo(QVector<CVideoDownloadInfo> &records, DownloadTimeType &time);
    virtual void UpdateCustomData(const int &data_id);
    virtual void DeleteCustomData(teskplaycontroller::CResourceKey &camera, const __int64 &begin,
                                  const __int64 &end);
    virtual void ReloadSearchVideoData();
    virtual void UpdataTimeSliderCurrentFile(const int &data_id);

    std::shared_ptr<CVideoSearchController> SearchController() const;
    std::shared_ptr<CVideoDataManager> DataManager() const;

signals:
    void SignalUpdateDataTotalNum(TeskVideoSearch::VideoDataType data_type, int total_num);
    void SignalStartPlaybackVideo(TeskVideoSearch::VideoDataType data_type, const int &data_id);
    void SignalExportBtnClicked(TeskVideoSearch::VideoDataType data_type);
    void SignalSecondSearch(const QString &site_id, const QString &camera_id,
                            const QImage &src_image);
    void SignalResultDataChanged(bool is_update_page_index);

protected:
    friend class CSearchPageCore;

    // One band per playback file, indexed by its row so that a click finds the result again;
    // `camera_files` are the rows from `first_data_id` on. Empty until the page is bound.
    virtual std::vector<std::shared_ptr<TimeSliderFile>>
    GetTimeSliderFile(const CameraFilesList &camera_files, int first_data_id = 0);

    std::shared_ptr<CAbstractSearchWidgetData> base_data_;
};

} // namespace TeskVideoSearch

Q_DECLARE_METATYPE(TeskVideoSearch::VideoDataType)
