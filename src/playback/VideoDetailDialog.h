#pragma once

#include "TeskVideoSearchExport.h"

#include "plexacontrol/BaseDialog.h"

#include <memory>

namespace Ui {
class CVideoDetailDialogUI;
}

namespace TeskVideoSearch {

struct UVideoDetailDialogData;

// The frameless top-level dialog on the auxiliary screen into which the playback area moves its
// play area and information.
class TESKVIDEOSEARCH_EXPORT CVideoDetailDialog : public PlexaControl::CBaseDialog
{
    Q_OBJECT
public:
    explicit CVideoDetailDialog(QWidget *parent = nullptr);
    ~CVideoDetailDialog() override;

    void SetDetailTitle(const QString &title);
    // The moved play area, whose fixed size follows the dialog's.
    void SetPlayArea(QWidget *play_area);
    QLayout *PlayLayout() const;
    QLayout *InfoLayout() const;
    Ui::CVideoDetailDialogUI *Form() const;

signals:
    void SignalExitDetailDialog();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void FitPlayArea();

    std::shared_ptr<UVideoDetailDialogData> data_;
};

} // namespace TeskVideoSearch
