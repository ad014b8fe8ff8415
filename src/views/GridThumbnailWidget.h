#pragma once

#include "TeskVideoSearchExport.h"
#include "search/SearchTypes.h"
#include "search/WidgetRecords.h"

#include <QWidget>

#include <memory>

namespace teskplaycontroller {
struct ThumbnailKey;
struct ThumbnailResult;
} // namespace teskplaycontroller

namespace TeskVideoSearch {

class CCustomVideoData;
class CVideoDataManager;
struct GridThumbnailWidgetData;

// One tile of the thumbnail view: the picture of one result item with its camera name and
// begin time, a check box, a waiting animation while the picture is fetched and, on hover, a
// "more" label that opens the operation pop-up. A click asks for playback.
class TESKVIDEOSEARCH_EXPORT CGridThumbnailWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 175;
    static constexpr int kHeight = 131;
    // Between showing the waiting animation and asking for the picture: a tile that merely
    // scrolls past costs no decode.
    static constexpr int kRequestDelayMs = 500;
    // A picture not answered by then counts as failed, so that its slot is not held forever.
    static constexpr int kAnswerTimeoutMs = 30000;

    CGridThumbnailWidget(std::shared_ptr<CCustomVideoData> item,
                         std::shared_ptr<CVideoDataManager> manager, QWidget *parent = nullptr);
    ~CGridThumbnailWidget() override;

    std::shared_ptr<CCustomVideoData> GetItem() const;
    int GetDataId() const;

    int ThumbnailState() const;
    bool NeedsThumbnail() const;
    bool RequestThumbnail();
    void ReleaseThumbnail();
    // The time whose picture the tile asks for (seconds, UTC); -1 without files.
    int64_t ThumbnailTime() const;

    // A tile keeps only its item and state while out of view; its check box and labels are
    // built when it is painted, pointed at or waits for its picture, and released by the view
    // when it scrolls away again.
    bool HasForm() const;
    void EnsureForm();
    void ReleaseForm();

    void SetChecked(Qt::CheckState state);
    bool IsChecked() const;

    void SetFocused(bool focused);
    bool IsFocused() const;

    // The operation pop-up's parameters for this item, as hovering fills them.
    CVideoOperationInitParam GetOperationParam() const;

signals:
    void SignalDataOperate(OperationType operation_type, int data_id);
    void SignalCheckedStateChanged(bool checked);
    void SignalThumbnailFinished(bool is_success);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private slots:
    void OnCheckBoxStateChanged(int state);
    void OnMoreLabelHovered(bool hovered);
    void OnAskThumbnail();
    void OnThumbnailAnswered(const teskplaycontroller::ThumbnailKey &key,
                             const teskplaycontroller::ThumbnailResult &result);
    void OnAnswerTimeout();

private:
    void ConnectCheckBox();
    void ConnectMoreLabel();
    void SetThumbnailState(int state);
    void FinishThumbnail(bool success, const QImage &image);
    void UpdateAnimation();
    void UpdateLayoutMargins();
    void ShowMoreLabel();
    void FillOperationParam();
    void OpenOperationPopup();
    QString ToolTipAt(const QPoint &pos) const;

    std::shared_ptr<GridThumbnailWidgetData> data_;
};

} // namespace TeskVideoSearch
