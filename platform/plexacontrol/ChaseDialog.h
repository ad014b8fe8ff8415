#pragma once

#include <QDialog>

class QLabel;
class QMovie;

namespace PlexaControl {

// The client's modal waiting dialog: an animation above a short text, over the middle of its
// parent's window, while the caller waits for a service. Its owner ends it with
// OnImmediatelyStopChase; the operator can close it only when it is `closable`.
class CChaseDialog : public QDialog
{
    Q_OBJECT
public:
    CChaseDialog(QWidget *parent, const QString &animation, const QString &text, bool closable);
    ~CChaseDialog() override;

    void SetText(const QString &text);
    QString GetText() const;
    bool IsClosable() const { return closable_; }
    // True while the animation runs (the animation file could be read).
    bool IsAnimating() const;

public slots:
    // Closes the dialog, ending a running exec(); nothing when it is not open.
    void OnImmediatelyStopChase();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void reject() override;

private:
    void CentreOverParent();

    QLabel *ptr_animation_label_ = nullptr;
    QLabel *ptr_text_label_ = nullptr;
    QMovie *ptr_movie_ = nullptr;
    bool closable_ = false;
    bool stopping_ = false;
};

} // namespace PlexaControl
