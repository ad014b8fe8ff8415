#pragma once

#include "TeskVideoSearchExport.h"
#include "download/VideoDownloadInfo.h"

#include "uidatacontroller/DownloadFrameDef.h"

#include <QVector>

class QStandardItem;

namespace tesk_ui_data_controller {

class CDownloadFrameForVideoSearch;
class CVideoListFramModel;

// The records behind one download list, with the list's time type and merge flag.
template<>
class TESKVIDEOSEARCH_EXPORT CDataStorage<TeskVideoSearch::CVideoDownloadInfo>
    : public CBaseDataStorage
{
public:
    CDataStorage() = default;
    CDataStorage(const CDataStorage &) = default;
    CDataStorage(CDataStorage &&) = default;
    CDataStorage &operator=(const CDataStorage &) = default;
    CDataStorage &operator=(CDataStorage &&) = default;
    ~CDataStorage() override = default;

    void SetData(const QVector<TeskVideoSearch::CVideoDownloadInfo> &data);
    void SetTmTypeAndMerge(const TeskVideoSearch::DownloadTimeType &tm_type, bool is_merge);
    // The records with the names shown in the list; the number of records.
    int GetAllDatas(QVector<TeskVideoSearch::CVideoDownloadInfo> &out);
    // Refills the model, replacing this storage; the model's row count, 0 without a model.
    int ReloadDataToModel(bool is_merge) override;

    // One cell of a merged row.
    static QStandardItem *NewModelItem(const TeskVideoSearch::CVideoDownloadInfo &info,
                                       int data_index, int file_index, DownloadHeadIndex column);

private:
    QVector<TeskVideoSearch::CVideoDownloadInfo> qvc_data_;
    bool is_merge_ = false;
    TeskVideoSearch::DownloadTimeType tm_type_{};
};

// A cursor over the groups of one record, each handed out as a record of its own.
template<>
class TESKVIDEOSEARCH_EXPORT CFileStepVisitor<TeskVideoSearch::CVideoDownloadInfo>
{
public:
    explicit CFileStepVisitor(const TeskVideoSearch::CVideoDownloadInfo &info);
    CFileStepVisitor(const CFileStepVisitor &) = default;
    CFileStepVisitor(CFileStepVisitor &&) = default;
    CFileStepVisitor &operator=(const CFileStepVisitor &) = default;
    CFileStepVisitor &operator=(CFileStepVisitor &&) = default;

    int Count() const;
    bool HaveNext();
    TeskVideoSearch::CVideoDownloadInfo Next();
    // One cell of a per-file row.
    QStandardItem *NewRowItem(TeskVideoSearch::CVideoDownloadInfo info, int data_index,
                              int file_index, DownloadHeadIndex column);

private:
    int32_t index_ = 0;
    TeskVideoSearch::CVideoDownloadInfo info_;
};

} // namespace tesk_ui_data_controller

namespace TeskVideoSearch {

// Height of the side panel's list for a number of files.
TESKVIDEOSEARCH_EXPORT int DownloadListHeight(int file_count);

// (Re)builds the download list from the records: a row per group, or a row per record when
// merged. The model takes a new storage of the records.
TESKVIDEOSEARCH_EXPORT void
FillDownloadListModel(tesk_ui_data_controller::CVideoListFramModel *model,
                      const QVector<CVideoDownloadInfo> &records, const DownloadTimeType &tm_type,
                      bool is_merge);

// Sizes and shows the side panel's list, filled unmerged.
TESKVIDEOSEARCH_EXPORT void
ShowDownloadList(tesk_ui_data_controller::CDownloadFrameForVideoSearch *frame,
                 const QVector<CVideoDownloadInfo> &records, const DownloadTimeType &tm_type);

} // namespace TeskVideoSearch
