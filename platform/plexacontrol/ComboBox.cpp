#include "plexacontrol/ComboBox.h"

#include <QStyleOptionComboBox>

namespace PlexaControl {

CComboBox::CComboBox(QWidget *parent)
    : QComboBox(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void CComboBox::AddItem(const QString &text, const QString &tooltip, const QVariant &data)
{
    addItem(text, data);
    setItemData(count() - 1, tooltip, Qt::ToolTipRole);
}

int CComboBox::WidestItemWidth() const
{
    // A style sheet's padding and border count only once the box is polished.
    const_cast<CComboBox *>(this)->ensurePolished();
    int text_width = 0;
    for (int i = 0; i < count(); ++i)
        text_width = qMax(text_width, fontMetrics().horizontalAdvance(itemText(i)));
    QStyleOptionComboBox option;
    option.initFrom(this);
    const QSize content(text_width, fontMetrics().height());
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option, content, this).width();
}

} // namespace PlexaControl
