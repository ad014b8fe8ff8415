#pragma once

#include "TeskVideoSearchExport.h"
#include "plexacontrol/Widget.h"
#include "search/SearchTypes.h"

#include <QVector>

#include <memory>

namespace TeskVideoSearch {

struct TagConditionWidgetData;

// The record-kind selector of the condition column: check boxes for the kinds of recordings in
// a foldable section, and the tag type and name that narrow a tag search. The full mode offers
// every kind; the simple mode manual tags and locked recordings.
class TESKVIDEOSEARCH_EXPORT CTagConditionWidget : public PlexaControl::CWidget
{
    Q_OBJECT
public:
    explicit CTagConditionWidget(QWidget *parent = nullptr);
    ~CTagConditionWidget() override;

    void Init(TagDisplayType mode);
    // Folded: every kind the mode offers. Unfolded: the ticked kinds in the boxes' order.
    QVector<VideoDataType> GetSearchKinds() const;
    // -1 in the full mode; the chosen tag button (200–204) in the simple mode.
    int GetTagType() const;
    QString GetTagName() const;
    // Every box unticked.
    void ResetCondition();
    void SetExpanded(bool expanded);
    bool IsExpanded() const;

signals:
    void SignalTagTypeChanged();

public slots:
    void OnTagCheckedStateChanged();

private:
    void ConnectCheckBoxes(bool connect_them);

    std::shared_ptr<TagConditionWidgetData> ptr_data_;
};

} // namespace TeskVideoSearch
