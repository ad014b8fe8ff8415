#include "InformationMgr.h"

namespace tesk_ui_data_controller {

void CInformationMgr::ShowInformationAtScreenRightBottom_V3(
    std::shared_ptr<Lattice::CStruInfoTipsData> data)
{
    Lattice::CNewInfoDlg::ShowInformationAtScreenRightBottom_V3(std::move(data));
}

} // namespace tesk_ui_data_controller
