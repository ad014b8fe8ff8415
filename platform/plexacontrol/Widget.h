#pragma once

#include <QWidget>

namespace PlexaControl {

// The library's plain widget: paints its style-sheet background like a top-level frame does,
// so that "#objectName { background: … }" rules apply to it.
class CWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CWidget(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// Switches a style state: the style sheets key states on object names, and a renamed widget
// and its children show the new look only once re-polished.
void SetStyleObjectName(QWidget *widget, const QString &object_name);

// The available geometry of the screen that holds `global_pos` (the primary screen when none
// does), less a small border that pop-ups keep from the screen's edges.
QRect GetBorderAvailableGeometry(const QPoint &global_pos);
// `rect` moved (not resized) so that it lies inside `bounds` as far as its size allows.
QRect FitIntoGeometry(const QRect &rect, const QRect &bounds);

// The locale the client's user interface is shown in; dates and times are formatted with it.
QLocale GetGuiLocale();
void SetGuiLocale(const QLocale &locale);

} // namespace PlexaControl
