#pragma once

#include <QComboBox>

class QListView;

namespace PlexaControl {

// The library's combo box whose line edit can be switched on to show a text that is not one of
// its items (a custom period, for example). Reports when its drop list closes.
class CEditComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit CEditComboBox(QWidget *parent = nullptr);

    // Editable shows a read-only line edit with the text given to SetEditText.
    void SetComboEditable(bool editable);
    void SetEditText(const QString &text);
    QListView *GetListView() const;

    void hidePopup() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void SignalListViewHidden();
};

} // namespace PlexaControl
