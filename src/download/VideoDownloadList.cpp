#include "download/VideoDownloadList.h"

#include "search/CommonFunction.h"

#include "plexacontrol/StringConvert.h"
#include "uidatacontroller/DownloadFrameForVideoSearch.h"
#include "uidatacontroller/VideoListFram.h"

#include <QStandardItem>

#include <algorithm>

using TeskVideoSearch::CVideoDownloadInfo;

namespace tesk_ui_data_controller {

namespace {

constexpr int kFileRowKind = 2;
constexpr int kNameMaxLength = 128;
constexpr int kExportFileType = 3;

QString CameraPrefix(const CVideoDownloadInfo &info)
{
    const auto camera = info.GetVal_ptr_camera_for_play();
    if (!camera)
        return QStringLiteral("__");
    return PlexaControl::StringToQString(camera->GetAreaName()) + "_" +
           PlexaControl::StringToQString(camera->GetCameraName()) + "_";
}

QString RangeForName(std::string range)
{
    std::replace(range.begin(), range.end(), '-', '_');
    range.erase(std::remove(range.begin(), range.end(), ' '), range.end());
    return PlexaControl::StringToQString(range);
}

// The cells shared by per-file and merged rows.
QStandardItem *NewCell(const CVideoDownloadInfo &info, int data_index, int file_index,
                       DownloadHeadIndex column, const QString &name, const QString &range)
{
    auto *item = new QStandardItem;
    item->setData(kExportFileType, RoleExportFileType);
    switch (column) {
    case HeadFileName: {
        const auto camera = info.GetVal_ptr_camera_for_play();
        item->setText(name);
        item->setData(kFileRowKind, RoleRowKind);
        item->setData(CVideoListFramModel::FileMatchRegExpr(), RoleNamePattern);
        item->setData(kNameMaxLength, RoleNameMaxLength);
        item->setData(data_index, RoleDataIndex);
        item->setData(file_index, RoleFileIndex);
        item->setData(camera && !camera->GetStreamSecretKey().empty(), RoleHasSecretKey);
        break;
    }
    case HeadTimeRange:
        item->setText(range);
        item->setEditable(false);
        break;
    default:
        item->setText(CVideoListFramModel::SwitchFileType(kExportFileType));
        item->setEditable(false);
        break;
    }
    return item;
}

} // namespace

void CDataStorage<CVideoDownloadInfo>::SetData(const QVector<CVideoDownloadInfo> &data)
{
    qvc_data_ = data;
}

void CDataStorage<CVideoDownloadInfo>::SetTmTypeAndMerge(
    const TeskVideoSearch::DownloadTimeType &tm_type, bool is_merge)
{
    tm_type_ = tm_type;
    is_merge_ = is_merge;
}

int CDataStorage<CVideoDownloadInfo>::GetAllDatas(QVector<CVideoDownloadInfo> &out)
{
    // Deep copies: the names written below must not reach the records this storage keeps.
    out.clear();
    for (const CVideoDownloadInfo &record : qvc_data_)
        out.push_back(CVideoDownloadInfo(*record.GetDataPtr()));
    CVideoListFramModel *model = GetModel();
    for (int row = 0; model && row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, HeadFileName);
        if (!index.isValid())
            continue;
        const int data_index = index.data(RoleDataIndex).toInt();
        const int file_index = index.data(RoleFileIndex).toInt();
        if (data_index < 0 || data_index >= out.size())
            continue;
        auto &names = out[data_index].GetDataPtr()->qvc_custom_file_name;
        if (file_index < 0 || file_index >= names.size())
            continue;
        names[file_index] = PlexaControl::QStringToString(index.data().toString());
    }
    return out.size();
}

int CDataStorage<CVideoDownloadInfo>::ReloadDataToModel(bool is_merge)
{
    CVideoListFramModel *model = GetModel();
    if (!model)
        return 0;
    // The fill replaces this storage: work from copies.
    const QVector<CVideoDownloadInfo> data = qvc_data_;
    const TeskVideoSearch::DownloadTimeType tm_type = tm_type_;
    TeskVideoSearch::FillDownloadListModel(model, data, tm_type, is_merge);
    return model->rowCount();
}

QStandardItem *CDataStorage<CVideoDownloadInfo>::NewModelItem(const CVideoDownloadInfo &info,
                                                              int data_index, int file_index,
                                                              DownloadHeadIndex column)
{
    std::string range = info.GetVal_merged_file_time_range().toStdString();
    const QString range_text = info.GetVal_merged_file_time_range();
    range.erase(std::remove_if(range.begin(), range.end(),
                               [](char c) { return c == '/' || c == ':' || c == ' '; }),
                range.end());
    return NewCell(info, data_index, file_index, column, CameraPrefix(info) + RangeForName(range),
                   range_text);
}

