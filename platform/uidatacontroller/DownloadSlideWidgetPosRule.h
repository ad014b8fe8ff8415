#pragma once

#include "lattice/SlideDock.h"

#include <QPointer>

namespace tesk_ui_data_controller {

// The download side panel rests on the right of the widget it is attached to, over its full
// height, at most as wide as that widget.
class __attribute__((visibility("default"))) CDownloadSlideWidgetPosRule
    : public Lattice::CSlideWidgetPosRule
{
public:
    explicit CDownloadSlideWidgetPosRule(QWidget *owner)
        : ptr_owner_(owner)
    {}

    QWidget *GetOwner() const override { return ptr_owner_; }
    QRect GetShowRect(int slide_width) const override
    {
        if (!ptr_owner_)
            return {};
        const int width = qBound(0, slide_width, ptr_owner_->width());
        return QRect(ptr_owner_->width() - width, 0, width, ptr_owner_->height());
    }

private:
    QPointer<QWidget> ptr_owner_;
};

} // namespace tesk_ui_data_controller
