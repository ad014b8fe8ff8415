#include "views/ListSightWidget.h"

#include "ListSightWidget_p.h"

#include "data/VideoDataManager.h"
#include "search/CommonFunction.h"

#include "plexacontrol/TableDelegate.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

namespace TeskVideoSearch {

namespace {

// What a section shows.
enum class Column { Time, Camera, Duration, TagName, TagKind, Description };

enum class Layout { CommonVca, CommonByCamera, CommonByTime, TagByCamera, TagByTime };

// A section width: (W - reserved) * numerator / denominator, or over the design width D
// when the denominator is 0.
struct Width
{
    int reserved;
    int numerator;
    int denominator;
};

struct LayoutSpec
{
    std::vector<Column> columns;
    std::vector<Width> widths; // of every section but the last
};

const LayoutSpec &SpecOf(Layout layout)
{
    using C = Column;
    static const std::map<Layout, LayoutSpec> specs = {
        {Layout::CommonVca, {{C::Time, C::Duration}, {{0, 460, 717}}}},
        {Layout::CommonByCamera,
         {{C::Time, C::Duration}, {{CListSightWidget::kReservedWidth, 1, 2}}}},
        {Layout::CommonByTime, {{C::Time, C::Camera, C::Duration}, {{0, 386, 0}, {0, 280, 0}}}},
        {Layout::TagByCamera,
         {{C::Time, C::Duration, C::TagName, C::TagKind, C::Description},
          {{0, 256, 0}, {0, 156, 0}, {0, 180, 0}, {0, 100, 0}}}},
        {Layout::TagByTime,
         {{C::Time, C::Camera, C::Duration, C::TagName, C::TagKind, C::Description},
          {{0, 256, 0}, {0, 100, 0}, {0, 100, 0}, {0, 180, 0}, {0, 100, 0}}}},
    };
    return specs.at(layout);
}

QString DurationText(const PlaybackFileVector &files)
{
    int64_t seconds = 0;
    for (const auto &file : files) {
        if (file)
            seconds += file->GetFileEndTime() - file->GetFileBegTime();
    }
    const auto two = [](int64_t value) {
        return QStringLiteral("%1").arg(value, 2, 10, QChar('0'));
    };
    return two(seconds / 3600) + ":" + two(seconds / 60 % 60) + ":" + two(seconds % 60);
}

QString CameraTitle(const QString &name, int count)
{
    return name + QStringLiteral(" (%1)").arg(count);
}

QStandardItem *NewCell(const QString &text = {})
{
    auto *item = new QStandardItem(text);
    item->setEditable(false);
    return item;
}

// Calls `visit` for every row's first cell, camera rows before their items.
void ForEachRow(QStandardItemModel *model, const std::function<void(QStandardItem *)> &visit)
{
    if (!model)
        return;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStandardItem *top = model->item(row, 0);
        visit(top);
        for (int child = 0; child < top->rowCount(); ++child)
            visit(top->child(child, 0));
    }
}

} // namespace

CListSightWidget::CListSightWidget(QWidget *parent)
    : QWidget(parent)
    , data_(std::make_shared<ListSightWidgetData>())
{
    qRegisterMetaType<OperationType>("OperationType");
    data_->ui_.setupUi(this);
    data_->ui_.ptr_tip_text_label_->setText(tr("NoDataqrhgooag"));
    data_->ui_.ptr_vca_config_btn_->setText(
        tr("Korv-ControlClient.9b1cdf205cd14d02bc47805f5ebc5a79.button"));
    data_->ui_.ptr_tip_image_label_->setPixmap(
        QIcon(QStringLiteral(":/Images/TeskVideoSearch/default_no_data_l.svg")).pixmap(120, 120));
    CListSightTableView *view = data_->ui_.ptr_group_view_;
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setExpandsOnDoubleClick(false);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->SetCheckBoxSeparate(true);
    view->setItemDelegate(new PlexaControl::CTableDelegate(view));
    view->SetGridVisible(true);
    view->SetClickedOnArrowKeys(true);
    view->setUniformRowHeights(true);
    view->header()->setStretchLastSection(false);
    view->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    data_->ptr_model_ = new CListSightCheckModel(this);
    view->setModel(data_->ptr_model_);
    data_->ui_.ptr_no_data_widget_->hide();

    connect(data_->ui_.ptr_vca_config_btn_, &QPushButton::clicked, this,
            &CListSightWidget::SignalVCAConfigBtnClicked);
    connect(data_->ptr_model_, &CListSightCheckModel::SignalCheckStateChanged, this,
            &CListSightWidget::OnCheckStateChanged);
    connect(view, &QAbstractItemView::clicked, this, &CListSightWidget::OnClickAction);
    view->installEventFilter(this);
    // Wheel events reach the viewport first, and the view only when the viewport ignores them.
    view->viewport()->installEventFilter(this);
}

