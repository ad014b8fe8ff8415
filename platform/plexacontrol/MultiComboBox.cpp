#include "plexacontrol/MultiComboBox.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <QStylePainter>

namespace PlexaControl {

CMultiComboBox::CMultiComboBox(QWidget *parent)
    : QComboBox(parent)
    , ptr_model_(new QStandardItemModel(this))
{
    setModel(ptr_model_);
    view()->viewport()->installEventFilter(this);
    connect(ptr_model_, &QStandardItemModel::itemChanged, this, [this](QStandardItem *item) {
        OnItemCheckChanged(item->row(), item->checkState() == Qt::Checked);
        update();
    });
}

void CMultiComboBox::AddCheckItem(const QString &text, const QVariant &data, bool checked)
{
    auto *item = new QStandardItem(text);
    item->setData(data, Qt::UserRole);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setData(checked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
    const QSignalBlocker blocker(ptr_model_);
    ptr_model_->appendRow(item);
    update();
}

void CMultiComboBox::ClearItems()
{
    ptr_model_->clear();
    update();
}

void CMultiComboBox::SetItemChecked(int index, bool checked)
{
    if (QStandardItem *item = ptr_model_->item(index))
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

bool CMultiComboBox::IsItemChecked(int index) const
{
    const QStandardItem *item = ptr_model_->item(index);
    return item && item->checkState() == Qt::Checked;
}

QStringList CMultiComboBox::GetCheckedTexts() const
{
    QStringList texts;
    for (int i = 0; i < ptr_model_->rowCount(); ++i) {
        if (IsItemChecked(i))
            texts << ptr_model_->item(i)->text();
    }
    return texts;
}

QVariantList CMultiComboBox::GetCheckedData() const
{
    QVariantList data;
    for (int i = 0; i < ptr_model_->rowCount(); ++i) {
        if (IsItemChecked(i))
            data << ptr_model_->item(i)->data(Qt::UserRole);
    }
    return data;
}

void CMultiComboBox::showPopup()
{
    b_list_shown_ = true;
    QComboBox::showPopup();
}

void CMultiComboBox::hidePopup()
{
    QComboBox::hidePopup();
    // QComboBox hides its list from several places; report each opening's close once.
    if (b_list_shown_) {
        b_list_shown_ = false;
        hideListView();
    }
}

void CMultiComboBox::OnItemCheckChanged(int, bool) {}

void CMultiComboBox::hideListView() {}

// A release on an item toggles it instead of choosing it, so the list stays open.
bool CMultiComboBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == view()->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QModelIndex index = view()->indexAt(mouse->pos());
        if (QStandardItem *item = ptr_model_->itemFromIndex(index)) {
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void CMultiComboBox::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText = GetCheckedTexts().join(", ");
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

} // namespace PlexaControl
