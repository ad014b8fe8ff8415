#include "HostTranslations.h"

#include "resources/Resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QTranslator>

#include <cstdio>

bool InstallHostTranslations(QCoreApplication &app)
{
    TeskResources::Register();
    // Next to a build's binaries, or in an installed tree's data directory.
    const QString bin = QCoreApplication::applicationDirPath();
    const QStringList candidates = {bin + "/../translations",
                                    bin + "/../share/TeskVideoSearch/translations"};
    auto *translator = new QTranslator(&app);
    for (const QString &dir : candidates) {
        if (translator->load(QStringLiteral("TeskVideoSearch_en"), QDir::cleanPath(dir))) {
            QCoreApplication::installTranslator(translator);
            return true;
        }
    }
    std::fprintf(stderr, "warning: the module's English texts were not found; showing keys\n");
    delete translator;
    return false;
}
