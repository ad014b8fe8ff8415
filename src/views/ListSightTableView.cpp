#include "views/ListSightTableView.h"

#include "plexacontrol/TableDelegate.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace TeskVideoSearch {

CListSightTableView::CListSightTableView(QWidget *parent)
    : PlexaControl::CTreeView(parent)
{
    SetDefaultText(tr("NoDataqrhgooag"));
    setIndentation(kChildIndent);
    setRootIsDecorated(false);
}

QRect CListSightTableView::CheckBoxRect(const QModelIndex &index) const
{
    if (!index.isValid())
        return {};
    const QModelIndex first = index.sibling(index.row(), 0);
    QRect cell = visualRect(first);
    // The cell of a top-level row starts at the column; an item row sits one indent further.
    cell.setLeft(columnViewportPosition(0) + (first.parent().isValid() ? kChildIndent : 0));
    return PlexaControl::CTableDelegate::CheckRect(cell);
}

bool CListSightTableView::IsCheckBoxHit() const
{
    return b_check_box_hit_;
}

void CListSightTableView::ClearCheckBoxHit()
{
    b_check_box_hit_ = false;
}

void CListSightTableView::SetClickedOnArrowKeys(bool enabled)
{
    b_clicked_on_arrow_keys_ = enabled;
}

void CListSightTableView::RecordCheckBoxHit(const QPoint &pos)
{
    const QModelIndex index = indexAt(pos);
    b_check_box_hit_ = index.isValid() && index.data(Qt::CheckStateRole).isValid() &&
                       CheckBoxRect(index).contains(pos);
}

void CListSightTableView::mousePressEvent(QMouseEvent *event)
{
    RecordCheckBoxHit(event->pos());
    PlexaControl::CTreeView::mousePressEvent(event);
}

void CListSightTableView::mouseDoubleClickEvent(QMouseEvent *event)
{
    RecordCheckBoxHit(event->pos());
    PlexaControl::CTreeView::mouseDoubleClickEvent(event);
}

void CListSightTableView::keyPressEvent(QKeyEvent *event)
{
    const QModelIndex before = currentIndex();
    PlexaControl::CTreeView::keyPressEvent(event);
    const bool arrow = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
    if (b_clicked_on_arrow_keys_ && arrow && currentIndex().isValid() && currentIndex() != before) {
        b_check_box_hit_ = false;
        emit clicked(currentIndex());
    }
}

void CListSightTableView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    PlexaControl::CTreeView::currentChanged(current, previous);
    emit SignalCurrentChanged(current, previous);
}

} // namespace TeskVideoSearch
