#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

namespace {
QTemporaryDir *scratch = nullptr;
}

QString TestSupport::ScratchDir()
{
    return scratch->path();
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    scratch = &dir;
    // Tests never touch the person's own settings or logs; a child process started by a test
    // inherits the parent's directories so that it reads what the parent stored.
    if (qEnvironmentVariableIsEmpty("TESK_CONFIG_DIR"))
        qputenv("TESK_CONFIG_DIR", (dir.path() + "/config").toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("TESK_LOG_DIR"))
        qputenv("TESK_LOG_DIR", (dir.path() + "/log").toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("TESK_DATA_DIR"))
        qputenv("TESK_DATA_DIR", (dir.path() + "/data").toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
