#pragma once

#include "TeskVideoSearchExport.h"
#include "search/SearchRecords.h"

#include "plexacontrol/Widget.h"

#include <memory>

namespace TeskVideoSearch {

struct VideoBackWidgetData;

// The bar over a result page while it shows a split or a second search: its left part steps
// back to the previous step, its right part names the current step and opens the list of
// every step. Hidden while there is no step.
class TESKVIDEOSEARCH_EXPORT CVideoBackWidget : public PlexaControl::CWidget
{
    Q_OBJECT
public:
    // Between the right part and the pop-up of steps.
    static constexpr int kPopupGap = 4;
    // Room that the right part keeps beside its text's advance.
    static constexpr int kTextSlack = 4;

    explicit CVideoBackWidget(QWidget *parent = nullptr);
    ~CVideoBackWidget() override;

    void Clear();
    void SetCurrentIndex(const int &index);
    int CurrentIndex() const;
    void AddRecord(const VideoSplitInfo &record);
    // An empty record for an index out of range.
    VideoSplitInfo Record(int index) const;

signals:
    // -1: back to the first search result.
    void SignalBackRecordChanged(int record_index);
    void SignalLeftWidgetClicked();
    void SignalRightWidgetClicked();

public slots:
    void OnRecordWidgetClicked(int record_index);
    void OnShowSplitRecordWidget();
    void OnBackLastStepIndex();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ShowRecordName(const QString &name);

    std::shared_ptr<VideoBackWidgetData> data_;
};

} // namespace TeskVideoSearch
