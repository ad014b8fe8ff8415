#pragma once

#include <QPersistentModelIndex>
#include <QTreeView>

#include <vector>

namespace PlexaControl {

// The widget library's tree view: an optional grid, a text shown while the view is empty,
// and check boxes drawn apart from the text by the library's delegate.
class __attribute__((visibility("default"))) CTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit CTreeView(QWidget *parent = nullptr);

    void SetGridVisible(bool visible);
    bool IsGridVisible() const;
    void SetDefaultText(const QString &text);
    QString GetDefaultText() const;
    // Check boxes get a box of their own at the left of the first column.
    void SetCheckBoxSeparate(bool separate);
    bool IsCheckBoxSeparate() const;

    // A relayout that leaves the shown rows where they were (rows added out of sight) does
    // not repaint them.
    void doItemsLayout() override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void drawRow(QPainter *painter, const QStyleOptionViewItem &option,
                 const QModelIndex &index) const override;

private:
    struct ShownRow
    {
        QPersistentModelIndex index;
        QRect rect;
        bool operator==(const ShownRow &other) const
        {
            return index == other.index && rect == other.rect;
        }
    };
    std::vector<ShownRow> ShownRows() const;

    std::vector<ShownRow> qvc_painted_rows_; // as the last paint left them
    bool b_grid_visible_ = false;
    bool b_check_box_separate_ = false;
    QString default_text_;
};

} // namespace PlexaControl
