#pragma once

#include "TeskVideoSearchExport.h"
#include "search/SearchRecords.h"

#include "plexacontrol/Widget.h"

#include <memory>

namespace TeskVideoSearch {

struct VideoSplitRecordWidgetData;

// The pop-up list of the chain of splits and second searches, under an entry that returns to
// the first search result. Its height follows the number of steps.
class TESKVIDEOSEARCH_EXPORT CVideoSplitRecordWidget : public PlexaControl::CWidget
{
    Q_OBJECT
public:
    static constexpr int kRecordHeight = 60;

    explicit CVideoSplitRecordWidget(QWidget *parent = nullptr);
    ~CVideoSplitRecordWidget() override;

    void AddRecord(const VideoSplitInfo &record);
    // An empty record for an index out of range.
    VideoSplitInfo Record(int index) const;
    int RecordCount() const;
    // Drops the last step and reports the one before it (-1 when none is left) as clicked.
    void RemoveLastRecord();
    void Clear();
    // Sets the height that the root entry and the steps need, and returns it.
    int UpdateHeight();
    // The height of the list of steps alone.
    int ListHeight() const;
    // The room around the visible panel that its shadow takes.
    QMargins ShadowMargins() const;

signals:
    void SignalRootWidgetClicked();
    void SignalRecordWidgetClicked(int record_index);

public slots:
    void OnRecordWidgetClicked(int record_index);
    void OnRootBackLabelClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    std::shared_ptr<VideoSplitRecordWidgetData> data_;
};

} // namespace TeskVideoSearch
