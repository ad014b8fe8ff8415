#include "FlowLayoutWidget.h"

#include <QLayout>
#include <QPointer>
#include <QWidgetItem>

#include <algorithm>
#include <vector>

namespace Lattice {

namespace {

// The layout itself: equal cells, so geometry is a function of the index alone.
class FlowLayout : public QLayout
{
public:
    explicit FlowLayout(QWidget *parent)
        : QLayout(parent)
    {
        setSizeConstraint(QLayout::SetNoConstraint);
    }
    ~FlowLayout() override { qDeleteAll(items_); }

    FlowLayoutInfo info;

    void insertItemAt(int index, QLayoutItem *item)
    {
        if (index < 0 || index > count())
            index = count();
        items_.insert(items_.begin() + index, item);
        invalidate();
    }

    void InsertWidgetAt(int index, QWidget *widget)
    {
        addChildWidget(widget);
        insertItemAt(index, new QWidgetItem(widget));
    }

    void addItem(QLayoutItem *item) override { insertItemAt(-1, item); }
    int count() const override { return static_cast<int>(items_.size()); }
    QLayoutItem *itemAt(int index) const override
    {
        return index >= 0 && index < count() ? items_[static_cast<size_t>(index)] : nullptr;
    }
    QLayoutItem *takeAt(int index) override
    {
        if (index < 0 || index >= count())
            return nullptr;
        QLayoutItem *item = items_[static_cast<size_t>(index)];
        items_.erase(items_.begin() + index);
        invalidate();
        return item;
    }
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }

    int Columns(int width) const
    {
        const int cell = info.item_size.width() + info.horizontal_spacing;
        const int room =
            width - info.margins.left() - info.margins.right() + info.horizontal_spacing;
        if (cell <= 0)
            return 1;
        return std::max(1, room / cell);
    }

    int heightForWidth(int width) const override
    {
        const int n = count();
        const int rows = n == 0 ? 0 : (n + Columns(width) - 1) / Columns(width);
        const int body =
            rows == 0 ? 0 : rows * info.item_size.height() + (rows - 1) * info.vertical_spacing;
        return info.margins.top() + body + info.margins.bottom();
    }

    QSize sizeHint() const override
    {
        const int width = info.margins.left() + info.item_size.width() + info.margins.right();
        return {width, heightForWidth(width)};
    }
    QSize minimumSize() const override
    {
        return {info.margins.left() + info.item_size.width() + info.margins.right(),
                info.margins.top() + info.margins.bottom()};
    }

    void setGeometry(const QRect &rect) override
    {
        QLayout::setGeometry(rect);
        const int columns = Columns(rect.width());
        const int step_x = info.item_size.width() + info.horizontal_spacing;
        const int step_y = info.item_size.height() + info.vertical_spacing;
        const int left = rect.x() + info.margins.left();
        const int top = rect.y() + info.margins.top();
        int index = 0;
        for (QLayoutItem *item : items_) {
            // Hidden items keep their cell, so that indexes and rows stay stable.
            const QRect cell(
                QPoint(left + (index % columns) * step_x, top + (index / columns) * step_y),
                info.item_size);
            // Appending leaves every earlier cell where it was; skipping them keeps a page
            // added to thousands of items cheap.
            if (item->geometry() != cell)
                item->setGeometry(cell);
            ++index;
        }
    }

private:
    std::vector<QLayoutItem *> items_;
};

} // namespace

struct CFlowLayoutWidget::Private
{
    FlowLayout *ptr_layout_ = nullptr;
};

CFlowLayoutWidget::CFlowLayoutWidget(QWidget *parent)
    : QWidget(parent)
    , d_(std::make_shared<Private>())
{
    d_->ptr_layout_ = new FlowLayout(this);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

CFlowLayoutWidget::~CFlowLayoutWidget() = default;

void CFlowLayoutWidget::SetLayoutInfo(const FlowLayoutInfo &info)
{
    d_->ptr_layout_->info = info;
    d_->ptr_layout_->invalidate();
    updateGeometry();
}

FlowLayoutInfo CFlowLayoutWidget::GetLayoutInfo() const
{
    return d_->ptr_layout_->info;
}

void CFlowLayoutWidget::InsertWidget(int index, QWidget *widget)
{
    if (!widget || d_->ptr_layout_->indexOf(widget) >= 0)
        return;
    d_->ptr_layout_->InsertWidgetAt(index, widget);
    updateGeometry();
}

void CFlowLayoutWidget::AddWidget(QWidget *widget)
{
    InsertWidget(-1, widget);
}

void CFlowLayoutWidget::RemoveWidget(QWidget *widget)
{
    const int index = d_->ptr_layout_->indexOf(widget);
    if (index < 0)
        return;
    delete d_->ptr_layout_->takeAt(index);
    updateGeometry();
}

int CFlowLayoutWidget::Count() const
{
    return d_->ptr_layout_->count();
}

QWidget *CFlowLayoutWidget::WidgetAt(int index) const
{
    QLayoutItem *item = d_->ptr_layout_->itemAt(index);
    return item ? item->widget() : nullptr;
}

int CFlowLayoutWidget::GetColumnCount(int width) const
{
    return d_->ptr_layout_->Columns(width < 0 ? this->width() : width);
}

bool CFlowLayoutWidget::hasHeightForWidth() const
{
    return true;
}

int CFlowLayoutWidget::heightForWidth(int width) const
{
    return d_->ptr_layout_->heightForWidth(width);
}

QSize CFlowLayoutWidget::sizeHint() const
{
    return d_->ptr_layout_->sizeHint();
}

QSize CFlowLayoutWidget::minimumSizeHint() const
{
    return d_->ptr_layout_->minimumSize();
}

} // namespace Lattice
