#pragma once

#include "TeskVideoSearchExport.h"
#include "search/SearchRecords.h"

#include "playcontroller/SearchCondition.h"
#include "pluginmanager/ResourceData.h"

#include <QObject>
#include <QString>
#include <QVector>

#include <memory>
#include <string>

class QWidget;

namespace TeskVideoSearch {

struct VideoSearchControllerData;

// Runs the camera and VCA searches of one result group, keeps their results per camera and per
// segment, and reports progress as ClipSearchEvents. Lives on the user-interface thread; the
// services' observer callbacks only re-emit their answers, which Qt queues to this thread.
class TESKVIDEOSEARCH_EXPORT CVideoSearchController
    : public QObject,
      public teskplaycontroller::CCameraVideoSearchObserver,
      public teskplaycontroller::CVCAIncrementalObserver
{
    Q_OBJECT
public:
    using CameraParam = teskplaycontroller::CCameraVideoSearchObserver::Param;
    using VCAParam = teskplaycontroller::CVCAIncrementalObserver::Param;

    explicit CVideoSearchController(QWidget *parent = nullptr);
    ~CVideoSearchController() override;

    // False when the service refuses to start the search.
    bool SearchCameraFiles(teskplaycontroller::CCameraVideoSearchCondition &condition,
                           const int &split_duration);
    bool SearchVCAFiles(teskplaycontroller::CVCAIncrementalCondition &condition);
    void CancelSearch(bool restart);
    bool IsSearching();
    void OpenVCAConfig(const std::string &first, const std::string &second);

    void GetCurrentSearchParam(teskplaycontroller::CCameraVideoSearchCondition &out);
    void GetCurrentVCASearchParam(teskplaycontroller::CVCAIncrementalCondition &out);
    QVector<CCameraBaseInfo> GetSearchSuccessCameraInfo();

    int GetTotalFileNum(const VideoDataType &type, const QVector<CResourceKey> &cameras);
    int GetSingleCameraFilesNum(const VideoDataType &type, CResourceKey &camera);
    void GetVCAPersonOrVehicleFileNum(int &person, int &vehicle);
    void GetVCAIsPersonIsVehicleFileNum(int &both);

    void DeleteUnLabelFile(CResourceKey &camera, const int64_t &begin, const int64_t &end);
    void DeleteUnlockFile(CResourceKey &camera, const int64_t &begin, const int64_t &end);

    static ResourceData::OrlVideoSearchType
    SwitchSearchType(const teskplaycontroller::VideoSearchType &type);

    // Result extraction and splitting.
    void GetVideoFiles(CameraFilesList &out, CVideoFileParam &param);
    static bool IsOverlapTime(std::shared_ptr<CPlaybackFile> file, const int64_t &begin,
                              const int64_t &end);
    void SplitAllOriginFiles(const int &split_duration, const QString &split_guid);
    int SplitCustomFiles(CVideoSplitInfo &info);
    void ClearSecondSplitParam();

    // Observer callbacks: run on service threads and only emit.
    void UpdateCameraSearchState(const CameraParam &param) override;
    void UpdateSearchVideoSearchState(const VCAParam &param) override;

public slots:
    void OnTimerCircleGetSearchData();

signals:
    void
    SignalUpdateCameraSearchState(teskplaycontroller::CCameraVideoSearchObserver::Param stru_param);
    void SignalUpdateVCASearchState(teskplaycontroller::CVCAIncrementalObserver::Param stru_param);
    void SignalSearchResult(TeskVideoSearch::ClipSearchEvent search_event);
    void SignalAllOriginFilesSplitFinished(QString current_split_guid);

private slots:
    void OnUpdateCameraSearchState(teskplaycontroller::CCameraVideoSearchObserver::Param param);
    void OnUpdateVCASearchState(teskplaycontroller::CVCAIncrementalObserver::Param param);

private:
    // Camera search answers.
    void TakeCameraAnswers();
    void DealCameraSearchState(const CameraParam &param);
    void DealSingleCameraSearchSuccessed(const CameraParam &param);
    void DealSingleCameraSearchFailed(const CameraParam &param);
    void DealAllSearchFinished(const CameraParam &param);
    void DealSearchInterrupted(const CameraParam &param);
    void SaveCommonVideoFiles(const CameraParam &param);
    void AddFileData(CResourceKey &camera, const PlaybackFileVector &files);
    int GetSourceFileCount();

    // VCA answers.
    void DealVCASearchSuccessed(const VCAParam &param);
    void DealVCASearchFailed(const VCAParam &param);
    void DealVCASearchFinished(const VCAParam &param);
    void DealVCAResultMoreThanMax(const VCAParam &param);
    bool PullVCABatch(int batch_size);
    void StopVCATimer();

    // Failure notifications and audit records (SearchFailureReport.cpp).
    // Audits a VCA failure and reports it; false when a notification took the event's place.
    bool ReportVCASearchFailure(const VCAParam &param, CClipSearchEventData &event_data);
    void WriteOperationLog(const CameraParam &param);
    void WriteVCAOperationLog(const VCAParam &param);
    QString GetClipTypeName(const teskplaycontroller::VideoSearchType &type);
    QString GetVCATypeName(const teskplaycontroller::VCASearchType &type);
    QString GetStorageLocationName(const ResourceData::StorageLocation &location);
    QString GetStorageMediaName(const ResourceData::StorageMediaType &media);
    QString GetFailureReason(const Quor::Base::Error::ErrorCode &code, const std::string &text);
    void ShowFailureNotification(const QString &text);

    // Extraction.
    void GetCommonVideoFiles(CameraFilesList &out, CVideoFileParam &param);
    void GetTagVideoFiles(CameraFilesList &out, CVideoFileParam &param);
    void GetPersonVehicleVideoFiles(CameraFilesList &out, CVideoFileParam &param);
    void GetCutVideoFiles(CameraFilesList &out, CVideoFileParam &param);
    void GetVideoFilesByIndex(CameraFilesList &out, const CameraFilesList &list,
                              const int &begin_index, const int &end_index);
    void SplitOriginalFile(CCameraBaseInfo &camera);

    std::shared_ptr<VideoSearchControllerData> data_;
};

} // namespace TeskVideoSearch
