#pragma once

#include <QPointer>
#include <QWidget>

class QToolButton;

namespace tesk_ui_data_controller {

// A column that folds away to the left: a handle on the edge of the area beside it folds and
// unfolds it. While resizable, dragging its right edge changes its width between its minimum
// and maximum.
class __attribute__((visibility("default"))) CCommonExpandCollapseWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kHandleWidth = 12;
    static constexpr int kHandleHeight = 48;
    static constexpr int kGripWidth = 4;

    explicit CCommonExpandCollapseWidget(QWidget *parent = nullptr);

    // `owner` holds both; the handle sits on the left edge of `neighbour`.
    void InitUI(QWidget *owner, QWidget *neighbour);
    void setResizable(bool resizable);
    bool isResizable() const { return is_resizable_; }
    // Folds or unfolds without telling SignalExpandCollapse (only the operator's handle does).
    void SetExpandCollapseStatus(bool is_expand);
    bool IsExpanded() const { return is_expanded_; }
    QToolButton *GetHandleButton() const { return ptr_handle_btn_; }

signals:
    void SignalExpandCollapse(bool is_expand);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void OnHandleClicked();
    void PlaceHandle();

    QPointer<QWidget> ptr_neighbour_;
    QToolButton *ptr_handle_btn_ = nullptr;
    bool is_expanded_ = true;
    bool is_resizable_ = true;
    bool is_dragging_ = false;
    int drag_start_x_ = 0;
    int drag_start_width_ = 0;
    int range_min_ = 0;
    int range_max_ = -1;
};

} // namespace tesk_ui_data_controller
