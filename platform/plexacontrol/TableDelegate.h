#pragma once

#include <QStyledItemDelegate>

namespace PlexaControl {

// Draws a row's check mark in a fixed box at the left of its first cell and toggles it on a
// click inside that box; the rest of the cell is drawn as usual beside it.
class __attribute__((visibility("default"))) CTableDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int kCheckMargin = 8;
    static constexpr int kCheckSize = 16;

    using QStyledItemDelegate::QStyledItemDelegate;

    // The check box inside a cell whose rectangle is `cell`.
    static QRect CheckRect(const QRect &cell);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
};

} // namespace PlexaControl
