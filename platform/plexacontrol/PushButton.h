#pragma once

#include <QPushButton>

namespace PlexaControl {

// The client's flat push button: no focus frame, a pointing-hand cursor, and the look given
// by the style sheets that key on its object name.
class CPushButton : public QPushButton
{
    Q_OBJECT
public:
    explicit CPushButton(QWidget *parent = nullptr);
    explicit CPushButton(const QString &text, QWidget *parent = nullptr);
};

} // namespace PlexaControl
