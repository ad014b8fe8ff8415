#pragma once

#include "TeskVideoSearchExport.h"
#include "search/SearchTypes.h"

#include <QMap>
#include <QWidget>

#include <memory>

namespace TeskVideoSearch {

class CCustomVideoData;
class CGridThumbnailWidget;
class CVideoDataManager;
struct MultiPageGroupWidgetData;

// One camera's tiles in the thumbnail view (or every tile, untitled, when the result is not in
// camera order): a title with a tri-state check box over a flow of tiles in data-id order.
class TESKVIDEOSEARCH_EXPORT CMultiPageGroupWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CMultiPageGroupWidget(QWidget *parent = nullptr);
    ~CMultiPageGroupWidget() override;

    void SetDataManager(std::shared_ptr<CVideoDataManager> manager);
    // Replaces the camera title; an empty title shows the camera's name and count.
    void SetCustomTitle(const QString &title);
    // Shows or hides the title row (the untitled group of a result in time order has none).
    void SetTitleVisible(bool visible);
    // Creates the item's tile at its place by data id; null when the id is already shown.
    CGridThumbnailWidget *AddItem(std::shared_ptr<CCustomVideoData> item);
    void SetCount(int count);
    // Focuses the tile of `data_id` and unfocuses the others; -1 unfocuses all.
    void SetFocusedThumbnail(int data_id);
    void SetAllChecked(bool checked);
    QList<int> GetCheckedIds() const;
    int GetThumbnailCount() const;
    int GetLowestDataId() const;
    int GetHighestDataId() const;
    CGridThumbnailWidget *GetThumbnail(int data_id) const;
    const QMap<int, CGridThumbnailWidget *> &GetThumbnails() const;
    int GetColumnCount() const;
    // The flow's top within this group: tiles' rectangles are relative to it.
    QWidget *GetFlowWidget() const;
    QString GetTitleText() const;

signals:
    void SignalDataOperate(OperationType operation_type, int index);
    void SignalThumbnailsCheckedStateChanged();
    void SignalThumbnailFinished(bool is_success);

public slots:
    void OnThumbnailCheckedStateChanged();
    void OnCheckBoxStateChanged();

private:
    void UpdateTitle();
    void UpdateCheckBox();

    std::shared_ptr<MultiPageGroupWidgetData> data_;
};

} // namespace TeskVideoSearch
