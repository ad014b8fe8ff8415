#include "uidatacontroller/CustomConfigManager.h"

#include <atomic>

namespace tesk_ui_data_controller {

namespace {
std::atomic<bool> g_is_domestic{false};
}

bool CCustomConfigManager::IsDomestic()
{
    return g_is_domestic.load();
}

void CCustomConfigManager::SetDomestic(bool is_domestic)
{
    g_is_domestic.store(is_domestic);
}

} // namespace tesk_ui_data_controller
