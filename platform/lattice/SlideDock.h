#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <memory>

class QPropertyAnimation;
class QToolButton;

namespace Lattice {

// Where a slide-out panel rests over its owner.
class CSlideWidgetPosRule
{
public:
    virtual ~CSlideWidgetPosRule() = default;
    // The widget the panel slides over; it becomes the panel's parent.
    virtual QWidget *GetOwner() const = 0;
    // The panel's resting place in the owner's coordinates for a wanted width.
    virtual QRect GetShowRect(int slide_width) const = 0;
};

// What ShowDockWidget slides in.
struct CSlideOutData
{
    QWidget *ptr_dock_widget = nullptr;
    std::shared_ptr<CSlideWidgetPosRule> ptr_pos_rule;
    int slide_width = 0;
};

// The frame that carries a slid-out panel: a close button above the panel. It follows its
// owner's size and closes with Escape.
class CSlideDockFrame : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kSlideMilliseconds = 200;

    CSlideDockFrame(const CSlideOutData &data);

    QWidget *GetDockWidget() const { return ptr_dock_widget_; }
    QToolButton *GetCloseButton() const { return ptr_close_btn_; }
    // Slides in from the owner's right edge.
    void SlideIn();
    // Hides at once; the carried panel stays with the frame for the next time.
    void HideDock();

signals:
    void SignalDockHidden();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void Place(bool animate);

    QPointer<QWidget> ptr_dock_widget_;
    std::shared_ptr<CSlideWidgetPosRule> ptr_pos_rule_;
    int slide_width_ = 0;
    QToolButton *ptr_close_btn_ = nullptr;
    QPropertyAnimation *ptr_animation_ = nullptr;
};

// Slides `data.ptr_dock_widget` in over the rule's owner (a frame is made on first use).
void ShowDockWidget(const CSlideOutData &data);
// Hides the frame that carries `dock_widget`; nothing when it is not slid out.
void HideDockWidget(QWidget *dock_widget);
// True while a panel slid out over `owner` is shown.
bool IsShowDockWidget(QWidget *owner);

} // namespace Lattice