CListSightWidget::~CListSightWidget() = default;

void CListSightWidget::InitListWidget(CListSightWidgetParam &param)
{
    if (property("Initialized").toBool())
        return;
    setProperty("Initialized", true);
    data_->param_ = CListSightWidgetParam(*param.GetDataPtr());
    const auto manager = param.GetVal_ptr_data_manager();
    if (manager) {
        const auto type =
            static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::UniqueConnection);
        connect(manager.get(), &CVideoDataManager::SignalLoadEndDataToList, this,
                &CListSightWidget::OnLoadEndMorData, type);
        connect(manager.get(), &CVideoDataManager::SignalLoadBeginDataToList, this,
                &CListSightWidget::OnLoadBeginMorData, type);
        connect(manager.get(), &CVideoDataManager::SignalUpdateResourceNum, this,
                &CListSightWidget::OnUpdateResourceNum, type);
        data_->sort_type_ = manager->GetFileSortType();
    }
    RebuildColumns();
    AdaptWidth();
}

namespace {

QString TimeHeader(const CListSightWidgetParam &param, CVideoDataManager *manager)
{
    if (!param.GetVal_b_time_type_visible())
        return CListSightWidget::tr("TimeRange");
    if (manager && manager->GetDataTimeType().first == OrlSearchTimeType::DeviceTime)
        return CListSightWidget::tr("TimeRangeequipmentTijNGsngcc");
    return CListSightWidget::tr("TimeRangeclientTimeHsyuNss");
}

Layout LayoutOf(VideoDataType type, int sort_type)
{
    const bool by_camera = sort_type == SortStored;
    if (IsTagKind(type))
        return by_camera ? Layout::TagByCamera : Layout::TagByTime;
    if (type == VcaSearchVideo)
        return Layout::CommonVca;
    return by_camera ? Layout::CommonByCamera : Layout::CommonByTime;
}

QString HeaderOf(Column column)
{
    switch (column) {
    case Column::Time:
        return {};
    case Column::Camera:
        return CListSightWidget::tr("Camera");
    case Column::Duration:
        return CListSightWidget::tr("Duration");
    case Column::TagName:
        return CListSightWidget::tr("TagName");
    case Column::TagKind:
        return CListSightWidget::tr("AiNYGMWO");
    case Column::Description:
        return CListSightWidget::tr("Description");
    }
    return {};
}

// The state a camera row takes from its items.
Qt::CheckState CombinedState(QStandardItem *camera)
{
    int checked = 0;
    for (int row = 0; row < camera->rowCount(); ++row)
        checked +=
            camera->child(row, 0)->data(PlexaControl::CStandardItemModel::CheckRole).toInt() ==
            Qt::Checked;
    if (checked == 0)
        return Qt::Unchecked;
    return checked == camera->rowCount() ? Qt::Checked : Qt::PartiallyChecked;
}

struct ListRowContext
{
    Layout layout;
    bool by_camera;
    TimeTypePair time_type;
};

QList<QStandardItem *> NewItemRow(const ListRowContext &context, const CCustomVideoData &item)
{
    PlaybackFileVector files;
    item.GetFileDatas(files);
    QList<QStandardItem *> cells;
    for (Column column : SpecOf(context.layout).columns) {
        QStandardItem *cell = NewCell();
        switch (column) {
        case Column::Time:
            cell->setText(CCommonFunction::GetPlaybackFileTimeRange(context.time_type, files));
            cell->setData(item.GetPairData(KeyDataId).toInt(), RoleDataId);
            cell->setData(Qt::Unchecked, PlexaControl::CStandardItemModel::CheckRole);
            break;
        case Column::Camera:
            cell->setText(item.GetPairData(KeyCameraName).toString());
            break;
        case Column::Duration:
            cell->setText(DurationText(files));
            break;
        case Column::TagName:
        case Column::TagKind:
        case Column::Description: {
            const auto label =
                files.isEmpty()
                    ? nullptr
                    : std::dynamic_pointer_cast<teskplaycontroller::CLabelFile>(files.front());
            if (!label)
                break;
            if (column == Column::TagName) {
                cell->setText(QString::fromStdString(label->GetFileName()));
            } else if (column == Column::Description) {
                cell->setText(QString::fromStdString(label->GetLabelDesc()));
            } else {
                const auto kind = static_cast<VideoSearchTagType>(label->GetRcordLabelType());
                cell->setText(CCommonFunction::GetTypeNameByTagType(kind));
                cell->setIcon(CCommonFunction::GetTypeIconByTagType(kind));
            }
            break;
        }
        }
        cell->setData(cell->text(), Qt::ToolTipRole);
        cells << cell;
    }
    return cells;
}

QList<QStandardItem *> NewCameraRow(const ListRowContext &context, const CCustomVideoData &item)
{
    const QString name = item.GetPairData(KeyCameraName).toString();
    QStandardItem *title = NewCell(CameraTitle(name, item.GetPairData(KeyCameraFileCount).toInt()));
    title->setData(true, RoleCameraRow);
    title->setData(item.GetPairData(KeySiteId), RoleSiteId);
    title->setData(item.GetPairData(KeyCameraId), RoleCameraId);
    title->setData(name, RoleCameraName);
    title->setData(Qt::Unchecked, PlexaControl::CStandardItemModel::CheckRole);
    QList<QStandardItem *> cells{title};
    while (cells.size() < static_cast<int>(SpecOf(context.layout).columns.size()))
        cells << NewCell();
    return cells;
}

QStandardItem *FindCameraRow(QStandardItemModel *model, const QVariant &site,
                             const QVariant &camera)
{
    for (int row = 0; row < model->rowCount(); ++row) {
        QStandardItem *top = model->item(row, 0);
        if (top->data(RoleSiteId) == site && top->data(RoleCameraId) == camera)
            return top;
    }
    return nullptr;
}

QStandardItem *FindItemRow(QStandardItemModel *model, int data_id)
{
    QStandardItem *found = nullptr;
    ForEachRow(model, [&](QStandardItem *row) {
        if (!found && row->data(RoleDataId).isValid() && row->data(RoleDataId).toInt() == data_id)
            found = row;
    });
    return found;
}

} // namespace

