#pragma once

#include "plexacontrol/BaseDialog.h"

#include <functional>

class QLabel;
class QPushButton;

namespace PlexaControl {

// The client's modal confirmation: an icon and a message above its buttons, over the middle
// of the parent's window.
class CModalTipDialog : public CBaseDialog
{
    Q_OBJECT
public:
    // Buttons, combinable.
    enum TipButton {
        ButtonOk = 1,
        ButtonCancel = 2,
    };
    // The icon beside the message.
    enum TipIcon {
        IconWarning = 0,
        IconInformation = 1,
        IconError = 2,
    };

    CModalTipDialog(const QString &text, int buttons, int icon, QWidget *parent);

    // Shows the dialog modally; QDialog::Accepted when the operator confirmed.
    static int ShowModalTipDialog(const QString &text, int buttons, int icon, QWidget *parent);

    // Replaces the operator's answer for every later call (tests, scripted hosts); a null
    // handler restores the dialog. Returns the previous handler.
    using AnswerHandler = std::function<int(const QString &text, QWidget *parent)>;
    static AnswerHandler SetAnswerHandler(AnswerHandler handler);

    QString GetText() const;
    QPushButton *GetOkButton() const { return ptr_ok_btn_; }
    QPushButton *GetCancelButton() const { return ptr_cancel_btn_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *ptr_icon_label_ = nullptr;
    QLabel *ptr_text_label_ = nullptr;
    QPushButton *ptr_ok_btn_ = nullptr;
    QPushButton *ptr_cancel_btn_ = nullptr;
};

} // namespace PlexaControl
