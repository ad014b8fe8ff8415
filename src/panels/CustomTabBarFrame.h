#pragma once

#include "TeskVideoSearchExport.h"
#include "plexacontrol/FancyTabBar.h"

namespace TeskVideoSearch {

// The main panel's tab bar line, one tab per result page.
class TESKVIDEOSEARCH_EXPORT CCustomTabBarFrame : public PlexaControl::CFancyTabBarLine
{
    Q_OBJECT
public:
    explicit CCustomTabBarFrame(QWidget *parent = nullptr);

    // The width the tabs need (the bar fitted to its texts) plus one for the line's border.
    int GetTabbarAdjustWidth();
};

} // namespace TeskVideoSearch
