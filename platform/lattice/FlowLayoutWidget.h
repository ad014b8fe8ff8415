#pragma once

#include <QMargins>
#include <QSize>
#include <QWidget>

#include <memory>

namespace Lattice {

// How a flow lays out its items: every item has the same size, rows fill from the left.
struct FlowLayoutInfo
{
    QMargins margins;
    int horizontal_spacing = 0;
    int vertical_spacing = 0;
    QSize item_size;
};

// A widget whose children flow left to right in rows of equal cells, wrapping at its width.
// Its height follows its width (heightForWidth), so that a scroll area of groups grows as
// items are added. Items keep their insertion order; a layout of thousands of items costs
// one pass of arithmetic.
class CFlowLayoutWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CFlowLayoutWidget(QWidget *parent = nullptr);
    ~CFlowLayoutWidget() override;

    void SetLayoutInfo(const FlowLayoutInfo &info);
    FlowLayoutInfo GetLayoutInfo() const;

    // The widget becomes a child of the flow; `index` < 0 or past the end appends.
    void InsertWidget(int index, QWidget *widget);
    void AddWidget(QWidget *widget);
    // The widget leaves the flow (it stays the flow's child until reparented or deleted).
    void RemoveWidget(QWidget *widget);
    int Count() const;
    QWidget *WidgetAt(int index) const;

    // Columns that fit in `width` (the current width when negative); at least 1.
    int GetColumnCount(int width = -1) const;

    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    struct Private;
    std::shared_ptr<Private> d_;
};

} // namespace Lattice
