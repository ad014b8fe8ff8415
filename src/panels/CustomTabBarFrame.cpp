#include "panels/CustomTabBarFrame.h"

namespace TeskVideoSearch {

namespace {
constexpr int kBorderWidth = 1;
}

CCustomTabBarFrame::CCustomTabBarFrame(QWidget *parent)
    : PlexaControl::CFancyTabBarLine(parent)
{
    setObjectName("CCustomTabBarFrame");
}

int CCustomTabBarFrame::GetTabbarAdjustWidth()
{
    PlexaControl::CFancyTabBarPanel *bar = GetTabBar();
    if (!bar)
        return kBorderWidth;
    bar->adjustSize();
    return bar->width() + kBorderWidth;
}

} // namespace TeskVideoSearch