void CListSightWidget::RebuildColumns()
{
    const auto manager = data_->param_.GetVal_ptr_data_manager();
    const VideoDataType type = manager ? manager->GetDataType() : RegularVideo;
    QStringList headers;
    for (Column column : SpecOf(LayoutOf(type, data_->sort_type_)).columns)
        headers << (column == Column::Time ? TimeHeader(data_->param_, manager.get())
                                           : HeaderOf(column));
    data_->ptr_model_->setColumnCount(headers.size());
    data_->ptr_model_->setHorizontalHeaderLabels(headers);
}

void CListSightWidget::AdaptWidth()
{
    const auto manager = data_->param_.GetVal_ptr_data_manager();
    const VideoDataType type = manager ? manager->GetDataType() : RegularVideo;
    const LayoutSpec &spec = SpecOf(LayoutOf(type, data_->sort_type_));
    QHeaderView *header = data_->ui_.ptr_group_view_->header();
    const int w = width();
    const int design = static_cast<int>(data_->design_width_);
    int rest = w - kReservedWidth;
    for (size_t section = 0; section < spec.widths.size(); ++section) {
        const Width &rule = spec.widths[section];
        const int size =
            (w - rule.reserved) * rule.numerator / (rule.denominator ? rule.denominator : design);
        header->resizeSection(static_cast<int>(section), size);
        rest -= size;
    }
    header->resizeSection(static_cast<int>(spec.widths.size()), rest);
}

