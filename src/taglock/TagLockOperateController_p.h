#pragma once

#include "plexacontrol/ChaseDialog.h"

#include <QPointer>

#include <atomic>

class QWidget;

namespace TeskVideoSearch {

struct TagLockOperateControllerData
{
    // Owned by the parent widget, which may delete it first.
    QPointer<PlexaControl::CChaseDialog> ptr_chase_dialog_;
    QWidget *ptr_parent_ = nullptr;
    // Set on the user-interface thread when a request goes out, cleared by the service thread
    // that answers it; exchanged atomically so that one answer ends one request.
    std::atomic<bool> is_operating_{false};
};

} // namespace TeskVideoSearch
