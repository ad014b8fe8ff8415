#pragma once

#include <QString>

// The client's resource collection: the images that the plug-ins address under ":/Images/".
namespace TeskResources {

// Registers the collection with Qt's resource system; idempotent, any thread.
void Register();

// The client's style sheet (":/Styles/TeskClient.qss"), for a host that wants the module's
// widgets in the client's look: qApp->setStyleSheet(TeskResources::ClientStyleSheet()).
// Registers the collection first; empty, with a warning, when the sheet cannot be read.
QString ClientStyleSheet();

} // namespace TeskResources
