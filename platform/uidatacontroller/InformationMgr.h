#pragma once

#include "lattice/NewInfoDlg.h"
#include "plexacontrol/UiSingleton.h"

#include <memory>

namespace tesk_ui_data_controller {

// The client's notification service; obtained through PlexaControl::CUiSingleton.
class __attribute__((visibility("default"))) CInformationMgr
{
public:
    void ShowInformationAtScreenRightBottom_V3(std::shared_ptr<Lattice::CStruInfoTipsData> data);

private:
    friend class PlexaControl::CUiSingleton<CInformationMgr>;
    CInformationMgr() = default;
};

} // namespace tesk_ui_data_controller
