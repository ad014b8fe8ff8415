#include "arborin/SelectedStorageCameraWidget.h"

#include "pluginmanager/PluginManager.h"

#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLineEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <map>

namespace Arborin {

namespace {

enum ItemRole {
    RoleKind = Qt::UserRole,
    RoleSiteId,
    RoleCameraId,
    RoleLocation,
    RoleMediaType,
};

struct CameraEntry
{
    QTreeWidgetItem *item = nullptr;
    QString name;
};

QString StorageName(int location_type)
{
    switch (location_type) {
    case ResourceData::StorageLocationCentral:
        return QObject::tr("Central storage");
    case ResourceData::StorageLocationMain:
        return QObject::tr("Main storage");
    case ResourceData::StorageLocationAuxiliary:
        return QObject::tr("Auxiliary storage");
    default:
        return QObject::tr("Device storage");
    }
}

} // namespace

struct SelectedStorageCameraWidgetData
{
    CSelectedResourceParam param_;
    QLineEdit *ptr_search_edit_ = nullptr;
    QToolButton *ptr_sac_tip_btn_ = nullptr;
    QTreeWidget *ptr_tree_ = nullptr;
    // In tree order, so that the filter walks them alongside the model's rows.
    std::vector<CameraEntry> qvc_cameras_;
    QHash<QPair<QString, QString>, QTreeWidgetItem *> camera_items_;
    bool is_selection_change_pending_ = false;
};

CSelectedStorageCameraWidget::CSelectedStorageCameraWidget(QWidget *parent)
    : QWidget(parent)
    , ptr_data_(std::make_shared<SelectedStorageCameraWidgetData>())
{
    setObjectName("CSelectedStorageCameraWidget");
    auto &d = *ptr_data_;
    d.ptr_search_edit_ = new QLineEdit(this);
    d.ptr_search_edit_->setObjectName("ptr_search_edit_");
    d.ptr_search_edit_->setPlaceholderText(tr("Search"));
    d.ptr_search_edit_->setClearButtonEnabled(true);
    d.ptr_sac_tip_btn_ = new QToolButton(this);
    d.ptr_sac_tip_btn_->setObjectName("ptr_sac_tip_btn_");
    d.ptr_sac_tip_btn_->setText("?");
    d.ptr_sac_tip_btn_->setToolTip(
        tr("Tick cameras under the storage whose recordings should be searched."));
    d.ptr_sac_tip_btn_->setVisible(false);
    d.ptr_tree_ = new QTreeWidget(this);
    d.ptr_tree_->setObjectName("ptr_resource_tree_");
    d.ptr_tree_->setHeaderHidden(true);
    d.ptr_tree_->setUniformRowHeights(true);
    d.ptr_tree_->setSelectionMode(QAbstractItemView::NoSelection);

    auto *search_row = new QHBoxLayout;
    search_row->setContentsMargins(0, 0, 0, 0);
    search_row->addWidget(d.ptr_search_edit_, 1);
    search_row->addWidget(d.ptr_sac_tip_btn_);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addLayout(search_row);
    layout->addWidget(d.ptr_tree_, 1);

    connect(d.ptr_search_edit_, &QLineEdit::textChanged, this,
            &CSelectedStorageCameraWidget::FilterByName);
    connect(d.ptr_tree_, &QTreeWidget::itemChanged, this,
            &CSelectedStorageCameraWidget::OnItemChanged);
}

CSelectedStorageCameraWidget::~CSelectedStorageCameraWidget() = default;

void CSelectedStorageCameraWidget::InitWidget(const CSelectedResourceParam &param)
{
    if (property("Initialized").toBool())
        return;
    setProperty("Initialized", true);
    ptr_data_->param_ = param;
    Rebuild();
}

void CSelectedStorageCameraWidget::SetSacTipButtonVisible(bool visible)
{
    ptr_data_->ptr_sac_tip_btn_->setVisible(visible);
}

void CSelectedStorageCameraWidget::Rebuild()
{
    auto &d = *ptr_data_;
    const QSignalBlocker blocker(d.ptr_tree_);
    d.ptr_tree_->clear();
    d.qvc_cameras_.clear();
    d.camera_items_.clear();

    OrlPluginManager::CamerasInfoResponse response;
    OrlPluginManager::CResourceBusinessInterfaceMgr::Instance().GetCameraList({}, response);

    // site → storage location → cameras, sites and storages in identifier order.
    std::map<std::string,
             std::map<int, std::vector<std::pair<OrlPluginManager::Camera, CRecordPlanInfo>>>>
        tree;
    for (const auto &camera : response.cameras) {
        CCameraRecordSetInfo plans;
        CRecordPlanInfo plan;
        if (CDownloadRecordPlanObject::GetRecordPlan(camera.site_id, camera.id, plans))
            plan = plans.qvc_record_plans.front();
        tree[camera.site_id][plan.location_type].emplace_back(camera, plan);
    }

    const Qt::ItemFlags parent_flags =
        Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate;
    const Qt::ItemFlags camera_flags =
        Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
    for (const auto &site : tree) {
        auto *site_item = new QTreeWidgetItem(d.ptr_tree_);
        const QString site_id = QString::fromStdString(site.first);
        site_item->setText(0, site_id);
        site_item->setData(0, RoleKind, NodeSite);
        site_item->setData(0, RoleSiteId, site_id);
        site_item->setFlags(parent_flags);
        site_item->setCheckState(0, Qt::Unchecked);
        for (const auto &storage : site.second) {
            auto *storage_item = new QTreeWidgetItem(site_item);
            storage_item->setText(0, StorageName(storage.first));
            storage_item->setData(0, RoleKind, NodeStorage);
            storage_item->setData(0, RoleSiteId, site_id);
            storage_item->setData(0, RoleLocation, storage.first);
            storage_item->setFlags(parent_flags);
            storage_item->setCheckState(0, Qt::Unchecked);
            for (const auto &entry : storage.second) {
                const auto &camera = entry.first;
                auto *item = new QTreeWidgetItem(storage_item);
                const QString name = QString::fromStdString(camera.name);
                const QString camera_id = QString::fromStdString(camera.id);
                item->setText(0, name);
                item->setToolTip(0, name);
                item->setData(0, RoleKind, NodeCamera);
                item->setData(0, RoleSiteId, site_id);
                item->setData(0, RoleCameraId, camera_id);
                item->setData(0, RoleLocation, entry.second.location_type);
                item->setData(0, RoleMediaType, entry.second.storage_media_type);
                item->setFlags(camera_flags);
                item->setCheckState(0, Qt::Unchecked);
                d.qvc_cameras_.push_back({item, name});
                d.camera_items_.insert({site_id, camera_id}, item);
            }
        }
    }
    d.ptr_tree_->expandToDepth(0);
}

QList<SelectedStorageResource> CSelectedStorageCameraWidget::GetAllSelectedResource() const
{
    QList<SelectedStorageResource> selected;
    for (const CameraEntry &entry : ptr_data_->qvc_cameras_) {
        const QTreeWidgetItem *item = entry.item;
        if (item->checkState(0) != Qt::Checked)
            continue;
        SelectedStorageResource resource;
        resource.site_id = item->data(0, RoleSiteId).toString().toStdString();
        resource.camera_id = item->data(0, RoleCameraId).toString().toStdString();
        resource.camera_name = entry.name.toStdString();
        resource.location_type = item->data(0, RoleLocation).toInt();
        resource.storage_media_type = item->data(0, RoleMediaType).toInt();
        selected << resource;
    }
    return selected;
}

int CSelectedStorageCameraWidget::InsertSelectedResource(
    const QList<SelectedStorageResource> &resources)
{
    auto &d = *ptr_data_;
    int found = 0;
    QTreeWidgetItem *first = nullptr;
    for (const SelectedStorageResource &resource : resources) {
        QTreeWidgetItem *item = d.camera_items_.value(
            {QString::fromStdString(resource.site_id), QString::fromStdString(resource.camera_id)});
        if (!item)
            continue;
        item->setCheckState(0, Qt::Checked);
        for (QTreeWidgetItem *up = item->parent(); up; up = up->parent())
            up->setExpanded(true);
        if (!first)
            first = item;
        ++found;
    }
    if (first)
        d.ptr_tree_->scrollToItem(first);
    emit SignalInsertResourceFinished();
    return found;
}

// Rows are hidden through the view by position: an item's own setHidden looks its row up
// among its siblings, which costs a scan per camera.
void CSelectedStorageCameraWidget::FilterByName(const QString &text)
{
    auto &d = *ptr_data_;
    QTreeWidget *tree = d.ptr_tree_;
    QAbstractItemModel *model = tree->model();
    const QString needle = text.trimmed();
    tree->setUpdatesEnabled(false);
    size_t next = 0;
    for (int s = 0; s < tree->topLevelItemCount(); ++s) {
        const QModelIndex site = model->index(s, 0);
        bool site_visible = false;
        for (int t = 0; t < model->rowCount(site); ++t) {
            const QModelIndex storage = model->index(t, 0, site);
            bool storage_visible = false;
            for (int c = 0; c < model->rowCount(storage); ++c) {
                const CameraEntry &entry = d.qvc_cameras_[next++];
                const bool visible =
                    needle.isEmpty() || entry.name.contains(needle, Qt::CaseInsensitive);
                if (tree->isRowHidden(c, storage) == visible)
                    tree->setRowHidden(c, storage, !visible);
                storage_visible = storage_visible || visible;
            }
            if (tree->isRowHidden(t, site) == storage_visible)
                tree->setRowHidden(t, site, !storage_visible);
            if (storage_visible && !needle.isEmpty() && !tree->isExpanded(storage))
                tree->expand(storage);
            site_visible = site_visible || storage_visible;
        }
        if (tree->isRowHidden(s, QModelIndex()) == site_visible)
            tree->setRowHidden(s, QModelIndex(), !site_visible);
        if (site_visible && !needle.isEmpty() && !tree->isExpanded(site))
            tree->expand(site);
    }
    tree->setUpdatesEnabled(true);
}

void CSelectedStorageCameraWidget::StopWorking()
{
    auto &d = *ptr_data_;
    d.ptr_search_edit_->clear();
    for (int i = 0; i < d.ptr_tree_->topLevelItemCount(); ++i)
        d.ptr_tree_->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
}

void CSelectedStorageCameraWidget::UpdateAfterSwitchUser()
{
    ptr_data_->ptr_search_edit_->clear();
    Rebuild();
    emit SignalSelectionChanged();
}

QLineEdit *CSelectedStorageCameraWidget::GetSearchEdit() const
{
    return ptr_data_->ptr_search_edit_;
}

QTreeWidget *CSelectedStorageCameraWidget::GetTreeWidget() const
{
    return ptr_data_->ptr_tree_;
}

int CSelectedStorageCameraWidget::CameraCount() const
{
    return static_cast<int>(ptr_data_->qvc_cameras_.size());
}

// Ticking a site changes every camera under it; report the selection once per event-loop turn.
void CSelectedStorageCameraWidget::OnItemChanged(QTreeWidgetItem *, int)
{
    auto &d = *ptr_data_;
    if (d.is_selection_change_pending_)
        return;
    d.is_selection_change_pending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            ptr_data_->is_selection_change_pending_ = false;
            emit SignalSelectionChanged();
        },
        Qt::QueuedConnection);
}

} // namespace Arborin
