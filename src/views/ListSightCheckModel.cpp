#include "views/ListSightCheckModel.h"

namespace TeskVideoSearch {

QVariant CListSightCheckModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::CheckStateRole) {
        const QVariant mark = PlexaControl::CStandardItemModel::data(index, CheckRole);
        if (mark.isValid())
            return mark;
    }
    return PlexaControl::CStandardItemModel::data(index, role);
}

bool CListSightCheckModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role == Qt::CheckStateRole)
        role = CheckRole;
    if (role != CheckRole)
        return PlexaControl::CStandardItemModel::setData(index, value, role);
    const int old_value = PlexaControl::CStandardItemModel::data(index, CheckRole).toInt();
    if (!PlexaControl::CStandardItemModel::setData(index, value, CheckRole))
        return false;
    if (old_value != value.toInt())
        emit SignalCheckStateChanged(index, old_value, value.toInt());
    return true;
}

Qt::ItemFlags CListSightCheckModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags flags = PlexaControl::CStandardItemModel::flags(index);
    return index.isValid() ? flags | Qt::ItemIsUserCheckable : flags;
}

} // namespace TeskVideoSearch