void CListSightWidget::UpdateDataTimeType()
{
    data_->ptr_model_->setHeaderData(
        0, Qt::Horizontal,
        TimeHeader(data_->param_, data_->param_.GetVal_ptr_data_manager().get()));
}

void CListSightWidget::SetCursorItem(int data_id)
{
    if (QStandardItem *row = FindItemRow(data_->ptr_model_, data_id))
        data_->ui_.ptr_group_view_->setCurrentIndex(row->index());
}

void CListSightWidget::ClearData()
{
    data_->top_data_id_ = -1;
    data_->bottom_data_id_ = -1;
    data_->is_loading_ = false;
    data_->ptr_model_->clear();
    if (const auto manager = data_->param_.GetVal_ptr_data_manager())
        data_->sort_type_ = manager->GetFileSortType();
    RebuildColumns();
    AdaptWidth();
}

QList<int> CListSightWidget::GetCheckedIndexID()
{
    QList<int> ids;
    ForEachRow(data_->ptr_model_, [&](QStandardItem *row) {
        if (row->data(RoleDataId).isValid() &&
            row->data(PlexaControl::CStandardItemModel::CheckRole).toInt() == Qt::Checked)
            ids << row->data(RoleDataId).toInt();
    });
    return ids;
}

void CListSightWidget::SetIndexCheckState(bool b_checked)
{
    data_->is_propagating_ = true;
    ForEachRow(data_->ptr_model_, [&](QStandardItem *row) {
        data_->ptr_model_->setData(row->index(), b_checked ? Qt::Checked : Qt::Unchecked,
                                   Qt::CheckStateRole);
    });
    data_->is_propagating_ = false;
    EmitAnyChecked();
}

void CListSightWidget::SetIndexChecked(const QList<int> &data_ids)
{
    for (int id : data_ids) {
        if (QStandardItem *row = FindItemRow(data_->ptr_model_, id))
            data_->ptr_model_->setData(row->index(), Qt::Checked, Qt::CheckStateRole);
    }
}

void CListSightWidget::UpdateCustomData(const int &data_id, std::shared_ptr<CCustomVideoData> data)
{
    const auto manager = data_->param_.GetVal_ptr_data_manager();
    QStandardItem *row = FindItemRow(data_->ptr_model_, data_id);
    if (!row || !data || !manager)
        return;
    const ListRowContext context{LayoutOf(manager->GetDataType(), data_->sort_type_),
                                 data_->sort_type_ == SortStored, manager->GetDataTimeType()};
    const QList<QStandardItem *> cells = NewItemRow(context, *data);
    QStandardItem *parent = row->parent() ? row->parent() : data_->ptr_model_->invisibleRootItem();
    // Replacing the first cell deletes `row`: its position is read once, before.
    const int row_index = row->row();
    for (int column = 0; column < cells.size(); ++column) {
        QStandardItem *cell = parent->child(row_index, column);
        if (!cell) {
            delete cells[column];
            continue;
        }
        // The mark is the operator's, not the data's.
        if (column == 0)
            cells[column]->setData(cell->data(PlexaControl::CStandardItemModel::CheckRole),
                                   PlexaControl::CStandardItemModel::CheckRole);
        parent->setChild(row_index, column, cells[column]);
    }
}

