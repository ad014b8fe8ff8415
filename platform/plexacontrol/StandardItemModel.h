#pragma once

#include <QStandardItemModel>

namespace PlexaControl {

// The widget library's item model: check marks live in a role of their own, so that a
// delegate can draw them apart from Qt's check-state role.
class __attribute__((visibility("default"))) CStandardItemModel : public QStandardItemModel
{
    Q_OBJECT
public:
    enum Role {
        CheckRole = 360,
    };

    using QStandardItemModel::QStandardItemModel;
};

} // namespace PlexaControl
