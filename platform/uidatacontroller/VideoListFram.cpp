#include "VideoListFram.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace tesk_ui_data_controller {

namespace {

// Edits a name with the row's own pattern and length limit.
class CNameDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *line = qobject_cast<QLineEdit *>(editor)) {
            line->setObjectName("ptr_name_editor_");
            const QString pattern = index.data(RoleNamePattern).toString();
            if (!pattern.isEmpty())
                line->setValidator(
                    new QRegularExpressionValidator(QRegularExpression(pattern), line));
            if (index.data(RoleNameMaxLength).toInt() > 0)
                line->setMaxLength(index.data(RoleNameMaxLength).toInt());
        }
        return editor;
    }
};

} // namespace

void CBaseDataStorage::SetModel(CVideoListFramModel *model)
{
    ptr_model_ = model;
}

CVideoListFramModel *CBaseDataStorage::GetModel() const
{
    return ptr_model_.data();
}

CVideoListFramModel::CVideoListFramModel(QObject *parent)
    : QStandardItemModel(0, HeadColumnCount, parent)
{
    setHorizontalHeaderLabels({tr("FileName"), tr("TimeRange"), tr("FileType")});
}

QString CVideoListFramModel::SwitchFileType(int file_type)
{
    return file_type == 3 ? QStringLiteral("MP4") : QString();
}

QString CVideoListFramModel::FileMatchRegExpr()
{
    return QStringLiteral(
        R"(^[^\\/:*?"<>|\x00-\x1f. ]([^\\/:*?"<>|\x00-\x1f]*[^\\/:*?"<>|\x00-\x1f. ])?$)");
}

void CVideoListFramModel::SetDataStorage(std::shared_ptr<CBaseDataStorage> storage)
{
    ptr_storage_ = std::move(storage);
}

std::shared_ptr<CBaseDataStorage> CVideoListFramModel::GetDataStorage() const
{
    return ptr_storage_;
}

bool CVideoListFramModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role == Qt::EditRole && index.column() == HeadFileName) {
        const QString name = value.toString();
        const QString pattern = index.data(RoleNamePattern).toString();
        const int max_length = index.data(RoleNameMaxLength).toInt();
        const bool matches =
            pattern.isEmpty() || QRegularExpression(pattern).match(name).hasMatch();
        if (!matches || (max_length > 0 && name.size() > max_length)) {
            emit SignalInvalidFileName(name);
            return false;
        }
    }
    return QStandardItemModel::setData(index, value, role);
}

CVideoListFram::CVideoListFram(QWidget *parent)
    : QWidget(parent)
{
    setObjectName("ptr_video_list_fram_");
    ptr_table_view_ = new QTableView(this);
    ptr_table_view_->setObjectName("ptr_file_table_view_");
    ptr_model_ = new CVideoListFramModel(this);
    ptr_table_view_->setModel(ptr_model_);
    ptr_table_view_->setItemDelegateForColumn(HeadFileName, new CNameDelegate(ptr_table_view_));
    ptr_table_view_->setEditTriggers(QAbstractItemView::DoubleClicked |
                                     QAbstractItemView::EditKeyPressed |
                                     QAbstractItemView::SelectedClicked);
    ptr_table_view_->verticalHeader()->hide();
    ptr_table_view_->verticalHeader()->setDefaultSectionSize(37);
    ptr_table_view_->horizontalHeader()->setFixedHeight(37);
    // The name takes what the range and the type leave.
    QHeaderView *header = ptr_table_view_->horizontalHeader();
    header->setSectionResizeMode(HeadFileName, QHeaderView::Stretch);
    header->setSectionResizeMode(HeadTimeRange, QHeaderView::Interactive);
    header->setSectionResizeMode(HeadFileType, QHeaderView::ResizeToContents);
    ptr_table_view_->setColumnWidth(HeadTimeRange, 190);
    ptr_table_view_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ptr_table_view_->setTextElideMode(Qt::ElideMiddle);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ptr_table_view_);
}

CVideoListFramModel *CVideoListFram::GetDataModel() const
{
    return ptr_model_;
}

QTableView *CVideoListFram::GetTableView() const
{
    return ptr_table_view_;
}

void CVideoListFram::SetFileTypeColumnHidden(bool hidden)
{
    ptr_table_view_->setColumnHidden(HeadFileType, hidden);
}

} // namespace tesk_ui_data_controller
