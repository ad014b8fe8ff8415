#pragma once

class QCoreApplication;

// What every host of the module does at start: register the client's image collection and
// install the English texts of the module's translation keys. False when the catalogue was
// not found (the keys then show as they are).
bool InstallHostTranslations(QCoreApplication &app);
