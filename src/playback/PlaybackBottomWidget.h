#pragma once

#include "TeskVideoSearchExport.h"

#include <QWidget>

#include <memory>

namespace Ui {
class CPlaybackBottomWidget;
}

namespace TeskVideoSearch {

struct UPlaybackBottomWidgetData;

// The page-control bar under the playback area: save, delete, unlock, continuous play, and the
// position among the results with previous and next.
class TESKVIDEOSEARCH_EXPORT CPlaybackBottomWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kHeight = 64;

    explicit CPlaybackBottomWidget(QWidget *parent = nullptr);
    ~CPlaybackBottomWidget() override;

    // "current_data_id + 1 / total", each label as wide as its text.
    void SetPosition(int current_data_id, int total_num);
    // Save only for tag kinds, unlock instead of delete for locked recordings.
    void AdjustButtonsToKind(int video_type);
    void SetPreviousNextEnabled(bool previous, bool next);
    void SetSaveEnabled(bool enabled);
    bool IsContinuousPlay() const;
    Ui::CPlaybackBottomWidget *Form() const;

signals:
    void SignalSaveBntClicked();
    void SignalPreviousClicked();
    void SignalNextClicked();
    void SignalContinuousPlay(bool is_checked);
    void SignalDeleteClicked();
    void SignalUnlockClicked();

private:
    std::shared_ptr<UPlaybackBottomWidgetData> data_;
};

} // namespace TeskVideoSearch