CFileStepVisitor<CVideoDownloadInfo>::CFileStepVisitor(const CVideoDownloadInfo &info)
    : info_(info)
{}

int CFileStepVisitor<CVideoDownloadInfo>::Count() const
{
    return info_.GetDataPtr()->playback_files.size();
}

bool CFileStepVisitor<CVideoDownloadInfo>::HaveNext()
{
    return index_ < Count();
}

CVideoDownloadInfo CFileStepVisitor<CVideoDownloadInfo>::Next()
{
    CVideoDownloadInfo step(*info_.GetDataPtr());
    auto &data = *step.GetDataPtr();
    if (index_ < data.playback_files.size())
        data.playback_files = {data.playback_files[index_]};
    if (index_ < data.qvc_custom_file_name.size())
        data.qvc_custom_file_name = {data.qvc_custom_file_name[index_]};
    if (index_ < data.qvc_file_time_range.size())
        data.qvc_file_time_range = {data.qvc_file_time_range[index_]};
    ++index_;
    return step;
}

QStandardItem *CFileStepVisitor<CVideoDownloadInfo>::NewRowItem(CVideoDownloadInfo info,
                                                                int data_index, int file_index,
                                                                DownloadHeadIndex column)
{
    const auto &ranges = info.GetDataPtr()->qvc_file_time_range;
    const std::string range = ranges.isEmpty() ? std::string() : ranges.front();
    const QString name =
        CameraPrefix(info) +
        RangeForName(range.empty() ? range
                                   : TeskVideoSearch::CCommonFunction::TransformTime(range));
    return NewCell(info, data_index, file_index, column, name,
                   PlexaControl::StringToQString(range));
}

} // namespace tesk_ui_data_controller

namespace TeskVideoSearch {

using namespace tesk_ui_data_controller;
using VideoStorage = CDataStorage<CVideoDownloadInfo>;
using VideoVisitor = CFileStepVisitor<CVideoDownloadInfo>;

int DownloadListHeight(int file_count)
{
    constexpr int kRowHeight = 37;
    constexpr int kFrameHeight = 30;
    constexpr int kRowsShown = 4;
    // The header row and up to four file rows; more scroll.
    return (std::min(file_count, kRowsShown) + 1) * kRowHeight + kFrameHeight;
}

void FillDownloadListModel(CVideoListFramModel *model, const QVector<CVideoDownloadInfo> &records,
                           const DownloadTimeType &tm_type, bool is_merge)
{
    if (!model)
        return;
    model->removeRows(0, model->rowCount());
    auto storage = std::make_shared<VideoStorage>();
    storage->SetModel(model);
    const int columns = std::min<int>(model->columnCount(), HeadColumnCount);
    if (is_merge)
        storage->SetTmTypeAndMerge(tm_type, true);
    for (int d = 0; d < records.size(); ++d) {
        if (is_merge) {
            QList<QStandardItem *> row;
            for (int column = 0; column < columns; ++column)
                row << VideoStorage::NewModelItem(records[d], d, 0,
                                                  static_cast<DownloadHeadIndex>(column));
            model->appendRow(row);
            continue;
        }
        VideoVisitor visitor(records[d]);
        for (int f = 0; visitor.HaveNext(); ++f) {
            const CVideoDownloadInfo step = visitor.Next();
            QList<QStandardItem *> row;
            for (int column = 0; column < columns; ++column)
                row << visitor.NewRowItem(step, d, f, static_cast<DownloadHeadIndex>(column));
            model->appendRow(row);
        }
    }
    storage->SetData(records);
    model->SetDataStorage(storage);
}

void ShowDownloadList(CDownloadFrameForVideoSearch *frame,
                      const QVector<CVideoDownloadInfo> &records, const DownloadTimeType &tm_type)
{
    if (!frame)
        return;
    int count = 0;
    for (const CVideoDownloadInfo &record : records)
        count += VideoVisitor(record).Count();
    CVideoListFram *list = frame->GetVideoListFram();
    list->setFixedHeight(DownloadListHeight(count));
    list->show();
    if (CVideoListFramModel *model = list->GetDataModel())
        FillDownloadListModel(model, records, tm_type, false);
}

} // namespace TeskVideoSearch
