#pragma once

#include <QStackedWidget>

namespace PlexaControl {

// The library's page stack; a class of its own so that style sheets can address it.
class CStackedWidget : public QStackedWidget
{
    Q_OBJECT
public:
    explicit CStackedWidget(QWidget *parent = nullptr);
};

} // namespace PlexaControl
