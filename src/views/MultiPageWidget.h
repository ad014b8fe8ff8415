#pragma once

#include "TeskVideoSearchExport.h"
#include "search/SearchTypes.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QVector>
#include <QWidget>

#include <memory>

namespace TeskVideoSearch {

class CCustomVideoData;
class CGridThumbnailWidget;
class CMultiPageGroupWidget;
class CVideoDataManager;
struct MultiPageWidgetData;

// The thumbnail view of a result page: a scrolling column of groups of tiles, one per camera
// (one untitled group when the result is not in camera order), holding a contiguous window of
// the result that grows by pages at either end as the operator wheels past it. Pictures are
// asked for only for tiles in view, a few at a time, and dropped again once out of view.
class TESKVIDEOSEARCH_EXPORT CMultiPageWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kPageSize = 60;
    static constexpr int kMaxThumbnailsInFlight = 5;
    // Finished downloads between two releases of pictures out of view.
    static constexpr int kReleaseEveryDownloads = 100;
    // Between the waiting tip and the page it announces.
    static constexpr int kLoadPageDelayMs = 500;
    static constexpr int kCheckIntervalMs = 1000;
    static constexpr int kScrollToFocusDelayMs = 500;

    explicit CMultiPageWidget(QWidget *parent = nullptr);
    ~CMultiPageWidget() override;

    void InitPageWidget(std::shared_ptr<CVideoDataManager> manager, const QString &tip);

    void LoadNextPageData();
    void LoadPreviousPageData();
    void LoadCustomPageData(int data_id);
    void ClearData();

    void SetCheckedThumbnails(QList<int> data_ids);
    QList<int> GetCheckedThumbnails();
    void SetFocusedThumbnail(int data_id);
    void SetAllThumbnailsChecked(bool checked);
    void ScrollToFocusPos();
    void UpdateCustomData(const int &data_id);
    QVector<std::shared_ptr<CCustomVideoData>> GetAllCheckedDataInfo();
    std::shared_ptr<CCustomVideoData> GetDataInfoByID(const int &data_id);

    bool HasPreviousData(const int &data_id);
    bool HasNextData(const int &data_id);

    void SetCustomDefauleTip(const QString &tip);
    void SetVCAConfigBtnVisible(const bool &visible);
    void ShowEmptyWidget(bool b_empty);

    // The window shown: lowest and highest data id (-1 when empty), and the number of tiles.
    int GetTopDataId() const;
    int GetBottomDataId() const;
    int GetThumbnailCount() const;
    CGridThumbnailWidget *GetThumbnail(int data_id) const;
    QList<CMultiPageGroupWidget *> GetGroups() const;
    int GetThumbnailsInFlight() const;

signals:
    void SignalDataOperate(OperationType operation_type, int index);
    void SignalThumbnailsCheckedStateChanged(bool checked);
    void SignalVCAConfigBtnClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void OnDataPrepared();
    void OnThumbnailDownloadFinished(bool is_success);
    void OnUpdateResourceNum(QMap<QPair<QString, QString>, int> map_resource_num);
    void OnScrollRangeChanged(int min, int max);
    void OnScrollValueChanged(int value);
    void OnCheckTimeout();

private:
    enum class Place { Append, Prepend };
    void LoadRange(int first, int last, Place place);
    CMultiPageGroupWidget *GroupFor(const QString &key, const QString &title_key, Place place,
                                    int &prepended);
    void UpdateMoreTip(int value);
    void ShowMoreTip(bool visible, MultiPageMoreTipState state, bool at_top);
    void ScheduleLoad(bool at_top);
    bool HasMoreBelow() const;
    bool HasMoreAbove() const;
    QPair<int, int> VisibleBand() const;
    int TileTop(const CMultiPageGroupWidget *group, const CGridThumbnailWidget *tile) const;
    void LoadPixmaps();
    void ClearPixmaps();
    void ReportCheckState();
    void ScrollToTile(int data_id);

    std::shared_ptr<MultiPageWidgetData> data_;
};

} // namespace TeskVideoSearch
