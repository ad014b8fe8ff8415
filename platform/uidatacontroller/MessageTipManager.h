#pragma once

#include "plexacontrol/UiSingleton.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class QGraphicsOpacityEffect;
class QLabel;
class QPropertyAnimation;

namespace tesk_ui_data_controller {

// A short message over the top middle of a window that fades away by itself; clicking it
// dismisses it at once. Never takes the focus.
class __attribute__((visibility("default"))) CMessageTip : public QWidget
{
    Q_OBJECT
public:
    enum AlertState {
        AlertSuccess = 0,
        AlertFailure = 1,
        AlertInformation = 2,
    };
    static constexpr int kShowMilliseconds = 3000;
    static constexpr int kFadeMilliseconds = 400;

    // A child of `host` (a window), or a window of its own when `host` is null.
    CMessageTip(QWidget *host, const QString &text, int alert_state, bool auto_hide,
                int font_pixel_size);

    QString GetText() const;
    int GetAlertState() const { return alert_state_; }
    // Starts fading now; the tip deletes itself when the fade ends.
    void FadeOut();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Place();

    QLabel *ptr_icon_label_ = nullptr;
    QLabel *ptr_text_label_ = nullptr;
    QGraphicsOpacityEffect *ptr_opacity_ = nullptr;
    QPropertyAnimation *ptr_fade_ = nullptr;
    int alert_state_ = AlertSuccess;
};

// The tips shown after an operator's operation. One tip per window: a new one replaces the
// tip that window still shows.
class __attribute__((visibility("default"))) CMessageTipManager
{
public:
    // `alert_state` 0 success, 1 failure, 2 information; `auto_hide` 1 fades the tip out after
    // a few seconds, 0 keeps it until clicked; `font_pixel_size` sizes its text (0: the
    // default). Callable from any thread: the tip is made on the user-interface thread.
    void ShowMessage(QWidget *parent, const QString &text, int alert_state, int auto_hide = 1,
                     int font_pixel_size = 15);

    // The tips open now (user-interface thread).
    QList<CMessageTip *> OpenTips() const;

private:
    friend class PlexaControl::CUiSingleton<CMessageTipManager>;
    CMessageTipManager() = default;
    void ShowOnGuiThread(QWidget *parent, const QString &text, int alert_state, bool auto_hide,
                         int font_pixel_size);

    QList<QPointer<CMessageTip>> tips_;
};

} // namespace tesk_ui_data_controller
