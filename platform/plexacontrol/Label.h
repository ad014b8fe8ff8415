#pragma once

#include <QLabel>

namespace PlexaControl {

// The client's label: plain text only, so that a text from a file name or a search answer is
// never read as rich text.
class CLabel : public QLabel
{
    Q_OBJECT
public:
    explicit CLabel(QWidget *parent = nullptr);
    explicit CLabel(const QString &text, QWidget *parent = nullptr);
};

} // namespace PlexaControl
