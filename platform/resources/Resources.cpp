#include "Resources.h"

#include <QFile>
#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE must be used outside any namespace.
static void InitTeskImages()
{
    Q_INIT_RESOURCE(TeskImages);
}

namespace TeskResources {

void Register()
{
    static std::once_flag once;
    std::call_once(once, InitTeskImages);
}

QString ClientStyleSheet()
{
    Register();
    QFile file(QStringLiteral(":/Styles/TeskClient.qss"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning("The client's style sheet %s cannot be read: %s", qPrintable(file.fileName()),
                 qPrintable(file.errorString()));
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

} // namespace TeskResources
