#pragma once

#include <QWidget>

class QToolButton;
class QVBoxLayout;

namespace Lattice {

// A titled section that folds its content away: a header button with an arrow and the title,
// and the content below it, shown only while expanded.
class CExtensibleWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CExtensibleWidget(QWidget *parent = nullptr);

    void SetTitle(const QString &title);
    QString GetTitle() const;
    // The section takes ownership of `content`.
    void SetContentWidget(QWidget *content);
    QWidget *GetContentWidget() const { return ptr_content_; }
    void SetTipVisible(bool visible);
    void SetExpanded(bool expanded);
    bool IsExpanded() const { return b_expanded_; }
    QToolButton *GetHeaderButton() const { return ptr_header_btn_; }

signals:
    void SignalExpandChanged(bool expanded);

private:
    QToolButton *ptr_header_btn_ = nullptr;
    QVBoxLayout *ptr_layout_ = nullptr;
    QWidget *ptr_content_ = nullptr;
    bool b_expanded_ = true;
};

} // namespace Lattice
