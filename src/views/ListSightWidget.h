#pragma once

#include "TeskVideoSearchExport.h"
#include "search/SearchTypes.h"
#include "search/WidgetRecords.h"

#include <QList>
#include <QMap>
#include <QModelIndex>
#include <QPair>
#include <QWidget>

#include <memory>

namespace TeskVideoSearch {

class CCustomVideoData;
struct ListSightWidgetData;

// A result page's rows as a table with a check box per row: grouped under a row per camera
// when the result is in camera order, else a flat list in time order. Stays in step with the
// thumbnail view by appending and prepending exactly the ranges its data manager announces.
class TESKVIDEOSEARCH_EXPORT CListSightWidget : public QWidget
{
    Q_OBJECT
public:
    // Space that the last column leaves for the frame and the scroll bar.
    static constexpr int kReservedWidth = 46;
    // Delay between a wheel gesture at an end and the request for more rows.
    static constexpr int kLoadMoreDelayMs = 500;

    explicit CListSightWidget(QWidget *parent = nullptr);
    ~CListSightWidget() override;

    void InitListWidget(CListSightWidgetParam &param);
    void UpdateDataTimeType();
    void SetCursorItem(int data_id);
    void ClearData();

    QList<int> GetCheckedIndexID();
    void SetIndexCheckState(bool b_checked);
    void SetIndexChecked(const QList<int> &data_ids);
    void UpdateCustomData(const int &data_id, std::shared_ptr<CCustomVideoData> data);

    void SetCustomDefauleTip(const QString &tip);
    void SetVCAConfigBtnVisible(const bool &visible);
    void ShowEmptyWidget(bool b_empty);

signals:
    void SignalDataOperate(OperationType operation_type, int data_index);
    void SignalLoadMoreEndData();
    void SignalLoadMoreBeginData();
    void SignalItemCheckStateChanged(bool b_checked);
    void SignalVCAConfigBtnClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void OnLoadEndMorData(int begin_index, int end_index);
    void OnLoadBeginMorData(int begin_index, int end_index);
    void OnClickAction(QModelIndex index);
    void OnCheckStateChanged(QModelIndex changed_index, int old_value, int new_value);
    void OnUpdateResourceNum(QMap<QPair<QString, QString>, int> map_resource_num);

private:
    void RebuildColumns();
    void AdaptWidth();
    void AddItems(int begin_index, int end_index, bool prepend);
    void EmitAnyChecked();

    std::shared_ptr<ListSightWidgetData> data_;
};

} // namespace TeskVideoSearch

Q_DECLARE_METATYPE(TeskVideoSearch::OperationType)
