#pragma once

// The client's resource collection: the images that the plug-ins address under ":/Images/".
namespace TeskResources {

// Registers the collection with Qt's resource system; idempotent, any thread.
void Register();

} // namespace TeskResources
