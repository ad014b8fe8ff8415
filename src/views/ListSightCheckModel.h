#pragma once

#include "TeskVideoSearchExport.h"

#include "plexacontrol/StandardItemModel.h"

namespace TeskVideoSearch {

// Item roles of the list.
enum ListSightRole {
    RoleDataId = 1257,    // int: data id of an item row
    RoleCameraRow = 1258, // bool: a camera row
    RoleSiteId = 1259,    // QString: camera row's site
    RoleCameraId = 1260,  // QString: camera row's camera
    RoleCameraName = 1261,
};

// The list's model: Qt's check-state role is kept in the widget library's check role, and
// every change of a mark is announced with its old and new value.
class TESKVIDEOSEARCH_EXPORT CListSightCheckModel : public PlexaControl::CStandardItemModel
{
    Q_OBJECT
public:
    using PlexaControl::CStandardItemModel::CStandardItemModel;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void SignalCheckStateChanged(QModelIndex model_index, int old_value, int new_value);
};

} // namespace TeskVideoSearch
