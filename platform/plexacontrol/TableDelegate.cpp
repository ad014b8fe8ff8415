#include "TableDelegate.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

namespace PlexaControl {

namespace {

constexpr int kRowHeight = 36;

bool HasCheckMark(const QModelIndex &index)
{
    return (index.flags() & Qt::ItemIsUserCheckable) && index.data(Qt::CheckStateRole).isValid();
}

} // namespace

QRect CTableDelegate::CheckRect(const QRect &cell)
{
    return QRect(cell.left() + kCheckMargin, cell.center().y() - kCheckSize / 2 + 1, kCheckSize,
                 kCheckSize);
}

void CTableDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                           const QModelIndex &index) const
{
    QStyleOptionViewItem text_option = option;
    initStyleOption(&text_option, index);
    if (!HasCheckMark(index)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem check_option = option;
    check_option.rect = CheckRect(option.rect);
    check_option.state &= ~(QStyle::State_On | QStyle::State_Off | QStyle::State_NoChange);
    switch (index.data(Qt::CheckStateRole).toInt()) {
    case Qt::Checked:
        check_option.state |= QStyle::State_On;
        break;
    case Qt::PartiallyChecked:
        check_option.state |= QStyle::State_NoChange;
        break;
    default:
        check_option.state |= QStyle::State_Off;
    }
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    // The row background first, so that the box sits on the selection colour.
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &text_option, painter, widget);
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check_option, painter, widget);
    text_option.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    text_option.rect.setLeft(check_option.rect.right() + kCheckMargin);
    text_option.state &= ~QStyle::State_HasFocus;
    style->drawControl(QStyle::CE_ItemViewItem, &text_option, painter, widget);
}

QSize CTableDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(qMax(size.height(), kRowHeight));
    return size;
}

bool CTableDelegate::editorEvent(QEvent *event, QAbstractItemModel *model,
                                 const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (!model || !HasCheckMark(index) || !(index.flags() & Qt::ItemIsEnabled))
        return false;
    if (event->type() == QEvent::MouseButtonDblClick || event->type() == QEvent::MouseButtonPress)
        return CheckRect(option.rect).contains(static_cast<QMouseEvent *>(event)->pos());
    if (event->type() != QEvent::MouseButtonRelease)
        return false;
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() != Qt::LeftButton || !CheckRect(option.rect).contains(mouse->pos()))
        return false;
    // A click settles a partial mark: anything but checked becomes checked.
    const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    return model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

} // namespace PlexaControl
