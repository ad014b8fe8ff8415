#pragma once

#include "TeskVideoSearchExport.h"

#include <QStringList>
#include <QWidget>

#include <memory>

namespace TeskVideoSearch {

struct LevelPanelData;

// The zoom panel of the file bar: zoom-out and zoom-in buttons around the current level's
// text ("24h", "2h", …).
class TESKVIDEOSEARCH_EXPORT CLevelPanel : public QWidget
{
    Q_OBJECT
public:
    explicit CLevelPanel(QWidget *parent = nullptr);
    ~CLevelPanel() override;

    // `texts` are indexed by level.
    void SetLevelRange(int lowest, int highest, const QStringList &texts);
    // Shows the level's text when it lies in the range and enables the buttons that can
    // still zoom.
    void SetLevel(int level);
    int GetLevel() const;

signals:
    void SignalLevelUpClicked();
    void SignalLevelDownClicked();
    void SignalUpdateTimeTipPosition();

protected:
    void enterEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    std::shared_ptr<LevelPanelData> d_ptr_;
};

} // namespace TeskVideoSearch
