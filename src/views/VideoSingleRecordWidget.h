#pragma once

#include "TeskVideoSearchExport.h"
#include "search/SearchRecords.h"

#include "plexacontrol/Widget.h"

#include <memory>

namespace TeskVideoSearch {

struct VideoSingleRecordWidgetData;

// One step of the chain of splits and second searches: the recording's picture and name. A
// press reports the step's index.
class TESKVIDEOSEARCH_EXPORT CVideoSingleRecordWidget : public PlexaControl::CWidget
{
    Q_OBJECT
public:
    explicit CVideoSingleRecordWidget(QWidget *parent = nullptr);
    ~CVideoSingleRecordWidget() override;

    void SetRecord(const VideoSplitInfo &record, int index);
    VideoSplitInfo Record() const;
    int RecordIndex() const;

signals:
    void SignalRecordWidgetClicked(int record_index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void UpdateText();

    std::shared_ptr<VideoSingleRecordWidgetData> data_;
};

} // namespace TeskVideoSearch
