#pragma once

#include "uidatacontroller/DownloadFrameDef.h"

#include <QStandardItemModel>
#include <QWidget>

#include <memory>

class QFontMetrics;
class QTableView;

namespace tesk_ui_data_controller {

// The files of a download: name (editable), time range and file type per row. Owns the
// storage that filled it.
class __attribute__((visibility("default"))) CVideoListFramModel : public QStandardItemModel
{
    Q_OBJECT
public:
    explicit CVideoListFramModel(QObject *parent = nullptr);

    static QString SwitchFileType(int file_type);
    // File names: no path separators or characters that file systems refuse, no leading dot
    // or space, no trailing dot or space.
    static QString FileMatchRegExpr();

    void SetDataStorage(std::shared_ptr<CBaseDataStorage> storage);
    std::shared_ptr<CBaseDataStorage> GetDataStorage() const;

    // Names are checked against the row's pattern and length; a refused name keeps the old.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    void SignalInvalidFileName(QString name);

private:
    std::shared_ptr<CBaseDataStorage> ptr_storage_;
};

// The side panel's list of files.
class __attribute__((visibility("default"))) CVideoListFram : public QWidget
{
    Q_OBJECT
public:
    explicit CVideoListFram(QWidget *parent = nullptr);

    CVideoListFramModel *GetDataModel() const;
    QTableView *GetTableView() const;
    void SetFileTypeColumnHidden(bool hidden);

    // A file name as the list shows it in `width` pixels: whole when it fits; otherwise the
    // middle of what comes before its time range is elided, so that the range and the extension
    // stay readable; a name whose range alone does not fit is elided in its middle.
    static QString ElideFileName(const QString &name, const QFontMetrics &metrics, int width);

private:
    QTableView *ptr_table_view_ = nullptr;
    CVideoListFramModel *ptr_model_ = nullptr;
};

} // namespace tesk_ui_data_controller
