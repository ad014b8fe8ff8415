#pragma once

#include <QComboBox>
#include <QVariant>

namespace PlexaControl {

// The client's single-choice combo box: every entry carries its own tooltip, and the box can be
// sized to its widest entry so that a translated text is never cut.
class CComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit CComboBox(QWidget *parent = nullptr);

    void AddItem(const QString &text, const QString &tooltip, const QVariant &data = {});
    // Width that shows the widest entry with the arrow and frame.
    int WidestItemWidth() const;
};

} // namespace PlexaControl
