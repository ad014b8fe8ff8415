#include "plexacontrol/EditComboBox.h"

#include <QEvent>
#include <QLineEdit>
#include <QListView>

namespace PlexaControl {

CEditComboBox::CEditComboBox(QWidget *parent)
    : QComboBox(parent)
{
    setView(new QListView(this));
}

void CEditComboBox::SetComboEditable(bool editable)
{
    if (editable == isEditable())
        return;
    const int index = currentIndex();
    setEditable(editable);
    if (editable) {
        lineEdit()->setReadOnly(true);
        // A click on the read-only text opens the list as on a plain combo.
        lineEdit()->installEventFilter(this);
    }
    setCurrentIndex(index);
}

void CEditComboBox::SetEditText(const QString &text)
{
    if (QLineEdit *edit = lineEdit()) {
        edit->setText(text);
        edit->setCursorPosition(0);
    }
}

QListView *CEditComboBox::GetListView() const
{
    return qobject_cast<QListView *>(view());
}

void CEditComboBox::hidePopup()
{
    QComboBox::hidePopup();
    emit SignalListViewHidden();
}

bool CEditComboBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonPress) {
        showPopup();
        return true;
    }
    return QComboBox::eventFilter(watched, event);
}

} // namespace PlexaControl