void CListSightWidget::SetCustomDefauleTip(const QString &tip)
{
    data_->ui_.ptr_tip_text_label_->setText(tip);
}

void CListSightWidget::SetVCAConfigBtnVisible(const bool &visible)
{
    data_->ui_.ptr_config_widget_->setVisible(visible);
}

void CListSightWidget::ShowEmptyWidget(bool b_empty)
{
    data_->ui_.ptr_no_data_widget_->setVisible(b_empty);
    data_->ui_.ptr_content_widget_->setVisible(!b_empty);
}

void CListSightWidget::AddItems(int begin_index, int end_index, bool prepend)
{
    const auto manager = data_->param_.GetVal_ptr_data_manager();
    if (!manager)
        return;
    const std::vector<CustomVideoDataPtr> items = manager->GetDataByIndex(begin_index, end_index);
    data_->is_loading_ = false;
    if (items.empty())
        return;
    if (manager->GetFileSortType() != data_->sort_type_)
        ClearData();
    const ListRowContext context{LayoutOf(manager->GetDataType(), data_->sort_type_),
                                 data_->sort_type_ == SortStored, manager->GetDataTimeType()};
    QStandardItem *root = data_->ptr_model_->invisibleRootItem();
    // Where the next prepended row goes, per parent, so that a range keeps its order.
    std::map<QStandardItem *, int> next_row;
    int next_camera_row = 0;
    // Camera rows that got items, in order, and those made for this range.
    std::vector<QStandardItem *> touched_cameras;
    std::vector<QStandardItem *> new_cameras;
    for (const CustomVideoDataPtr &item : items) {
        if (!item)
            continue;
        QStandardItem *parent = root;
        if (context.by_camera) {
            parent = FindCameraRow(data_->ptr_model_, item->GetPairData(KeySiteId),
                                   item->GetPairData(KeyCameraId));
            if (!parent) {
                const QList<QStandardItem *> camera_cells = NewCameraRow(context, *item);
                if (prepend)
                    root->insertRow(next_camera_row++, camera_cells);
                else
                    root->appendRow(camera_cells);
                parent = camera_cells.front();
                new_cameras.push_back(parent);
            }
            if (std::find(touched_cameras.begin(), touched_cameras.end(), parent) ==
                touched_cameras.end())
                touched_cameras.push_back(parent);
        }
        const QList<QStandardItem *> cells = NewItemRow(context, *item);
        if (prepend)
            parent->insertRow(next_row[parent]++, cells);
        else
            parent->appendRow(cells);
    }
    // New unchecked items join their camera row's mark without marking the other items.
    data_->is_propagating_ = true;
    for (QStandardItem *camera : touched_cameras)
        data_->ptr_model_->setData(camera->index(), CombinedState(camera),
                                   PlexaControl::CStandardItemModel::CheckRole);
    data_->is_propagating_ = false;
    // Rows the operator folded stay folded.
    for (QStandardItem *camera : new_cameras)
        data_->ui_.ptr_group_view_->expand(camera->index());
    const int first_id = items.front()->GetPairData(KeyDataId).toInt();
    const int last_id = items.back()->GetPairData(KeyDataId).toInt();
    if (prepend) {
        if (data_->bottom_data_id_ < 0)
            data_->bottom_data_id_ = last_id;
        data_->top_data_id_ = first_id;
    } else {
        if (data_->top_data_id_ < 0)
            data_->top_data_id_ = first_id;
        data_->bottom_data_id_ = last_id;
    }
}

void CListSightWidget::OnLoadEndMorData(int begin_index, int end_index)
{
    AddItems(begin_index, end_index, false);
}

void CListSightWidget::OnLoadBeginMorData(int begin_index, int end_index)
{
    AddItems(begin_index, end_index, true);
}

