#pragma once

#include <QLabel>

namespace PlexaControl {

// The client's label: plain text only, so that a text from a file name or a search answer is
// never read as rich text. Reports the pointer entering and leaving it, for hover looks that
// its owner switches.
class CLabel : public QLabel
{
    Q_OBJECT
public:
    explicit CLabel(QWidget *parent = nullptr);
    explicit CLabel(const QString &text, QWidget *parent = nullptr);

signals:
    void SignalMouseEnter();
    void SignalMouseLeave();

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
};

} // namespace PlexaControl
