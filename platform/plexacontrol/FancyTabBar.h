#pragma once

#include <QFrame>
#include <QTabBar>

class QToolButton;

namespace PlexaControl {

// The library's tab bar: flat tabs that grow with their texts.
class CFancyTabBarPanel : public QTabBar
{
    Q_OBJECT
public:
    explicit CFancyTabBarPanel(QWidget *parent = nullptr);

    // Text of the menu button of every bar that lists the tabs which do not fit.
    static void setMenuBtnText(const QString &text);
    static QString menuBtnText();

protected:
    // The current tab has room for its text in bold: a style that marks it so does not clip it.
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;
};

// A line that holds a tab bar at its left and stretches behind it; pages keep the bar
// without a stacked widget of its own.
class CFancyTabBarLine : public QFrame
{
    Q_OBJECT
public:
    explicit CFancyTabBarLine(QWidget *parent = nullptr);

    // Creates the inner tab bar on first use.
    CFancyTabBarPanel *CreateTabBar();
    // Null until CreateTabBar.
    CFancyTabBarPanel *GetTabBar() const { return ptr_tab_bar_; }

    enum ButtonMode {
        ButtonModeNone = 0,
        // A menu button at the right lists every tab while the tabs do not fit.
        ButtonModeMenu = 1,
    };
    void setButtonMode(int mode);
    int buttonMode() const { return button_mode_; }
    // Null unless the mode is ButtonModeMenu.
    QToolButton *GetMenuButton() const { return ptr_menu_btn_; }

signals:
    void SignalCurrentChanged(int index);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;

private:
    void UpdateMenuButton();
    void ShowTabMenu();

    CFancyTabBarPanel *ptr_tab_bar_ = nullptr;
    QToolButton *ptr_menu_btn_ = nullptr;
    int button_mode_ = ButtonModeNone;
};

} // namespace PlexaControl
