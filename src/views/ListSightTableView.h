#pragma once

#include "TeskVideoSearchExport.h"

#include "plexacontrol/TreeView.h"

namespace TeskVideoSearch {

// The list's tree view: remembers whether the last press landed on a check box, so that a
// click that toggles a mark does not also start playback.
class TESKVIDEOSEARCH_EXPORT CListSightTableView : public PlexaControl::CTreeView
{
    Q_OBJECT
public:
    // Indentation of item rows under their camera row.
    static constexpr int kChildIndent = 15;

    explicit CListSightTableView(QWidget *parent = nullptr);

    // The check box of a row in viewport coordinates.
    QRect CheckBoxRect(const QModelIndex &index) const;
    bool IsCheckBoxHit() const;
    void ClearCheckBoxHit();
    // Arrow keys that move the current row also emit clicked().
    void SetClickedOnArrowKeys(bool enabled);

signals:
    void SignalCurrentChanged(QModelIndex current, QModelIndex previous);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void RecordCheckBoxHit(const QPoint &pos);

    bool b_check_box_hit_ = false;
    bool b_clicked_on_arrow_keys_ = false;
};

} // namespace TeskVideoSearch
