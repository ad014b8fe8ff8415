#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

namespace PlexaControl {

// Carries a widget and paints a soft drop shadow in a margin around it, so that a pop-up on a
// translucent window stands off what lies beneath without a window-system shadow.
class CShadowWidget : public QWidget
{
    Q_OBJECT
public:
    enum ShadowMode {
        // Even on every side, slightly heavier below: floating pop-ups.
        ShadowAround = 0,
        // Only under the widget: panels that drop down from a bar.
        ShadowBelow = 1,
    };

    explicit CShadowWidget(QWidget *content = nullptr, int shadow_mode = ShadowAround,
                           QWidget *parent = nullptr);

    // Takes `content` as a child; a previous content stays with its own parent.
    void SetContentWidget(QWidget *content);
    QWidget *ContentWidget() const;
    int ShadowMode() const;
    // The space around the content that the shadow takes.
    QMargins ShadowMargins() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void RebuildShadow();

    QPointer<QWidget> content_;
    int shadow_mode_ = ShadowAround;
    QImage shadow_;
};

} // namespace PlexaControl
