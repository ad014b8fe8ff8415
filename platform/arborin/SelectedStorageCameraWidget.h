#pragma once

#include "arborin/RecordPlan.h"

#include <QList>
#include <QVector>
#include <QWidget>

#include <memory>
#include <string>

class QLineEdit;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace Arborin {

// What the selector is built for: the widget that owns it and the resource codes it lists.
struct CSelectedResourceParam
{
    QWidget *ptr_resource_parent = nullptr;
    QVector<int> qvc_resource_codes;
};

// One ticked camera with the storage it was ticked under.
struct SelectedStorageResource
{
    std::string site_id;
    std::string camera_id;
    std::string camera_name;
    int location_type = 1;
    int storage_media_type = 2;
};

struct SelectedStorageCameraWidgetData;

// The camera-and-storage selector: a tree of sites, their storages and the cameras recorded
// there, with check boxes (a parent shows whether none, some or all of its cameras are ticked)
// and a search box that filters the cameras by name as one types.
class CSelectedStorageCameraWidget : public QWidget
{
    Q_OBJECT
public:
    enum NodeKind {
        NodeSite = 1,
        NodeStorage = 2,
        NodeCamera = 3,
    };

    explicit CSelectedStorageCameraWidget(QWidget *parent = nullptr);
    ~CSelectedStorageCameraWidget() override;

    // Builds the tree from the host's cameras and their record plans; once.
    void InitWidget(const CSelectedResourceParam &param);
    void SetSacTipButtonVisible(bool visible);

    // The ticked cameras in the tree's order.
    QList<SelectedStorageResource> GetAllSelectedResource() const;
    // Ticks the named cameras (site and camera identifiers) and shows the first; the number
    // found. Emits SignalInsertResourceFinished.
    int InsertSelectedResource(const QList<SelectedStorageResource> &resources);

    // Shows only cameras whose name holds `text` (any case) and the nodes above them.
    void FilterByName(const QString &text);
    // Unticks everything and clears the search box.
    void StopWorking();
    // Reads the cameras again (another user sees other cameras); nothing stays ticked.
    void UpdateAfterSwitchUser();

    QLineEdit *GetSearchEdit() const;
    QTreeWidget *GetTreeWidget() const;
    int CameraCount() const;

signals:
    void SignalInsertResourceFinished();
    void SignalSelectionChanged();

private:
    void Rebuild();
    void OnItemChanged(QTreeWidgetItem *item, int column);

    std::shared_ptr<SelectedStorageCameraWidgetData> ptr_data_;
};

} // namespace Arborin
