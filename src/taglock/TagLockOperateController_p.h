#pragma once

#include <atomic>

class QWidget;

namespace PlexaControl {
class CChaseDialog;
}

namespace TeskVideoSearch {

struct TagLockOperateControllerData
{
    PlexaControl::CChaseDialog *ptr_chase_dialog_ = nullptr;
    QWidget *ptr_parent_ = nullptr;
    // Set on the user-interface thread when a request goes out, cleared by the service thread
    // that answers it; exchanged atomically so that one answer ends one request.
    std::atomic<bool> is_operating_{false};
};

} // namespace TeskVideoSearch
