#pragma once

#include "TeskVideoSearchExport.h"
#include "data/CustomVideoData.h"
#include "search/SearchRecords.h"
#include "search/WidgetRecords.h"

#include "playcontroller/TakeThumbnailController.h"

#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

namespace TeskVideoSearch {

class CVideoSearchController;
struct VideoDataManagerData;

using CustomVideoDataPtr = std::shared_ptr<CCustomVideoData>;
using CameraItemsRun = std::pair<teskplaycontroller::CResourceKey, std::vector<CustomVideoDataPtr>>;
using ResourceNumMap = QMap<QPair<QString, QString>, int>;

// The data behind one result page: what the page shows (kind, camera filter, order, time
// type, number of rows), the rows of a range as display items, and their thumbnails. Used on
// the user-interface thread only.
class TESKVIDEOSEARCH_EXPORT CVideoDataManager : public QObject
{
    Q_OBJECT
public:
    explicit CVideoDataManager(QObject *parent = nullptr);
    ~CVideoDataManager() override;

    void InitDataParam(CVideoDataInitParam &param,
                       std::shared_ptr<CVideoSearchController> controller);

    void UpdateFilterCamera(const QVector<CResourceKey> &cameras);
    QVector<CResourceKey> GetFilterCamera();
    void UpdateFileSortType(const FileSortType &sort_type);
    FileSortType GetFileSortType();
    void UpdateDataTimeType(const TimeTypePair &time_type);
    TimeTypePair GetDataTimeType();
    VideoDataType GetDataType();
    FilterVCADataType GetVCADataChildType();
    void UpdateScrollAreaViewPortWidth(const int &width);
    int GetScrollAreaViewPortWidth();

    // Stores a new row count; a positive new count announces SignalDataPrepared when asked.
    void SetCurrentDataNum(const int &number, const bool &notify);
    int GetDataNum();
    // Per-camera counts of the page kind, for pages kept in camera order.
    void UpdataDataNumBySearchFinished();

    // Display items of rows begin..end (inclusive); nothing for a range outside the rows.
    std::vector<CustomVideoDataPtr> GetDataByIndex(const int &begin, const int &end);
    // Groups consecutive items of the same camera.
    void ConvertData(std::vector<CameraItemsRun> &out,
                     const std::vector<CustomVideoDataPtr> &items);

    // Asks the picture of a camera at a time; the answer comes as SignalThumbnailFinished.
    // False only when no controller is set.
    bool GetThumbnailByTime(const teskplaycontroller::ThumbnailKey &key);
    void StopLoadThumbnail();

signals:
    void SignalScrollAreaViewPortWidthChanged(int width);
    void SignalDataPrepared();
    void SignalLoadEndDataToList(int begin_index, int end_index);
    void SignalLoadBeginDataToList(int begin_index, int end_index);
    void SignalThumbnailFinished(teskplaycontroller::ThumbnailKey thumbnail_key,
                                 teskplaycontroller::ThumbnailResult thumbnail_result);
    void SignalUpdateResourceNum(QMap<QPair<QString, QString>, int> map_resource_num);

private:
    struct CameraFlags
    {
        bool is_regular = false;
        bool split_by_length = false;
        bool search_by_image = false;
        bool thumbnail_supported = false;
    };
    CameraFlags GetCameraFlags(const CResourceKey &camera);
    std::shared_ptr<teskplaycontroller::CCameraForPlay>
    FindCameraForPlay(const std::string &camera_id);

    std::shared_ptr<VideoDataManagerData> data_;
};

} // namespace TeskVideoSearch

Q_DECLARE_METATYPE(TeskVideoSearch::ResourceNumMap)
