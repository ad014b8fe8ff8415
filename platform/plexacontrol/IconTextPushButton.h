#pragma once

#include "plexacontrol/PushButton.h"

namespace PlexaControl {

// A push button that shows an optional icon and a left-aligned text; used for rows of pop-up
// lists where the whole row is the click target.
class CIconTextPushButton : public CPushButton
{
    Q_OBJECT
public:
    explicit CIconTextPushButton(QWidget *parent = nullptr);
    explicit CIconTextPushButton(const QString &text, QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace PlexaControl
