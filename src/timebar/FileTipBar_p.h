#pragma once

#include "timebar/FileTipBar.h"
#include "ui_FileTipBar.h"

#include <QTimer>

namespace TeskVideoSearch {

struct FileTipBarData
{
    Ui::CFileTipBar ui_;
    QTimer hide_timer_;
};

} // namespace TeskVideoSearch
