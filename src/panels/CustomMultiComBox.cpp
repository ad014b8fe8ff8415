#include "panels/CustomMultiComBox.h"
#include "panels/CustomMultiComBox_p.h"

namespace TeskVideoSearch {

CCustomMultiComBox::CCustomMultiComBox(QWidget *parent)
    : PlexaControl::CMultiComboBox(parent)
    , ptr_data_(std::make_shared<CustomMultiComBoxData>())
{
    setObjectName("CCustomMultiComBox");
}

void CCustomMultiComBox::OnItemCheckChanged(int, bool)
{
    ptr_data_->is_checked_changed_ = true;
}

void CCustomMultiComBox::hideListView()
{
    if (!ptr_data_->is_checked_changed_)
        return;
    ptr_data_->is_checked_changed_ = false;
    emit SignalCheckedItemChanged();
}

} // namespace TeskVideoSearch
