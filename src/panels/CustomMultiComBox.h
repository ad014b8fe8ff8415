#pragma once

#include "TeskVideoSearchExport.h"
#include "plexacontrol/MultiComboBox.h"

#include <memory>

namespace TeskVideoSearch {

struct CustomMultiComBoxData;

// The camera filter of a result page. Ticking items changes nothing until the list closes; then
// one SignalCheckedItemChanged reports all the changes of that opening.
class TESKVIDEOSEARCH_EXPORT CCustomMultiComBox : public PlexaControl::CMultiComboBox
{
    Q_OBJECT
public:
    explicit CCustomMultiComBox(QWidget *parent = nullptr);

signals:
    void SignalCheckedItemChanged();

protected:
    void OnItemCheckChanged(int index, bool checked) override;
    void hideListView() override;

private:
    std::shared_ptr<CustomMultiComBoxData> ptr_data_;
};

} // namespace TeskVideoSearch
