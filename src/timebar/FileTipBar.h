#pragma once

#include "TeskVideoSearchExport.h"

#include <QList>
#include <QWidget>

#include <memory>

class QPushButton;

namespace TeskVideoSearch {

struct FileTipBarData;

// The pop-up above the file bar that lists the recordings under the pointer, one button each,
// with a small arrow pointing at the bar. It hides itself when the pointer stays away.
class TESKVIDEOSEARCH_EXPORT CFileTipBar : public QWidget
{
    Q_OBJECT
public:
    explicit CFileTipBar(QWidget *parent = nullptr);
    ~CFileTipBar() override;

    void SetButtons(const QList<QPushButton *> &buttons);
    void ClearButtons();
    void SetArrowX(int x);
    void RestartHideTimer();

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private slots:
    void OnShowTimerOut();

private:
    std::shared_ptr<FileTipBarData> d_ptr_;
};

} // namespace TeskVideoSearch
