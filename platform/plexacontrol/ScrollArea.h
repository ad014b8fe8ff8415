#pragma once

#include <QScrollArea>

namespace PlexaControl {

// The client's scroll area: frameless and transparent, so that the content widget's own
// background shows.
class CScrollArea : public QScrollArea
{
    Q_OBJECT
public:
    explicit CScrollArea(QWidget *parent = nullptr);
};

} // namespace PlexaControl
