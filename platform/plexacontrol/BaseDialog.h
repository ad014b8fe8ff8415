#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace PlexaControl {

// The client's dialog frame: a title bar with an optional close button above a content area.
// Frameless dialogs can be dragged by the title bar.
class CBaseDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CBaseDialog(QWidget *parent = nullptr);

    void SetTitle(const QString &title);
    QString GetTitle() const;
    void SetCloseButtonVisible(bool visible);
    // Places `content` under the title bar; the dialog takes ownership.
    void SetContentWidget(QWidget *content);
    QWidget *GetContentWidget() const { return content_; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QWidget *title_bar_ = nullptr;
    QLabel *title_label_ = nullptr;
    QPushButton *close_button_ = nullptr;
    QVBoxLayout *layout_ = nullptr;
    QWidget *content_ = nullptr;
    QPoint drag_offset_;
    bool dragging_ = false;
};

} // namespace PlexaControl
