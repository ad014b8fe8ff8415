#include "TreeView.h"

#include <QHeaderView>
#include <QPainter>

namespace PlexaControl {

CTreeView::CTreeView(QWidget *parent)
    : QTreeView(parent)
{}

void CTreeView::SetGridVisible(bool visible)
{
    b_grid_visible_ = visible;
    viewport()->update();
}

bool CTreeView::IsGridVisible() const
{
    return b_grid_visible_;
}

void CTreeView::SetDefaultText(const QString &text)
{
    default_text_ = text;
    viewport()->update();
}

QString CTreeView::GetDefaultText() const
{
    return default_text_;
}

void CTreeView::SetCheckBoxSeparate(bool separate)
{
    b_check_box_separate_ = separate;
}

bool CTreeView::IsCheckBoxSeparate() const
{
    return b_check_box_separate_;
}

std::vector<CTreeView::ShownRow> CTreeView::ShownRows() const
{
    std::vector<ShownRow> rows;
    const int height = viewport()->height();
    for (QModelIndex index = indexAt(QPoint(0, 0)); index.isValid(); index = indexBelow(index)) {
        const QRect rect = visualRect(index);
        if (rect.top() >= height)
            break;
        rows.push_back({QPersistentModelIndex(index), rect});
    }
    return rows;
}

void CTreeView::doItemsLayout()
{
    // The base class repaints the whole viewport after every relayout; with thousands of rows,
    // appending a page out of sight would cost a full repaint of rows that did not move.
    QWidget *area = viewport();
    const bool was_disabled = area->testAttribute(Qt::WA_UpdatesDisabled);
    area->setAttribute(Qt::WA_UpdatesDisabled, true);
    QTreeView::doItemsLayout();
    area->setAttribute(Qt::WA_UpdatesDisabled, was_disabled);
    if (qvc_painted_rows_.empty() || ShownRows() != qvc_painted_rows_)
        area->update();
}

void CTreeView::paintEvent(QPaintEvent *event)
{
    QTreeView::paintEvent(event);
    qvc_painted_rows_ = ShownRows();
    if (default_text_.isEmpty() || (model() && model()->rowCount(rootIndex()) > 0))
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(viewport()->rect(), Qt::AlignCenter, default_text_);
}

void CTreeView::drawRow(QPainter *painter, const QStyleOptionViewItem &option,
                        const QModelIndex &index) const
{
    QTreeView::drawRow(painter, option, index);
    if (!b_grid_visible_)
        return;
    painter->save();
    painter->setPen(palette().color(QPalette::Mid));
    const QRect row = option.rect;
    painter->drawLine(row.left(), row.bottom(), row.right(), row.bottom());
    for (int section = 0; section < header()->count() - 1; ++section) {
        const int x = columnViewportPosition(header()->logicalIndex(section)) +
                      header()->sectionSize(header()->logicalIndex(section)) - 1;
        painter->drawLine(x, row.top(), x, row.bottom());
    }
    painter->restore();
}

} // namespace PlexaControl
