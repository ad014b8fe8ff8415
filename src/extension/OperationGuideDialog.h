#pragma once

#include "TeskVideoSearchExport.h"

#include "plexacontrol/BaseDialog.h"

#include <QWidget>

#include <cstdint>
#include <memory>

namespace TeskVideoSearch {

// The native handle of a window, as the host's own windowing code takes it.
using HWND = WId;

struct UOperationGuideDialogData;

// A frameless, stay-on-top guide of the two steps of a search, shown by the host.
class TESKVIDEOSEARCH_EXPORT COperationGuideDialog : public PlexaControl::CBaseDialog
{
    Q_OBJECT
public:
    explicit COperationGuideDialog(QWidget *parent = nullptr);
    ~COperationGuideDialog() override;

    // The native handle of the guide's form widget (created on first use).
    HWND GetSearchWindowID();
    uint64_t GetSearchWId();

private:
    std::shared_ptr<UOperationGuideDialogData> data_;
};

} // namespace TeskVideoSearch
