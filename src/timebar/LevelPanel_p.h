#pragma once

#include "timebar/LevelPanel.h"
#include "ui_LevelPanel.h"

namespace TeskVideoSearch {

struct LevelPanelData
{
    Ui::CLevelPanel ui_;
    int current_level_ = -1;
    int lowest_level_ = -1;
    int highest_level_ = -1;
    QStringList level_texts_;
};

} // namespace TeskVideoSearch
