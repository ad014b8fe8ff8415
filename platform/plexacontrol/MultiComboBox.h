#pragma once

#include <QComboBox>
#include <QVariant>

class QStandardItemModel;

namespace PlexaControl {

// A combo box whose drop list holds check boxes: a click on an item toggles it and keeps the
// list open. The box shows the ticked items' texts joined by commas.
class CMultiComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit CMultiComboBox(QWidget *parent = nullptr);

    void AddCheckItem(const QString &text, const QVariant &data = {}, bool checked = false);
    void ClearItems();
    void SetItemChecked(int index, bool checked);
    bool IsItemChecked(int index) const;
    QStringList GetCheckedTexts() const;
    QVariantList GetCheckedData() const;

    void showPopup() override;
    void hidePopup() override;

protected:
    // Called after an item's check state changed, by a click or programmatically.
    virtual void OnItemCheckChanged(int index, bool checked);
    // Called when the drop list closes.
    virtual void hideListView();

    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QStandardItemModel *ptr_model_ = nullptr;
    bool b_list_shown_ = false;
};

} // namespace PlexaControl
