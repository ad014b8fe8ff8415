#include "plexacontrol/FancyTabBar.h"

#include <QHBoxLayout>

namespace PlexaControl {

CFancyTabBarPanel::CFancyTabBarPanel(QWidget *parent)
    : QTabBar(parent)
{
    setObjectName("CFancyTabBarPanel");
    setDrawBase(false);
    setExpanding(false);
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideNone);
}

CFancyTabBarLine::CFancyTabBarLine(QWidget *parent)
    : QFrame(parent)
{
    setObjectName("CFancyTabBarLine");
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addStretch(1);
}

CFancyTabBarPanel *CFancyTabBarLine::CreateTabBar()
{
    if (!ptr_tab_bar_) {
        ptr_tab_bar_ = new CFancyTabBarPanel(this);
        static_cast<QHBoxLayout *>(layout())->insertWidget(0, ptr_tab_bar_);
        connect(ptr_tab_bar_, &QTabBar::currentChanged, this,
                &CFancyTabBarLine::SignalCurrentChanged);
    }
    return ptr_tab_bar_;
}

} // namespace PlexaControl
