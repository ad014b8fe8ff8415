#pragma once

#include "TeskVideoSearchExport.h"
#include "search/WidgetRecords.h"

#include "plexacontrol/UiSingleton.h"
#include "plexacontrol/Widget.h"

#include <memory>

namespace TeskVideoSearch {

struct VideoOperationWidgetData;

// The process-wide pop-up offering a second split and a second search of the result under the
// pointer. A view initialises it for its item, connects the two signals and shows it; a click
// anywhere else closes it. Entering the split row opens the segment-length chooser above it.
class TESKVIDEOSEARCH_EXPORT CVideoOperationWidget
    : public PlexaControl::CWidget,
      public PlexaControl::CUiSingleton<CVideoOperationWidget>
{
    Q_OBJECT
public:
    // The dynamic property that records whether the application's events are filtered.
    static constexpr const char *kInstallEventFilterProperty = "installEventFilter";
    static constexpr int kTwoRowsHeight = 72;
    static constexpr int kOneRowHeight = 40;

    ~CVideoOperationWidget() override;

    void InitWidgetParam(CVideoOperationInitParam &param);
    void ClearData();
    // The length chosen in the chooser; 0 without a chooser.
    SecondSplitTimeType GetSecondSplitTimeType();

signals:
    void SignalSecondSearchClicked();
    void SignalSecondSplitClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private slots:
    void OnTimeTypeChanged(int index);

private:
    friend class PlexaControl::CUiSingleton<CVideoOperationWidget>;
    CVideoOperationWidget();

    void ShowSegmentNumWidget(const bool &show);
    void SetTexts();
    void InstallApplicationFilter();
    void HideAll();
    bool IsOverChooser(const QPoint &global_pos) const;
    bool IsOverSplitRow(const QPoint &global_pos) const;

    std::shared_ptr<VideoOperationWidgetData> data_;
};

} // namespace TeskVideoSearch
