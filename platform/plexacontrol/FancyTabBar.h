#pragma once

#include <QFrame>
#include <QTabBar>

namespace PlexaControl {

// The library's tab bar: flat tabs that grow with their texts.
class CFancyTabBarPanel : public QTabBar
{
    Q_OBJECT
public:
    explicit CFancyTabBarPanel(QWidget *parent = nullptr);
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

signals:
    void SignalCurrentChanged(int index);

private:
    CFancyTabBarPanel *ptr_tab_bar_ = nullptr;
};

} // namespace PlexaControl
