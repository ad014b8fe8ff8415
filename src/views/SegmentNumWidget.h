#pragma once

#include "TeskVideoSearchExport.h"
#include "search/SearchRecords.h"

#include "plexacontrol/Widget.h"

#include <memory>

class QAbstractItemView;

namespace TeskVideoSearch {

struct SegmentNumWidgetData;

// The small floating chooser of the segment length of a split: a label, a combo box of the
// lengths and a pointer towards the row that opened it.
class TESKVIDEOSEARCH_EXPORT CSegmentNumWidget : public PlexaControl::CWidget
{
    Q_OBJECT
public:
    explicit CSegmentNumWidget(QWidget *parent = nullptr);
    ~CSegmentNumWidget() override;

    // Refilling never reports a change: only the operator's choice does.
    void SetItems(const SplitTimeLabelMap &map);
    // The chosen SecondSplitTimeType; 0 when the list is empty.
    int CurrentValue() const;
    // The combo box's drop-down list, which lies outside the chooser on the screen.
    QAbstractItemView *View() const;

signals:
    void SignalTimeTypeChanged(int index);

protected:
    void hideEvent(QHideEvent *event) override;

private:
    std::shared_ptr<SegmentNumWidgetData> data_;
};

} // namespace TeskVideoSearch