void CListSightWidget::OnClickAction(QModelIndex index)
{
    CListSightTableView *view = data_->ui_.ptr_group_view_;
    if (!view->model() || !index.isValid())
        return;
    if (view->IsCheckBoxHit()) {
        view->ClearCheckBoxHit();
        return;
    }
    const QVariant id = index.sibling(index.row(), 0).data(RoleDataId);
    if (index.column() == 0 && id.isValid())
        emit SignalDataOperate(OperationPlay, id.toInt());
}

void CListSightWidget::EmitAnyChecked()
{
    const QModelIndexList checked = data_->ptr_model_->match(
        data_->ptr_model_->index(0, 0), PlexaControl::CStandardItemModel::CheckRole,
        int(Qt::Checked), 1, Qt::MatchExactly | Qt::MatchRecursive);
    emit SignalItemCheckStateChanged(!checked.isEmpty());
}

void CListSightWidget::OnCheckStateChanged(QModelIndex changed_index, int, int new_value)
{
    if (data_->is_propagating_ || !changed_index.isValid() ||
        !changed_index.data(PlexaControl::CStandardItemModel::CheckRole).isValid() ||
        !data_->param_.GetVal_ptr_data_manager())
        return;
    if (data_->sort_type_ == SortStored) {
        QStandardItem *item = data_->ptr_model_->itemFromIndex(changed_index);
        data_->is_propagating_ = true;
        if (item->data(RoleCameraRow).toBool()) {
            // A partial mark is the items' summary; set by the operator it means all of them.
            const int state = new_value == Qt::Unchecked ? Qt::Unchecked : Qt::Checked;
            for (int row = 0; row < item->rowCount(); ++row)
                data_->ptr_model_->setData(item->child(row, 0)->index(), state, Qt::CheckStateRole);
        } else if (QStandardItem *camera = item->parent()) {
            data_->ptr_model_->setData(camera->index(), CombinedState(camera), Qt::CheckStateRole);
        }
        data_->is_propagating_ = false;
    }
    EmitAnyChecked();
}

void CListSightWidget::OnUpdateResourceNum(QMap<QPair<QString, QString>, int> map_resource_num)
{
    if (data_->sort_type_ != SortStored)
        return;
    for (int row = 0; row < data_->ptr_model_->rowCount(); ++row) {
        QStandardItem *camera = data_->ptr_model_->item(row, 0);
        const auto key =
            qMakePair(camera->data(RoleSiteId).toString(), camera->data(RoleCameraId).toString());
        const auto found = map_resource_num.constFind(key);
        if (found != map_resource_num.constEnd())
            camera->setText(CameraTitle(camera->data(RoleCameraName).toString(), found.value()));
    }
}

bool CListSightWidget::eventFilter(QObject *watched, QEvent *event)
{
    CListSightTableView *view = data_->ui_.ptr_group_view_;
    if (event->type() != QEvent::Wheel || data_->is_loading_ ||
        (watched != view && watched != view->viewport()))
        return QWidget::eventFilter(watched, event);
    const auto manager = data_->param_.GetVal_ptr_data_manager();
    const QScrollBar *bar = view->verticalScrollBar();
    const int delta = static_cast<QWheelEvent *>(event)->angleDelta().y();
    // The gesture's direction tells which end is meant when the whole list fits.
    if (delta < 0 && bar->value() == bar->maximum() && manager &&
        data_->bottom_data_id_ < manager->GetDataNum() - 1) {
        data_->is_loading_ = true;
        QTimer::singleShot(kLoadMoreDelayMs, this, [this] { emit SignalLoadMoreEndData(); });
    } else if (delta > 0 && bar->value() == 0 && data_->top_data_id_ > 0) {
        data_->is_loading_ = true;
        QTimer::singleShot(kLoadMoreDelayMs, this, [this] { emit SignalLoadMoreBeginData(); });
    }
    return QWidget::eventFilter(watched, event);
}

void CListSightWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    AdaptWidth();
}

void CListSightWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    AdaptWidth();
}

} // namespace TeskVideoSearch
